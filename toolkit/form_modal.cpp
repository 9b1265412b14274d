// Modal showing of a form, and how a form closes.
#include <vector>

#include "toolkit/application.h"
#include "toolkit/form.h"

namespace qv {
namespace {

BOOL CALLBACK AppendWindow(HWND hwnd, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}

// The windows of this thread that are on screen and enabled, but for
// `except`: those a modal form disables while it is up.
std::vector<HWND> EnabledWindowsBut(HWND except) {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), AppendWindow, reinterpret_cast<LPARAM>(&windows));
    std::erase_if(windows, [except](HWND h) { return h == except || !IsWindowVisible(h) || !IsWindowEnabled(h); });
    return windows;
}

}  // namespace

ModalResult Form::ShowModal() {
    Application& app = Application::Instance();
    if (!shownOnce_ && layout_.centreOnMainForm && app.MainForm() && app.MainForm() != this) {
        RECT main{};
        GetWindowRect(app.MainForm()->hwnd(), &main);
        CentreIn(main);
    }
    shownOnce_ = true;
    modalResult_ = qv::ModalResult::None;
    FormShow();

    // A form on screen makes the program's taskbar button show.
    if (!hiddenWhileModal_) app.ShowTaskbarWindow();
    const std::vector<HWND> disabled = EnabledWindowsBut(hwnd());
    for (HWND h : disabled) EnableWindow(h, FALSE);

    modal_ = true;
    Form* const outer = app.ModalForm();
    app.SetModalForm(this);
    if (!hiddenWhileModal_) {
        ShowWindow(hwnd(), SW_SHOW);
        SetActiveWindow(hwnd());
        SetForegroundWindow(hwnd());
    }
    for (;;) {
        if (!app.ProcessMessage()) {
            modalResult_ = qv::ModalResult::Cancel;  // the program is ending
            break;
        }
        if (modalResult_ != qv::ModalResult::None) {
            if (QueryClose()) break;
            modalResult_ = qv::ModalResult::None;
        }
    }
    modal_ = false;
    app.SetModalForm(outer);
    for (HWND h : disabled) EnableWindow(h, TRUE);
    // A form that closes minimized or maximized hands on, and is shown
    // again at, its ordinary place.
    if (IsIconic(hwnd()) || IsZoomed(hwnd())) ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    OnActivate(false);  // remember the focused control for the next showing
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return modalResult_;
}

bool Form::QueryClose() {
    bool canClose = true;
    FormCloseQuery(canClose);
    return canClose;
}

void Form::Close() {
    if (modal_) {
        modalResult_ = qv::ModalResult::Cancel;
        return;
    }
    Application& app = Application::Instance();
    if (app.MainForm() != this) return;
    // A request to close the program from outside (the task list, say) while
    // a form is up is that form's Cancel, with its confirmation.
    if (Form* modal = app.ModalForm(); modal && modal != this) {
        modal->Close();
        return;
    }
    if (QueryClose()) app.Terminate();
}

}  // namespace qv
