#pragma once
// The application object: its title, the forms it created (the first is the
// main form), shared fonts and icon, the message loop and the hand-over of
// work from other threads to the user-interface thread. It also owns the
// program's one window in the taskbar: a window of no size, titled with the
// application's title and carrying the product icon, that owns every form
// created without an owner, so that no form shows a button of its own.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "toolkit/layout.h"
#include "toolkit/small_map.h"
#include "toolkit/win_handles.h"

namespace qv {

class Form;

class Application {
public:
    static Application& Instance();

    void Initialize(HINSTANCE instance);
    HINSTANCE InstanceHandle() const { return instance_; }

    const std::string& Title() const { return title_; }
    // Also the text of the taskbar window.
    void SetTitle(std::string title);

    // The system DPI the forms are laid out at: their tables are written for
    // 96 and scaled by Dpi() / 96 when they are built.
    int Dpi() const { return dpi_; }

    // The window that stands for the program in the taskbar and in Alt+Tab.
    // It shows once a form of the program does (never in a run without windows).
    HWND TaskbarWindow() const { return taskbarWindow_.get(); }
    void ShowTaskbarWindow();

    // Takes ownership of a created form; the first one becomes the main form.
    void AddForm(std::unique_ptr<Form> form);
    Form* MainForm() const { return forms_.empty() ? nullptr : forms_.front().get(); }

    // Shows the taskbar window and the main form maximized, and draws it at
    // once; later calls do nothing.
    void ShowMainForm();
    // Shows the main form (unless told not to show it, or it is shown
    // already) and runs the message loop until the main form is closed,
    // then destroys the forms, the last created first.
    void Run(bool showMainForm = true);
    // Ends the message loop.
    void Terminate();
    // What the program returns when it ends.
    int ExitCode() const { return exitCode_; }
    void SetExitCode(int code) { exitCode_ = code; }
    bool Terminated() const { return terminated_; }

    // Fetches and dispatches one message; false once the loop must end.
    bool ProcessMessage();

    // The standard error box: the message, an error icon, OK, the title as caption.
    void ShowException(const char* message) const;
    // How the error box is shown (owner, text, caption); a message box
    // until the program says otherwise.
    using ErrorBox = std::function<void(HWND, const std::string&, const char*)>;
    void SetErrorBox(ErrorBox show) { errorBox_ = std::move(show); }
    // Runs a handler; an exception escaping it is shown in the error box.
    void Guard(const std::function<void()>& handler) const;

    HFONT Font(const FontStyle& style);
    // The product icon at the size the system asks for (large or small).
    HICON Icon(bool small);

    // Runs the function on the user-interface thread; callable from any
    // thread. Returns at once.
    void Post(std::function<void()> work);

    // The form shown modally now (the innermost), or null.
    Form* ModalForm() const { return modalForm_; }
    void SetModalForm(Form* form) { modalForm_ = form; }

    // While blocked, the program refuses a shutdown of Windows and gives
    // Windows the reason to show; Allow lifts it.
    void BlockShutdown(const std::string& reason);
    void AllowShutdown();
    bool ShutdownBlocked() const { return shutdownBlocked_; }

    // The window procedure of the hidden window that receives posted work
    // and of the taskbar window (window_binder.h binds both to the application).
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    Application() = default;
    void DrainPosted();
    LRESULT HandleTaskbarMessage(UINT msg, WPARAM wp, LPARAM lp);
    // The form the user works with: the one shown modally, else the main form.
    Form* FrontForm() const;

    HINSTANCE instance_ = nullptr;
    std::string title_;
    ErrorBox errorBox_;
    std::vector<std::unique_ptr<Form>> forms_;
    SmallMap<std::tuple<std::string, int, bool, int>, UniqueFont> fonts_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    UniqueWindow dispatcher_;
    Form* modalForm_ = nullptr;
    bool shutdownBlocked_ = false;
    UniqueWindow taskbarWindow_;
    int dpi_ = 96;
    bool mainShown_ = false;
    bool terminated_ = false;
    int exitCode_ = 0;
};

}  // namespace qv
