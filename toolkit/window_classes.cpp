#include "toolkit/window_classes.h"

#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/window_binder.h"

namespace qv {
namespace {

void Register(HINSTANCE instance, const char* name, WNDPROC proc, UINT style) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

}  // namespace

void RegisterWindowClasses(HINSTANCE instance) {
    Register(instance, kFormClass, BoundWindowProc<Form>, CS_DBLCLKS);
    Register(instance, kPanelClass, BoundWindowProc<Control>, CS_HREDRAW | CS_VREDRAW);
    Register(instance, kLabelClass, BoundWindowProc<Control>, CS_HREDRAW | CS_VREDRAW);
    Register(instance, kPictureClass, BoundWindowProc<Control>, CS_HREDRAW | CS_VREDRAW);
    Register(instance, kDispatcherClass, BoundWindowProc<Application>, 0);
    Register(instance, kTaskbarClass, BoundWindowProc<Application>, 0);
}

void TagWindowName(HWND hwnd, const char* name) {
    if (!name || !*name) return;
    const ATOM atom = GlobalAddAtomA(name);
    if (atom) SetPropA(hwnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void UntagWindowName(HWND hwnd) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(hwnd, kNameProperty)));
    if (atom) GlobalDeleteAtom(atom);
}

}  // namespace qv
