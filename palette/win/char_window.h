#pragma once
// frmChar: the palette's borderless main window. Six pages of characters in the tab control, the
// favourites strip, the preview, the selected-characters box with its buttons, and the AutoCAD
// panel that writes into the drawing. The rules live in CharMap (pages and favourites), the
// settings sequences and AcadWriter; this file wires the window's controls to them.
#include <array>
#include <functional>
#include <memory>

#include "controls/check.h"
#include "controls/simpleframe.h"
#include "controls/xframe.h"
#include "controls/xpbutton.h"
#include "palette/charmap_logic.h"
#include "palette/settings_logic.h"
#include "palette/win/acad_writer.h"
#include "palette/win/page_tabs.h"
#include "palette/win/palette_controls.h"
#include "runtime/form.h"
#include "runtime/picturebox.h"

namespace kelva::palette {

class OptionWindow;
class AboutWindow;

// The palette's settings in the current user's settings store.
class RegistryStore : public SettingsStore {
public:
    std::optional<std::wstring> get(std::wstring_view key) override;
    void save(std::wstring_view key, std::wstring_view value) override;
};

// SetTopMost: the window above (or back among) the other windows, where it is.
void SetTopMost(HWND window, bool on);
// DragForm: lets the system move the borderless window with the mouse.
void DragForm(HWND window);

class CharWindow : public CharMapView, public PaletteView, public WriterWindow {
public:
    explicit CharWindow(SettingsStore& store);
    ~CharWindow() override;
    CharWindow(const CharWindow&) = delete;
    CharWindow& operator=(const CharWindow&) = delete;

    rt::Form& form() { return *form_; }
    CharMap& charMap() { return map_; }
    AcadWriter& writer() { return writer_; }
    PageTabs& tabs() { return *XTab_; }
    rt::PictureBox& page(int i) { return *picMap_[static_cast<std::size_t>(i)]; }
    rt::PictureBox& favoritesStrip() { return *picFavorite_; }
    rt::PictureBox& previewBox() { return *picLarge_; }
    ctl::XPSimpleFrame& previewFrame() { return *XPSimpleFrame4_; }
    rt::StdControl& charsBox() { return *tbChars_; }
    rt::StdControl& heightBox() { return *tbHeight_; }
    rt::StdControl& fontBox() { return *cobFont_; }
    rt::StdControl& option(WriteMode m);
    ctl::Check& acadCheck() { return *chkCAD_; }
    ctl::XFrame& panel() { return *xFrame1_; }
    ctl::XPButton& button(std::wstring_view name);
    rt::Control& image(std::wstring_view name);
    rt::Control& titleStrip();
    std::wstring pageToolTip(int page) const;
    OptionWindow* optionWindow() { return frmOption_.get(); }
    AboutWindow* aboutWindow() { return frmAbout_.get(); }

    // Start-up ran and the window is on screen.
    void show();
    // cbExit's Click: saves and unloads (the Unload handler then ends the program).
    void cbExit_Click();
    std::function<void()> Unloaded;
    // Seam: the running AutoCAD for the panel toggle (GetAutoCAD; tests answer it).
    std::function<com::ComPtr<IDispatch>()> findAcad = GetAutoCAD;

    // CharMapView
    int activePage() override;
    void setActivePage(int page) override;
    void drawPageCell(int page, PixelPos at, const std::wstring& text, bool selected, bool focused) override;
    void drawFavoriteCell(PixelPos at, const std::wstring& text, bool selected, bool focused, bool full) override;
    void clearFavorites() override;
    void showPreview(const std::wstring& text) override;
    void insertText(const std::wstring& text) override;
    void copyToClipboard(const std::wstring& text) override;
    bool copyOnDoubleClick() override;
    int popup(const std::vector<std::wstring>& items) override;
    void message(const std::wstring& text) override;

    // PaletteView
    void setCaption(const std::wstring& caption) override;
    void fillFontList() override;
    void takeCellMetrics() override;
    void resetSelection() override { map_.resetSelection(); }
    void showPreview(bool on) override;
    void showAcadCheck(bool on) override;
    void setTopMost(bool on) override;
    int acadCheckValue() override;
    void setAcadCheckValue(int v) override;
    double windowHeight() override;
    void setWindowHeight(double twips) override;
    void showPanel(bool on) override;
    void coverWindowWithShape() override;
    void setupTabs() override;
    int pageCount() override;
    void setupPage(int page, bool copyTooltip) override;
    void setPageTooltip(int page, bool copyTooltip) override;
    void fillPages() override;
    void setWriteMode(bool newText, bool back, bool front) override;
    bool writeModeNew() override;
    bool writeModeBack() override;
    bool writeModeFront() override;
    void setTextHeight(const std::wstring& text) override;
    std::wstring textHeight() override;
    void setFavorites(const std::wstring& text) override;
    std::wstring favorites() override { return map_.favorites; }
    double windowTop() override;
    double windowLeft() override;
    bool attachAutoCAD() override;
    void takeActiveDocument() override;
    void focusChars() override;

    // WriterWindow
    std::wstring chars() override;
    void setChars(const std::wstring& text) override;
    std::wstring fontName() override;
    std::wstring heightText() override;
    void setHeightText(const std::wstring& text) override;
    WriteMode writeMode() override;
    void minimize() override;
    void restore() override;

private:
    void build();
    void wire();
    void FillCharMap(int page);
    // Renders one glyph into a scratch box (picTemp or picFavTemp).
    void DrawGlyph(rt::Surface& scratch, const std::wstring& text, bool selected, bool focused, bool favorite);
    void copyGlyph(const rt::Surface& from, rt::PictureBox& to, PixelPos at, int w, int h);
    void cbWriteCaption();
    void cbOption_Click();
    void cbAbout_Click();
    void onExit();

    SettingsStore& store_;
    CharMap map_{*this};
    AcadWriter writer_{*this};
    std::unique_ptr<rt::Form> form_;
    DragLabel* lblTop_ = nullptr;
    DragLabel* lblTitle_ = nullptr;
    GlyphImage* imgIcon_ = nullptr;
    GlyphImage* imgMini_ = nullptr;
    GlyphImage* imgGetText_ = nullptr;
    std::unique_ptr<PageTabs> XTab_;
    std::array<KeyPictureBox*, kPageCount> picMap_{};
    std::unique_ptr<rt::Surface> picTemp_, picFavTemp_;
    KeyPictureBox* picFavorite_ = nullptr;
    rt::PictureBox* picLarge_ = nullptr;
    ctl::XPSimpleFrame* XPSimpleFrame1_ = nullptr;
    ctl::XPSimpleFrame* XPSimpleFrame2_ = nullptr;
    ctl::XPSimpleFrame* XPSimpleFrame4_ = nullptr;
    rt::StdControl* tbChars_ = nullptr;
    rt::StdControl* tbHeight_ = nullptr;
    rt::StdControl* cobFont_ = nullptr;
    rt::StdControl* optNew_ = nullptr;
    rt::StdControl* optBack_ = nullptr;
    rt::StdControl* optFront_ = nullptr;
    std::vector<ctl::XPButton*> buttons_;
    ctl::Check* chkCAD_ = nullptr;
    ctl::XFrame* xFrame1_ = nullptr;
    rt::Shape* shpRec_ = nullptr;
    std::unique_ptr<OptionWindow> frmOption_;
    std::unique_ptr<AboutWindow> frmAbout_;
    bool exiting_ = false;
};

}  // namespace kelva::palette
