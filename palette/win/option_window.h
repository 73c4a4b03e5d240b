#pragma once
// frmOption: four check boxes over the palette's settings store. OK saves them in order and
// applies them to the palette window at once; cancel changes nothing.
#include <memory>

#include "controls/check.h"
#include "controls/xframe.h"
#include "controls/xpbutton.h"
#include "palette/settings_logic.h"
#include "runtime/form.h"

namespace kelva::palette {

class CharWindow;

class OptionWindow {
public:
    OptionWindow(CharWindow& palette, SettingsStore& store);
    ~OptionWindow();
    // Loads the window (reading the store) when it is not loaded, and shows it, owned by the palette.
    void show();
    // Unloads: the window goes; the next show loads it again.
    void close();
    bool loaded() const { return form_ && visible_; }
    rt::Form* form() { return form_.get(); }
    ctl::Check& check(std::wstring_view name);
    ctl::XPButton& button(std::wstring_view name);

    void cbOK_Click();
    void cbExit_Click();

private:
    void load();
    CharWindow& palette_;
    SettingsStore& store_;
    std::unique_ptr<rt::Form> form_;
    std::unique_ptr<rt::Form> retired_;  // an unloaded window, destroyed outside its own events
    std::vector<ctl::Check*> checks_;
    std::vector<ctl::XPButton*> buttons_;
    bool visible_ = false;
};

}  // namespace kelva::palette
