#pragma once
// The toolkit's own window classes and the name tag every window carries,
// so that a driving program can find a form or control by its name.
#include <windows.h>

namespace qv {

// Every class is registered, and every window made, through the wide calls:
// a window is Unicode from its class on.
inline constexpr const wchar_t* kFormClass = L"QvForm";
inline constexpr const wchar_t* kPanelClass = L"QvPanel";
inline constexpr const wchar_t* kLabelClass = L"QvLabel";
inline constexpr const wchar_t* kPictureClass = L"QvPicture";
inline constexpr const wchar_t* kDispatcherClass = L"QvDispatcher";
inline constexpr const wchar_t* kTaskbarClass = L"QvTaskbar";

// The window property holding the global atom of a window's name.
inline constexpr const wchar_t* kNameProperty = L"QvName";

// Registers every class above; each window is bound to the object named
// by its creation parameter (window_binder.h).
void RegisterWindowClasses(HINSTANCE instance);

// Whether the window is of the class named.
bool IsOfClass(HWND hwnd, const wchar_t* className);

void TagWindowName(HWND hwnd, const char* name);
void UntagWindowName(HWND hwnd);

}  // namespace qv
