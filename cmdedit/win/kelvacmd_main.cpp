// KelvaCmd: the command-name editor. The program lives as long as its one window.
#include <windows.h>
#include <objbase.h>

#include "cmdedit/win/main_window.h"
#include "runtime/services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int code = 0;
    {
        kelva::cmd::MainWindow window(kelva::cmd::programFolder());
        window.form().Unload = [] { PostQuitMessage(0); };
        window.form().show();
        code = kelva::rt::messageLoop();
    }
    CoUninitialize();
    return code;
}
