' Menu groups as the command-name editor reloads them: unload, load from the menu source, and put the
' menu back at the end of the menu bar.
Option Explicit
'#include "assert.vbs"
'#include "acadsim.vbs"
Dim groups, group, menu, bar, n

AcadAttach
gSim.DefineMenuFile "Kelva.mns", "Kelva", "Kel&va"
Set groups = gAcad.MenuGroups
Set group = groups.Load("Kelva.mns", False)
Set bar = gAcad.MenuBar
n = bar.Count
group.Menus.Item("Kel&va").InsertInMenuBar bar.Count + 1
AssertEqual bar.Count, n + 1, "menu appended"
AssertEqual bar.Item(n).Name, "Kel&va", "at the end"
On Error Resume Next
group.Menus.Item("Kel&va").InsertInMenuBar bar.Count + 1
AssertTrue Err.Number <> 0, "a menu goes on the bar once"
Err.Clear
groups.Load "Kelva.mns", False
AssertTrue Err.Number <> 0, "a loaded group is not loaded twice"
Err.Clear
On Error GoTo 0
groups.Item("Kelva").Unload
AssertEqual bar.Count, n, "unloading takes the menu off the bar"
On Error Resume Next
Set group = groups.Item("Kelva")
AssertTrue Err.Number <> 0, "the group is gone"
Err.Clear
Set menu = bar.Item("Kel&va")
AssertTrue Err.Number <> 0, "the menu is gone"
Err.Clear
On Error GoTo 0
Done
