#pragma once
// The stand-in's automation objects over one drawing: Application, Document, ModelSpace, Utility,
// the collections, entities, and the control object that tests use to script it. Usable in process
// (a benchmark or a large test loads them directly) and served out of process by acadsim.exe.
#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>

#include "acadsim/model/drawing.h"
#include "com/com_ptr.h"

namespace kelva::acad::sim {

struct AppConfig {
    std::wstring version = L"16.0s (LMS Tech)";  // what Application.Version answers
    std::wstring fullName = L"C:\\Program Files\\AutoCAD\\acad.exe";
};

// The product name shown in the caption for a version text ("16.0..." -> "AutoCAD 2004").
std::wstring productName(std::wstring_view version);

class Session;

struct Instance {
    std::shared_ptr<Session> session;
    com::ComPtr<IDispatch> application;
    com::ComPtr<IDispatch> control;
};

Instance createInstance(AppConfig config);

// What the server's window needs from a session.
Drawing& drawingOf(Session& s);
std::wstring captionOf(Session& s);
// Called after every change of the drawing or of Visible/WindowState.
void setChangeHandler(Session& s, std::function<void()> handler);
// What Application.Quit does; in process it does nothing unless the host sets it.
void setQuitHandler(Session& s, std::function<void()> handler);
bool visibleOf(Session& s);
int windowStateOf(Session& s);

}  // namespace kelva::acad::sim
