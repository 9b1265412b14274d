// The yardstick of the startup benchmark: the least a Win32 program does to
// put a maximized window on screen. Its window carries the name "Form1",
// as the setup program's background window does, so that the benchmark
// finds and judges both alike. Ends when its window is closed.
#include <windows.h>

namespace {

constexpr const char* kClass = "QvMinimalWindow";

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(hwnd, "QvName"))));
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, kClass, "Form1", WS_POPUP, 0, 0, 862, 606, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    SetPropA(hwnd, "QvName", reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GlobalAddAtomA("Form1"))));
    ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    UpdateWindow(hwnd);
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
