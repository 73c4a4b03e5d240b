// KelvaChar: the character palette. The program lives as long as its main window.
#include <windows.h>
#include <objbase.h>

#include "palette/win/char_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int code = 0;
    {
        kelva::palette::RegistryStore store;
        kelva::palette::CharWindow window(store);
        window.Unloaded = [] { PostQuitMessage(0); };
        window.show();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        code = static_cast<int>(msg.wParam);
    }
    CoUninitialize();
    return code;
}
