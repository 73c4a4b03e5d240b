#pragma once
// The classes acadsim.exe registers: AutoCAD's application under its ProgIDs (each a class of its own,
// so a run can answer any subset of them) and the stand-in's control object.
#include <windows.h>

#include <array>

namespace kelva::acad::server {

struct ServedClass {
    const wchar_t* key;     // the command-line name of the switch: "plain", "14" ... "18", "control"
    const wchar_t* progId;
    const wchar_t* description;
    CLSID clsid;
};

// {7AA6A50A-025A-48CF-82F1-94E3640EEC1A} and the others were minted once for the stand-in; never change them.
inline const std::array<ServedClass, 7> kClasses{{
    {L"plain", L"AutoCAD.Application", L"AutoCAD Application (stand-in)",
     {0x7AA6A50A, 0x025A, 0x48CF, {0x82, 0xF1, 0x94, 0xE3, 0x64, 0x0E, 0xEC, 0x1A}}},
    {L"14", L"AutoCAD.Application.14", L"AutoCAD R14 Application (stand-in)",
     {0xF3345132, 0x5921, 0x4B31, {0x80, 0x74, 0x32, 0xF7, 0xFD, 0xF2, 0xF9, 0x0E}}},
    {L"15", L"AutoCAD.Application.15", L"AutoCAD 2002 Application (stand-in)",
     {0xAAD2A218, 0xD862, 0x477C, {0x8F, 0x99, 0xA3, 0x0F, 0xB9, 0x94, 0xF9, 0x14}}},
    {L"16", L"AutoCAD.Application.16", L"AutoCAD 2004 Application (stand-in)",
     {0x213CD0AD, 0x69D5, 0x4BE9, {0x9C, 0xFB, 0xE8, 0x28, 0x58, 0x1E, 0x9A, 0x17}}},
    {L"17", L"AutoCAD.Application.17", L"AutoCAD 2007 Application (stand-in)",
     {0xF3325A3F, 0xA1E3, 0x46F9, {0xBD, 0xFC, 0xC2, 0x34, 0x6A, 0x6B, 0x47, 0x04}}},
    {L"18", L"AutoCAD.Application.18", L"AutoCAD 2010 Application (stand-in)",
     {0x94F5C118, 0x6734, 0x4AA2, {0xAB, 0x13, 0xE5, 0x55, 0xFD, 0x26, 0x9C, 0xBF}}},
    {L"control", L"AcadSim.Control", L"AutoCAD stand-in control",
     {0x050A5F08, 0xCE82, 0x4470, {0x88, 0xEB, 0x9A, 0x50, 0x03, 0xC7, 0x2C, 0x93}}},
}};

}  // namespace kelva::acad::server
