#pragma once
// The menu reload against a running AutoCAD, bound late by member name.
#include <oaidl.h>

#include "cmdedit/menu_reload.h"
#include "com/com_ptr.h"

namespace kelva::cmd {

// The running AutoCAD application, tried under each release's ProgID from the plain one to
// release 18; nothing when none runs. Never starts AutoCAD.
com::ComPtr<IDispatch> getAcad();

// MenuHost over a document's application: MenuGroups and MenuBar.
class AcadMenuHost : public MenuHost {
public:
    explicit AcadMenuHost(IDispatch* document) : doc_(document) {}
    bool groupLoaded(std::wstring_view group) override;
    void unloadGroup(std::wstring_view group) override;
    void loadGroup(std::wstring_view menuFile) override;
    bool menuBarHas(std::wstring_view menu) override;
    int menuBarCount() override;
    void insertInMenuBar(std::wstring_view group, std::wstring_view menu, int position) override;

private:
    com::ComPtr<IDispatch> app();
    com::ComPtr<IDispatch> groups();
    IDispatch* doc_;
};

}  // namespace kelva::cmd
