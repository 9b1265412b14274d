#include "toolkit/window_classes.h"

#include <cwchar>
#include <string>

#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/program_text.h"
#include "toolkit/window_binder.h"

namespace qv {
namespace {

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
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

bool IsOfClass(HWND hwnd, const wchar_t* className) {
    // One character more than the name asked for: a longer class name, cut
    // to the buffer, still fills it and so never matches.
    const std::size_t length = std::wcslen(className);
    std::wstring name(length + 2, L'\0');
    const int copied = GetClassNameW(hwnd, name.data(), static_cast<int>(name.size()));
    return copied >= 0 && static_cast<std::size_t>(copied) == length && name.compare(0, length, className) == 0;
}

void TagWindowName(HWND hwnd, const char* name) {
    if (!name || !*name) return;
    const ATOM atom = GlobalAddAtomW(ToWide(name).c_str());
    if (atom) SetPropW(hwnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void UntagWindowName(HWND hwnd) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropW(hwnd, kNameProperty)));
    if (atom) GlobalDeleteAtom(atom);
}

}  // namespace qv
