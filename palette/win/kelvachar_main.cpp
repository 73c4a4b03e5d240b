// KelvaChar: the character palette. The program lives as long as its main window.
#include <windows.h>
#include <objbase.h>

#include "palette/win/char_window.h"
#include "runtime/services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int code = 0;
    {
        kelva::palette::RegistryStore store;
        kelva::palette::CharWindow window(store);
        window.Unloaded = [] { PostQuitMessage(0); };
        window.show();
        code = kelva::rt::messageLoop();
    }
    CoUninitialize();
    return code;
}
