#pragma once
// Reloading the suite's menu group in a running AutoCAD after its menu source was rewritten. The
// plan is written over the few things it asks of AutoCAD, so it runs against the real automation
// model (win/) and against a fake in tests. Every step ignores AutoCAD's failures: a refused
// unload or load is not the user's concern, the completion message already says what to do.
#include <string_view>

namespace kelva::cmd {

inline constexpr std::wstring_view kMenuGroup = L"Kelva";
inline constexpr std::wstring_view kMenuSource = L"Kelva.mns";
inline constexpr std::wstring_view kMenuName = L"Kel&va";

// What the plan needs of AutoCAD's menu groups and menu bar. Any member may throw.
class MenuHost {
public:
    virtual ~MenuHost() = default;
    virtual bool groupLoaded(std::wstring_view group) = 0;
    virtual void unloadGroup(std::wstring_view group) = 0;
    virtual void loadGroup(std::wstring_view menuFile) = 0;  // Load(file, False)
    virtual bool menuBarHas(std::wstring_view menu) = 0;
    virtual int menuBarCount() = 0;
    virtual void insertInMenuBar(std::wstring_view group, std::wstring_view menu, int position) = 0;
};

void unloadKelvaMenu(MenuHost& host);
void loadKelvaMenu(MenuHost& host);

}  // namespace kelva::cmd
