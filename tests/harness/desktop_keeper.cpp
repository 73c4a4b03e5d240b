// Keeps Wine's desktop process alive for a whole test run: it ends about a second after the last
// GUI process, and restarting it for each window test makes the run several times slower.
// `desktop_keeper.exe /quit` (or ending the wineserver) stops it.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmd, int) {
    HANDLE quit = CreateEventW(nullptr, TRUE, FALSE, L"KelvaTests.DesktopKeeper.Quit");
    if (!quit) return 1;
    if (cmd && std::wcsstr(cmd, L"/quit")) {
        SetEvent(quit);
        CloseHandle(quit);
        return 0;
    }
    GetDesktopWindow();  // attaches this process to the desktop
    WaitForSingleObject(quit, INFINITE);
    CloseHandle(quit);
    return 0;
}
