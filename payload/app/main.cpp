// QuorVel.exe: the application's stand-in. It shows its working folder and
// which of its data files are there.
#include <windows.h>
#include <commctrl.h>

#include "payload/app/main_window.h"
#include "toolkit/safe_dll.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    qv::LimitDllSearch();
    qv::LoadCommonControls(ICC_STANDARD_CLASSES);
    if (!qv::MainWindow::Register(instance)) return 1;
    qv::MainWindow window;
    HWND hwnd = window.Create(instance, show);
    if (!hwnd) return 1;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd, &msg)) continue;  // Tab, Enter and Esc
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
