#pragma once
// One window procedure for every window class of the toolkit: it binds the
// window to the object passed as the creation parameter, hands every
// message to that object's HandleMessage, and guards it against exceptions.
// The classes are Unicode (window_classes.cpp), and so is every call here.
#include <windows.h>

#include "toolkit/application.h"

namespace qv {

// The object a bound window belongs to, or null (not yet bound, or unbound).
template <typename T>
T* BoundObject(HWND hwnd) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Messages that come after this go to the default procedure: for a window
// whose object is being torn down.
inline void UnbindWindow(HWND hwnd) { SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); }

// T provides `LRESULT HandleMessage(HWND, UINT, WPARAM, LPARAM)` and may
// provide `void Attach(HWND)`, called when the window is first bound (before
// CreateWindowExW returns). A handler that throws has its error shown in the
// application's error box, and the message counts as handled with 0: a
// half-run handler is never followed by the default action, which for
// WM_CLOSE would destroy the window.
template <typename T>
LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* object = static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        if constexpr (requires(T& t) { t.Attach(hwnd); }) {
            if (object) object->Attach(hwnd);
        }
    }
    T* object = BoundObject<T>(hwnd);
    if (!object) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    Application::Instance().Guard([&] { result = object->HandleMessage(hwnd, msg, wp, lp); });
    return result;
}

}  // namespace qv
