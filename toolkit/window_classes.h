#pragma once
// The toolkit's own window classes and the name tag every window carries,
// so that a driving program can find a form or control by its name.
#include <windows.h>

namespace qv {

inline constexpr const char* kFormClass = "QvForm";
inline constexpr const char* kPanelClass = "QvPanel";
inline constexpr const char* kLabelClass = "QvLabel";
inline constexpr const char* kPictureClass = "QvPicture";
inline constexpr const char* kDispatcherClass = "QvDispatcher";
inline constexpr const char* kTaskbarClass = "QvTaskbar";

// The window property holding the global atom of a window's name.
inline constexpr const char* kNameProperty = "QvName";

// Registers every class above; each window is bound to the object named
// by its creation parameter (window_binder.h).
void RegisterWindowClasses(HINSTANCE instance);

void TagWindowName(HWND hwnd, const char* name);
void UntagWindowName(HWND hwnd);

}  // namespace qv
