#pragma once
// The palette's settings store and the sequences that read and write it: the window's start-up, its
// exit, the AutoCAD panel toggle and the options window's OK. Each runs over a view of the window,
// so the order of the steps and the skipping of a failing one are tested natively over a store in
// memory.
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelva::palette {

inline constexpr const wchar_t* kAppName = L"KelvaChar";
inline constexpr const wchar_t* kSection = L"Option";
extern const wchar_t* const kTitle;          // "Kelva 특수문자": caption and message box title
extern const wchar_t* const kAcadNotRunning;  // "AutoCAD를 실행 후 사용해 주십시오  "

// Window geometry in twips.
inline constexpr double kFullHeight = 7425;
inline constexpr double kPanelHeight = 1935;

// Per-user key-value store of the palette (application "KelvaChar", section "Option").
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::wstring> get(std::wstring_view key) = 0;
    // Throws when the store cannot be written.
    virtual void save(std::wstring_view key, std::wstring_view value) = 0;
};

class MemoryStore : public SettingsStore {
public:
    std::optional<std::wstring> get(std::wstring_view key) override;
    void save(std::wstring_view key, std::wstring_view value) override;
    std::map<std::wstring, std::wstring, std::less<>> values;
    std::map<std::wstring, bool, std::less<>> refuse;  // keys whose save fails
    std::wstring order;  // keys saved, in order, each followed by ";"
};

// A stored value that does not read as its type: the step that reads it is skipped.
struct BadSetting : std::runtime_error {
    BadSetting() : std::runtime_error("bad setting") {}
};
// Reads as the original runtime converts the stored text: an Integer (rounded half to even), a
// Boolean ("True"/"False" in any case, or a number: 0 is false), a Double.
int readInt(SettingsStore& s, std::wstring_view key, int def);
bool readBool(SettingsStore& s, std::wstring_view key, bool def);
double readDouble(SettingsStore& s, std::wstring_view key, double def);
std::wstring readText(SettingsStore& s, std::wstring_view key, std::wstring_view def);
std::wstring boolText(bool v);  // "True" / "False"
// A text height as the box shows it: "0.000".
std::wstring formatHeight(double v);

// The palette window as the sequences see it.
class PaletteView {
public:
    virtual ~PaletteView() = default;
    virtual void setCaption(const std::wstring& caption) = 0;
    virtual void fillFontList() = 0;
    virtual void takeCellMetrics() = 0;
    virtual void resetSelection() = 0;
    // The preview box and the simple frame around it, shown and hidden together.
    virtual void showPreview(bool on) = 0;
    virtual void showAcadCheck(bool on) = 0;
    virtual void setTopMost(bool on) = 0;
    virtual int acadCheckValue() = 0;
    virtual void setAcadCheckValue(int v) = 0;  // raises no Click
    virtual double windowHeight() = 0;
    virtual void setWindowHeight(double twips) = 0;
    virtual void showPanel(bool on) = 0;
    virtual void coverWindowWithShape() = 0;
    virtual void setupTabs() = 0;
    virtual int pageCount() = 0;
    virtual void setupPage(int page, bool copyTooltip) = 0;
    virtual void setPageTooltip(int page, bool copyTooltip) = 0;
    virtual void fillPages() = 0;
    virtual void setWriteMode(bool newText, bool back, bool front) = 0;
    virtual bool writeModeNew() = 0;
    virtual bool writeModeBack() = 0;
    virtual bool writeModeFront() = 0;
    virtual void setTextHeight(const std::wstring& text) = 0;
    virtual std::wstring textHeight() = 0;
    virtual void setFavorites(const std::wstring& text) = 0;  // and draws the strip
    virtual std::wstring favorites() = 0;
    virtual double windowTop() = 0;
    virtual double windowLeft() = 0;
    // AutoCAD: attach through GetAutoCAD (false when none runs), then take its active document.
    virtual bool attachAutoCAD() = 0;
    virtual void takeActiveDocument() = 0;
    virtual void focusChars() = 0;
    virtual void message(const std::wstring& text) = 0;
};

// The window's load step, in order; a failing step is skipped.
void runStartup(PaletteView& view, SettingsStore& store);
// Close requests: true cancels (a request from the window's system menu).
bool refuseClose(bool fromSystemMenu);
// The settings written at exit, in order; a failing write is skipped.
void saveOnExit(PaletteView& view, SettingsStore& store);
// chkCAD's Click.
void togglePanel(PaletteView& view);

// The options window's four check boxes (1 checked, 0 unchecked).
struct OptionValues {
    int preview = 1, copy = 1, acad = 1, onTop = 1;
};
OptionValues readOptions(SettingsStore& store);
// cbOK: saves the four settings in order, then applies them to the palette window.
void applyOptions(const OptionValues& values, SettingsStore& store, PaletteView& palette);

}  // namespace kelva::palette
