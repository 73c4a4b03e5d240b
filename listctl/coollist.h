#pragma once
// ucCoolList: the owner-drawn list box. A user control made of the picture box picList (painted by
// hand), the vertical scroll bar sbVert and the edit box txtEdit for in-place editing. The item
// store and the input rules live in ListModel; this class lays out, paints and turns messages into
// model calls and events.
#include <oaidl.h>

#include <functional>
#include <memory>

#include "com/com_ptr.h"
#include "listctl/coollist_logic.h"
#include "listctl/coollist_props.h"
#include "runtime/font.h"
#include "runtime/picture.h"
#include "runtime/usercontrol.h"

namespace kelva::lst {

// The constituent scroll bar: a system scroll bar whose range and value mirror the model.
class VScrollBar : public rt::Control {
public:
    const wchar_t* typeName() const override { return L"VScrollBar"; }

protected:
    HWND createWindow(HWND parent, const RECT& px) override;
};

// The constituent edit box: a multi-line system edit whose keys and focus loss the list handles.
class EditBox : public rt::Control {
public:
    const wchar_t* typeName() const override { return L"TextBox"; }
    std::function<bool(wchar_t)> Char;     // true: the key was taken
    std::function<void(HWND)> LostFocus;   // the window that takes the focus
    std::function<void(HWND)> GotFocus;    // the window that had it
    std::wstring text() const;
    void setText(const std::wstring& s);

protected:
    HWND createWindow(HWND parent, const RECT& px) override;

private:
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT message(HWND, UINT, WPARAM, LPARAM, EditBox* self);
};

class CoolList : public rt::UserControl, private Sink {
public:
    CoolList();
    ~CoolList() override;
    const wchar_t* typeName() const override { return L"ucCoolList"; }

    // ---- methods ----
    // An object offering ListImages(i).Draw(hDC, x, y, style), ImageHeight and Parent.ScaleMode;
    // null detaches.
    void SetImageList(IDispatch* imageList);
    void AddItem(const ItemText& text, std::int16_t icon = 0, std::int16_t iconSelected = 0);
    void InsertItem(std::int16_t index, const ItemText& text, std::int16_t icon = 0, std::int16_t iconSelected = 0);
    // The number 0 as text, or -1 as an icon, leaves that part alone.
    void ModifyItem(std::int16_t index, const ItemText& text = 0, std::int16_t icon = -1,
                    std::int16_t iconSelected = -1);
    void RemoveItem(std::int16_t index);
    std::int16_t FindFirst(std::wstring_view findString, std::int16_t startIndex = 0, bool startWith = false) const;
    void Clear();
    void Order();
    void StartEdit();
    void EndEdit(bool modify);

    // ---- items and selection ----
    std::wstring ItemText(std::int16_t index) const { return model_.itemText(index); }
    void setItemText(std::int16_t index, std::wstring text) { model_.setItemText(index, std::move(text)); }
    std::int16_t ItemIcon(std::int16_t index) const { return model_.itemIcon(index); }
    void setItemIcon(std::int16_t index, std::int16_t v) { model_.setItemIcon(index, v); }
    std::int16_t ItemIconSelected(std::int16_t index) const { return model_.itemIconSelected(index); }
    void setItemIconSelected(std::int16_t index, std::int16_t v) { model_.setItemIconSelected(index, v); }
    bool ItemSelected(std::int16_t index) const { return model_.itemSelected(index); }
    void setItemSelected(std::int16_t index, bool v) { model_.setItemSelected(index, v); }
    std::int16_t ListCount() const { return model_.listCount(); }
    std::int16_t ListIndex() const { return model_.listIndex(); }
    void setListIndex(std::int16_t v) { model_.setListIndex(v); }
    std::int16_t SelectedCount() const { return model_.selectedCount(); }
    std::int16_t TopIndex() const { return model_.topIndex(); }
    void setTopIndex(std::int16_t v) { model_.setTopIndex(v); }
    std::int32_t SelectMode() const { return model_.selectMode(); }
    void setSelectMode(std::int32_t v);
    std::int32_t OrderType() const { return model_.orderType(); }
    void setOrderType(std::int32_t v);

