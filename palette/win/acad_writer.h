#pragma once
// Writing into the drawing of a running AutoCAD, bound late by member name: new text at a picked
// point, text appended or prepended to picked texts, and the height or content of a picked text
// taken into the palette. The palette window is reached through WriterWindow.
#include <oaidl.h>

#include <functional>
#include <optional>
#include <string>

#include "com/com_ptr.h"
#include "com/latebound.h"

namespace kelva::palette {

enum class WriteMode { New, Back, Front };

// What the write routines need of the palette window.
class WriterWindow {
public:
    virtual ~WriterWindow() = default;
    virtual std::wstring chars() = 0;                    // tbChars
    virtual void setChars(const std::wstring& text) = 0;  // caret to the end
    virtual void focusChars() = 0;
    virtual std::wstring fontName() = 0;                 // cobFont's text
    virtual std::wstring heightText() = 0;               // tbHeight
    virtual void setHeightText(const std::wstring& text) = 0;
    virtual WriteMode writeMode() = 0;
    virtual void minimize() = 0;
    virtual void restore() = 0;
    virtual void message(const std::wstring& text) = 0;
};

// GetAutoCAD: "AutoCAD.Application", then the release ProgIDs 14 to 18.
com::ComPtr<IDispatch> GetAutoCAD();

class AcadWriter {
public:
    explicit AcadWriter(WriterWindow& window) : window_(window) {}

    // The references shared with the window: set by its panel toggle and by every attach here,
    // released when the window unloads.
    com::ComPtr<IDispatch> application, document;
    // Seam: how a ProgID reaches a running AutoCAD (tests leave it as it is).
    std::function<com::ComPtr<IDispatch>(const wchar_t*)> findRunning = com::runningObject;

    bool ConnectAutoCAD();
    bool TextStyleExists(const std::wstring& name);
    void MakeTextStyle(const std::wstring& name, const std::wstring& typeface);
    com::ComPtr<IDispatch> GetSelectionSet(const std::wstring& name);
    // The picked text, or nothing when the user cancelled.
    com::ComPtr<IDispatch> PickText(const std::wstring& prompt);

    void cbWrite_Click();
    void imgGetText_Click();
    void cbGet_Click();
    void release();

private:
    void errorPath(const std::wstring& description);
    void takeFromPick(bool height);

    WriterWindow& window_;
};

}  // namespace kelva::palette
