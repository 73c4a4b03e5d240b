#pragma once
#include "setup/registrar.h"

namespace kelva::setup {

// A running AutoCAD: its application object in the Running Object Table under one of the six
// ProgIDs, or a process acad.exe (an elevated Setup does not see the table entries of an AutoCAD
// that runs unelevated).
class WinAutoCadProbe : public AutoCadProbe {
public:
    bool GetACAD() override;
    static bool runningObjectFound();
    static bool processFound();
};

inline constexpr const wchar_t* kAutoCadProgIds[] = {
    L"AutoCAD.Application",    L"AutoCAD.Application.14", L"AutoCAD.Application.15",
    L"AutoCAD.Application.16", L"AutoCAD.Application.17", L"AutoCAD.Application.18"};

}  // namespace kelva::setup
