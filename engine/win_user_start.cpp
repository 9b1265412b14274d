#include "engine/win_user_start.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "engine/win_shortcut.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

class SystemRouteStarter : public RouteStarter {
public:
    bool Start(StartRoute route, const UserStart& start) override {
        return route == StartRoute::DesktopShell ? StartThroughDesktopShell(start) : StartAsOwnProcess(start);
    }
};

// The shell object behind the desktop's folder view, and the desktop window.
bool FindDesktopShell(ComPtr<IShellDispatch2>& shell, HWND& desktop) {
    ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.put_void()))) {
        return false;
    }
    UniqueVariant location;  // empty: the desktop
    UniqueVariant root;
    long window = 0;
    ComPtr<IDispatch> found;
    if (windows->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.put()) !=
            S_OK ||
        !found) {
        return false;
    }
    desktop = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    return SUCCEEDED(found->QueryInterface(IID_IServiceProvider, services.put_void())) &&
           SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())) &&
           SUCCEEDED(browser->QueryActiveShellView(view.put())) && view &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void())) && background &&
           SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void())) &&
           SUCCEEDED(folderView->get_Application(application.put())) && application &&
           SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, shell.put_void())) && shell;
}

// A string variant, or an empty one when the string is.
void SetText(UniqueVariant& variant, const std::string& text) {
    if (text.empty()) return;
    BSTR value = SysAllocString(ToWide(text).c_str());
    if (!value) return;
    variant.get()->vt = VT_BSTR;
    variant.get()->bstrVal = value;  // released with the variant
}

}  // namespace

bool ProcessElevated() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

bool StartThroughDesktopShell(const UserStart& start) {
    ComApartment com;
    if (!com.ok()) return false;
    ComPtr<IShellDispatch2> shell;
    HWND desktop = nullptr;
    if (!FindDesktopShell(shell, desktop)) return false;
    // The shell may bring the program's window to the front, as this
    // program, in front now, could.
    DWORD shellProcess = 0;
    if (desktop && GetWindowThreadProcessId(desktop, &shellProcess) && shellProcess) {
        AllowSetForegroundWindow(shellProcess);
    }
    UniqueBstr file(SysAllocString(ToWide(start.program).c_str()));
    if (!file) return false;
    UniqueVariant arguments, folder, operation, show;
    SetText(folder, start.folder);
    show.get()->vt = VT_I4;
    show.get()->lVal = start.showCommand;
    return SUCCEEDED(
        shell->ShellExecute(file.get(), arguments.value(), folder.value(), operation.value(), show.value()));
}

bool StartAsOwnProcess(const UserStart& start) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(ToWide(start.program).c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        ToWide(start.folder).c_str(), &startup, &info)) {
        return false;
    }
    const StartedProcess started(info);  // not waited for: only its handles are closed
    return true;
}

std::optional<StartRoute> StartProgramForUser(const std::string& program, const std::string& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const UserStart start{program, folder, InheritedShowCommand(startup.dwFlags, startup.wShowWindow)};
    SystemRouteStarter starter;
    return StartForUser(start, ProcessElevated(), starter);
}

}  // namespace qv
