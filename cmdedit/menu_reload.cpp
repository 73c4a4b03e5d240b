#include "cmdedit/menu_reload.h"

namespace kelva::cmd {
namespace {
void appendMenu(MenuHost& host) {
    int count = host.menuBarCount();
    host.insertInMenuBar(kMenuGroup, kMenuName, count + 1);
}
}  // namespace

void unloadKelvaMenu(MenuHost& host) {
    try {
        host.unloadGroup(kMenuGroup);
    } catch (...) {
    }
}

void loadKelvaMenu(MenuHost& host) {
    try {
        if (!host.groupLoaded(kMenuGroup)) {
            host.loadGroup(kMenuSource);
            appendMenu(host);
        } else if (!host.menuBarHas(kMenuName)) {
            appendMenu(host);
        }
    } catch (...) {
    }
}

}  // namespace kelva::cmd
