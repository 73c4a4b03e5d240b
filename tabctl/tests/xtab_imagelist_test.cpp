// Tab pictures from an image list reached by member name, against a test image list.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "runtime/tests/fake_dispatch.h"
#include "tabctl/gdi_canvas.h"
#include "tabctl/xtab_imagelist.h"
#include "tabctl/xtab_pictures.h"

using namespace kelva::tabctl;
using kelva::com::ComPtr;
using kelva::com::Variant;
using kelva::testing::FakeDispatch;

namespace {

// A test image list: ListImages, Item(i) (from 1), Picture, and on the picture Handle and Type.
// Images without a bitmap have an empty picture (Type 0). `lastPicture`, when given, is the picture
// object handed out last.
ComPtr<FakeDispatch> imageList(const std::vector<HBITMAP>& bitmaps, FakeDispatch** lastPicture = nullptr) {
    auto picture = [&bitmaps, lastPicture](std::size_t i) {
        HBITMAP bmp = bitmaps[i];
        auto picture = FakeDispatch::make();
        picture->property(L"Handle", Variant::fromInt32(static_cast<LONG>(reinterpret_cast<std::intptr_t>(bmp))))
            .property(L"Type", Variant::fromInt16(bmp ? 1 : 0));
        if (lastPicture) *lastPicture = picture.get();
        return picture;
    };
    auto images = [&bitmaps, picture] {
        auto images = FakeDispatch::make();
        images->member(L"Item", [&bitmaps, picture](const DISPPARAMS& args, Variant& result) {
            if (args.cArgs != 1) return DISP_E_BADPARAMCOUNT;
            const auto i = FakeDispatch::number(args, 0);
            if (!i) return DISP_E_TYPEMISMATCH;
            if (*i < 1 || *i > static_cast<double>(bitmaps.size())) return DISP_E_BADINDEX;
            const auto k = static_cast<std::size_t>(*i) - 1;
            auto image = FakeDispatch::make();
            image->object(L"Picture", [picture, k] { return picture(k); });
            result = Variant::fromDispatch(image.get());
            return S_OK;
        });
        return images;
    };
    auto list = FakeDispatch::make();
    list->object(L"ListImages", images);
    return list;
}

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
    const long objects = kelva::com::ModuleCounts::objects();
    FakeDispatch* held = nullptr;
    auto list = imageList(bitmaps, &held);
    std::vector<TabRecord> tabs(4);
    std::vector<PictureRef> own;
    for (auto& t : tabs) own.push_back(t.Picture = std::make_shared<Own>());

    copyTabImages(tabs, [&list](std::int32_t i) { return imageListPicture(list.get(), i); });
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
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->references(), 1u);
    held->AddRef();
    tabs[1].Picture.reset();
    EXPECT_EQ(held->references(), 1u);
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
    list.reset();
    EXPECT_EQ(kelva::com::ModuleCounts::objects(), objects);  // every object of the list let go
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
    const long objects = kelva::com::ModuleCounts::objects();
    auto list = imageList(bitmaps);
    copyTabImages(tabs, [&list](std::int32_t i) { return imageListPicture(list.get(), i); });
    EXPECT_EQ(tabs[0].Picture, mine);  // image 1 has no picture
    EXPECT_FALSE(tabs[1].Picture);
    list.reset();
    EXPECT_EQ(kelva::com::ModuleCounts::objects(), objects);
    DeleteObject(bitmaps[1]);
}

}  // namespace
