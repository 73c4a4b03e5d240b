// Tab pictures from an image list reached by member name, against a test image list.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "tabctl/gdi_canvas.h"
#include "tabctl/xtab_imagelist.h"
#include "tabctl/xtab_pictures.h"

using namespace kelva::tabctl;

namespace {

// A test image list: ListImages, Item(i) (from 1), Picture, and on the picture Handle and Type.
// Images without a bitmap have an empty picture (Type 0).
class FakeList : public IDispatch {
public:
    enum class Role { List, Images, Image, Picture };
    FakeList(Role role, std::vector<HBITMAP>* bitmaps, int index = 0) : role_(role), bitmaps_(bitmaps), index_(index) {}
    virtual ~FakeList() = default;
    ULONG refs() const { return refs_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG r = --refs_;
        if (r == 0) delete this;
        return r;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        static const wchar_t* known[] = {L"ListImages", L"Item", L"Picture", L"Handle", L"Type"};
        for (int i = 0; i < 5; ++i)
            if (_wcsicmp(names[0], known[i]) == 0) {
                ids[0] = i + 1;
                return S_OK;
            }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        auto object = [&](FakeList* d) {
            V_VT(result) = VT_DISPATCH;
            V_DISPATCH(result) = d;
            return S_OK;
        };
        if (!result) return E_INVALIDARG;
        if (role_ == Role::List && id == 1) return object(new FakeList(Role::Images, bitmaps_));
        if (role_ == Role::Images && id == 2 && p->cArgs == 1) {
            VARIANT i;
            VariantInit(&i);
            if (FAILED(VariantChangeType(&i, &p->rgvarg[0], 0, VT_I4))) return DISP_E_TYPEMISMATCH;
            if (V_I4(&i) < 1 || V_I4(&i) > static_cast<int>(bitmaps_->size())) return DISP_E_BADINDEX;
            return object(new FakeList(Role::Image, bitmaps_, V_I4(&i)));
        }
        if (role_ == Role::Image && id == 3) {
            auto* pic = new FakeList(Role::Picture, bitmaps_, index_);
            lastPicture = pic;
            return object(pic);
        }
        HBITMAP bmp = role_ == Role::Picture ? (*bitmaps_)[static_cast<std::size_t>(index_ - 1)] : nullptr;
        if (role_ == Role::Picture && id == 4) {
            V_VT(result) = VT_I4;
            V_I4(result) = static_cast<LONG>(reinterpret_cast<std::intptr_t>(bmp));
            return S_OK;
        }
        if (role_ == Role::Picture && id == 5) {
            V_VT(result) = VT_I2;
            V_I2(result) = bmp ? 1 : 0;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    static inline FakeList* lastPicture = nullptr;

private:
    Role role_;
    std::vector<HBITMAP>* bitmaps_;
    int index_;
    ULONG refs_ = 1;
};

HBITMAP solid(COLORREF color) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    HBRUSH br = CreateSolidBrush(color);
    RECT r{0, 0, 8, 8};
    FillRect(mem, &r, br);
    DeleteObject(br);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bmp;
}

struct Own : TabPicture {
    int width() const override { return 1; }
    int height() const override { return 1; }
};

TEST(XTabImageList, PicturesComeByMemberNameAndAreSharedNotCopied) {
    std::vector<HBITMAP> bitmaps{solid(RGB(255, 0, 0)), solid(RGB(0, 0, 255))};
    auto* list = new FakeList(FakeList::Role::List, &bitmaps);
    std::vector<TabRecord> tabs(4);
    std::vector<PictureRef> own;
    for (auto& t : tabs) own.push_back(t.Picture = std::make_shared<Own>());

    copyTabImages(tabs, [list](std::int32_t i) { return imageListPicture(list, i); });
    for (int i = 0; i < 2; ++i) {
        auto* g = dynamic_cast<const GdiTabPicture*>(tabs[static_cast<std::size_t>(i)].Picture.get());
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->bitmap(), bitmaps[static_cast<std::size_t>(i)]);  // the list's own bitmap
        EXPECT_EQ(g->type(), kPictureBitmap);
        EXPECT_EQ(g->width(), 8);
    }
    EXPECT_EQ(tabs[2].Picture, own[2]);  // a list of two images leaves the later tabs as they were
    EXPECT_EQ(tabs[3].Picture, own[3]);

    // The tab holds the list's picture object while it uses it, and lets it go afterwards.
    FakeList* held = FakeList::lastPicture;
    EXPECT_EQ(held->refs(), 1u);
    held->AddRef();
    tabs[1].Picture.reset();
    EXPECT_EQ(held->refs(), 1u);
    held->Release();

    // Drawn masked from the shared handle.
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = solid(RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(dc, target);
    GdiCanvas c(dc, 8, {}, {});
    c.drawPicture(*tabs[0].Picture, 0, 0, 4, 4, true, RGB(0, 0, 255));
    c.drawPicture(*tabs[0].Picture, 4, 4, 4, 4, false, 0);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 6, 1), RGB(0, 255, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);

    tabs.clear();
    list->Release();
    for (HBITMAP b : bitmaps) {
        BITMAP bm{};
        EXPECT_EQ(GetObjectW(b, sizeof bm, &bm), static_cast<int>(sizeof bm)) << "the list's bitmap was deleted";
        DeleteObject(b);
    }
}

TEST(XTabImageList, NoListOrAnEmptyImageEndsTheWalk) {
    std::vector<TabRecord> tabs(2);
    auto mine = std::make_shared<Own>();
    tabs[0].Picture = mine;
    copyTabImages(tabs, [](std::int32_t i) { return imageListPicture(nullptr, i); });
    EXPECT_EQ(tabs[0].Picture, mine);  // nothing passed: the first tab keeps its picture

    std::vector<HBITMAP> bitmaps{nullptr, solid(RGB(1, 2, 3))};
    auto* list = new FakeList(FakeList::Role::List, &bitmaps);
    copyTabImages(tabs, [list](std::int32_t i) { return imageListPicture(list, i); });
    EXPECT_EQ(tabs[0].Picture, mine);  // image 1 has no picture
    EXPECT_FALSE(tabs[1].Picture);
    list->Release();
    DeleteObject(bitmaps[1]);
}

}  // namespace