    // ---- look ----
    std::int32_t Alignment() const { return props_.alignment; }
    void setAlignment(std::int32_t v);
    std::int16_t Appearance() const { return props_.appearance; }
    void setAppearance(std::int16_t v);
    std::uint32_t BackNormal() const { return props_.backNormal; }
    void setBackNormal(std::uint32_t c);
    std::uint32_t BackSelected() const { return props_.backSelected; }
    void setBackSelected(std::uint32_t c);
    std::uint32_t BackSelectedG1() const { return props_.backSelectedG1; }
    void setBackSelectedG1(std::uint32_t c);
    std::uint32_t BackSelectedG2() const { return props_.backSelectedG2; }
    void setBackSelectedG2(std::uint32_t c);
    std::int16_t BorderStyle() const { return props_.borderStyle; }
    void setBorderStyle(std::int16_t v);
    std::uint32_t BoxBorder() const { return props_.boxBorder; }
    void setBoxBorder(std::uint32_t c);
    std::int16_t BoxOffset() const { return props_.boxOffset; }
    void setBoxOffset(std::int16_t v);
    std::int16_t BoxRadius() const { return props_.boxRadius; }
    void setBoxRadius(std::int16_t v);
    bool Enabled() const { return props_.enabled; }
    void setEnabled(bool v) override;
    bool enabled() const override { return props_.enabled; }
    bool Focus() const { return model_.focusProperty(); }
    void setFocus(bool v);
    std::shared_ptr<rt::Font> Font() const { return font_; }
    void setFont(const std::shared_ptr<rt::Font>& f);
    std::uint32_t FontNormal() const { return props_.fontNormal; }
    void setFontNormal(std::uint32_t c);
    std::uint32_t FontSelected() const { return props_.fontSelected; }
    void setFontSelected(std::uint32_t c);
    bool HoverSelection() const { return model_.hoverSelection(); }
    void setHoverSelection(bool v);
    std::int16_t ItemHeight() const { return props_.itemHeight; }
    void setItemHeight(std::int16_t v);
    bool ItemHeightAuto() const { return props_.itemHeightAuto; }
    void setItemHeightAuto(bool v);
    std::int16_t ItemOffset() const { return props_.itemOffset; }
    void setItemOffset(std::int16_t v);
    std::int16_t ItemTextLeft() const { return props_.itemTextLeft; }
    void setItemTextLeft(std::int16_t v);
    std::shared_ptr<rt::Picture> MouseIcon() const { return mouseIcon_; }
    void setMouseIcon(std::shared_ptr<rt::Picture> p);
    std::int16_t MousePointer() const { return props_.mousePointer; }
    void setMousePointer(std::int16_t v);
    std::int16_t ScrollBarWidth() const { return props_.scrollBarWidth; }
    void setScrollBarWidth(std::int16_t v);
    std::shared_ptr<rt::Picture> SelectionPicture() const { return selectionPicture_; }
    void setSelectionPicture(std::shared_ptr<rt::Picture> p);
    std::int32_t SelectModeStyle() const { return props_.selectModeStyle; }
    void setSelectModeStyle(std::int32_t v);
    bool WordWrap() const { return props_.wordWrap; }
    void setWordWrap(bool v);

    // ---- events (arguments by reference) ----
    std::function<void()> Click, DblClick, ListIndexChange, Scroll, TopIndexChange;
    std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyDown, KeyUp;
    std::function<void(std::int16_t& keyAscii)> KeyPress;
    std::function<void(rt::MouseArgs&)> MouseDown, MouseMove, MouseUp;

    // For tests: the parts and the state.
    const ListModel& model() const { return model_; }
    rt::PictureBox& picList() { return *picList_; }
    HWND scrollBarWindow() const { return sbVert_ ? sbVert_->hwnd() : nullptr; }
    HWND editWindow() const { return txtEdit_ ? txtEdit_->hwnd() : nullptr; }
    bool editing() const { return editOpen_; }
    std::int16_t rowHeight() const { return model_.rowHeight(); }
    std::int16_t visibleRows() const { return model_.visibleRows(); }
    RowGeometry geometry() const;

protected:
    void onCreated() override;
    void initProperties() override;
    void readProperties(const rt::PropertyBag& bag) override;
    void writeProperties(rt::PropertyBag& bag) override;
    void onResize() override;
    void onTerminate() override;
    void onKeyDown(int keyCode, int shift) override;
    void onKeyUp(int keyCode, int shift) override;
    LRESULT wndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Sink
    void drawRow(std::int16_t index) override;
    void drawFocusBox(std::int16_t index) override;
    void redrawVisible() override;
    void clearList() override;
    void closeEdit() override;
    void scrollBarChanged() override;
    void raise(Event e) override;

    static LRESULT CALLBACK picListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT picListMessage(HWND, UINT, WPARAM, LPARAM, CoolList* self);
    void createParts();
    void layout();
    void paintRow(std::int16_t index);
    void drawIcon(HDC dc, std::int16_t image, const Rect& row);
    void paintDesigner();
    void repaint();
    void cacheColors();
    void applyFont();
    void applyBorder();
    void applyCursor();
    int lineHeight();
    int lineHeight(rt::Font& font);
    bool userMode() const { return ambient().userMode; }
    void picMouseDown(const rt::MouseArgs& a);
    void picMouseMove(const rt::MouseArgs& a);
    void picMouseUp(const rt::MouseArgs& a);
    void onVScroll(int code);
    void onWheel(int delta);
    bool editChar(wchar_t c);
    void finishEdit(bool save);

    ListModel model_{*this};
    ListProps props_;
    std::unique_ptr<rt::PictureBox> picList_;
    std::unique_ptr<VScrollBar> sbVert_;
    std::unique_ptr<EditBox> txtEdit_;
    std::shared_ptr<rt::Font> font_;
    int fontListener_ = 0;
    std::shared_ptr<rt::Picture> selectionPicture_, mouseIcon_;
    HCURSOR customCursor_ = nullptr;
    com::ComPtr<IDispatch> imageList_;
    int imageScaleMode_ = 1;
    // Cached device colours.
    COLORREF backNormal_ = 0, backSelected_ = 0, boxBorder_ = 0, textNormal_ = 0, textSelected_ = 0;
    Vertex16 g1_, g2_;
    rt::BrushPtr editBrush_;
    bool layoutInProgress_ = false;
    bool barShown_ = false;
    bool editOpen_ = false;
    bool keyPreview_ = true;
    bool partsMade_ = false;
    int wheelRest_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace kelva::lst
