#pragma once
// The subclassing service the controls stand on: comctl32's contract (the hook set last runs first
// and passes the message on to the one below it with defSubclassProc; the same procedure and id
// set again only takes the new reference data; hooks may be removed in any order, also while one of
// them runs; the window may be destroyed while hooked), with the chain kept by the thread that owns
// the window. comctl32 keeps it in a window property that every hook of every message reads again,
// which under Wine is a round trip to the server each time: a form hooked by several controls
// paid several for each of its messages.
#include <windows.h>

#include <commctrl.h>

namespace kelva::rt {

bool setWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR refData);
bool removeWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);
// Inside a hook: the message to the hook below, or to the window's own procedure.
LRESULT defSubclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace kelva::rt
