#include "cmdedit/win/acad_menus.h"

#include "com/latebound.h"
#include "core/errors.h"

namespace kelva::cmd {

com::ComPtr<IDispatch> getAcad() {
    for (const wchar_t* progId : {L"AutoCAD.Application", L"AutoCAD.Application.14", L"AutoCAD.Application.15",
                                  L"AutoCAD.Application.16", L"AutoCAD.Application.17", L"AutoCAD.Application.18"}) {
        if (auto app = com::runningObject(progId)) return app;
    }
    return {};
}

com::ComPtr<IDispatch> AcadMenuHost::app() { return com::getObject(doc_, L"Application"); }
com::ComPtr<IDispatch> AcadMenuHost::groups() { return com::getObject(app().get(), L"MenuGroups"); }

bool AcadMenuHost::groupLoaded(std::wstring_view group) {
    auto all = groups();
    try {
        com::getObject(all.get(), L"Item", {com::Variant::fromString(group)});
        return true;
    } catch (const VbError&) {
        return false;
    }
}

void AcadMenuHost::unloadGroup(std::wstring_view group) {
    auto g = com::getObject(groups().get(), L"Item", {com::Variant::fromString(group)});
    com::call(g.get(), L"Unload");
}

void AcadMenuHost::loadGroup(std::wstring_view menuFile) {
    com::call(groups().get(), L"Load", {com::Variant::fromString(menuFile), com::Variant::fromBool(false)});
}

bool AcadMenuHost::menuBarHas(std::wstring_view menu) {
    auto bar = com::getObject(app().get(), L"MenuBar");
    try {
        com::getObject(bar.get(), L"Item", {com::Variant::fromString(menu)});
        return true;
    } catch (const VbError&) {
        return false;
    }
}

int AcadMenuHost::menuBarCount() {
    auto bar = com::getObject(app().get(), L"MenuBar");
    com::Variant count = com::get(bar.get(), L"Count");
    VARIANT n;
    VariantInit(&n);
    if (FAILED(VariantChangeType(&n, count.get(), 0, VT_I4))) throw VbError(13);
    return static_cast<int>(V_I4(&n));
}

void AcadMenuHost::insertInMenuBar(std::wstring_view group, std::wstring_view menu, int position) {
    auto g = com::getObject(groups().get(), L"Item", {com::Variant::fromString(group)});
    auto menus = com::getObject(g.get(), L"Menus");
    auto m = com::getObject(menus.get(), L"Item", {com::Variant::fromString(menu)});
    com::call(m.get(), L"InsertInMenuBar", {com::Variant::fromInt32(position)});
}

}  // namespace kelva::cmd
