#include "toolkit/application.h"

#include <commctrl.h>

#include <exception>

#include "toolkit/form.h"
#include "toolkit/program_text.h"
#include "toolkit/safe_dll.h"
#include "toolkit/window_binder.h"
#include "toolkit/window_classes.h"

namespace qv {
namespace {

constexpr UINT kRunPosted = WM_APP + 1;

}  // namespace

Application& Application::Instance() {
    static Application instance;
    return instance;
}

void Application::Initialize(HINSTANCE instance) {
    instance_ = instance;
    {
        const ScreenDc screen;
        if (screen.get()) dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    LoadCommonControls(ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES);
    RegisterWindowClasses(instance);
    dispatcher_.reset(
        CreateWindowExW(0, kDispatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this));
    // Unowned, so the taskbar shows it; of no size, so nothing of it shows
    // on screen. Its system menu and minimize box are what the taskbar
    // offers for the program. It sits at the screen's centre, where a
    // restore animation would start.
    taskbarWindow_.reset(CreateWindowExW(0, kTaskbarClass, ToWide(title_).c_str(),
                                         WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                         GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                                         0, nullptr, nullptr, instance, this));
    if (HWND window = taskbarWindow_.get()) {
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon(false)));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Icon(true)));
    }
}

void Application::SetTitle(std::string title) {
    title_ = std::move(title);
    if (taskbarWindow_) SetWindowTextW(taskbarWindow_.get(), ToWide(title_).c_str());
}

void Application::AddForm(std::unique_ptr<Form> form) { forms_.push_back(std::move(form)); }

bool Application::ProcessMessage() {
    MSG msg{};
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        terminated_ = true;
        PostQuitMessage(static_cast<int>(msg.wParam));  // let every nested loop see it
        return false;
    }
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && IsOfClass(root, kFormClass)) {
        Form* form = BoundObject<Form>(root);
        if (form && form->PreTranslateKey(msg)) return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void Application::ShowMainForm() {
    Form* main = MainForm();
    if (!main || mainShown_) return;
    mainShown_ = true;
    ShowTaskbarWindow();
    main->ShowMaximized();
}

void Application::Run(bool showMainForm) {
    if (showMainForm) ShowMainForm();
    while (!terminated_ && ProcessMessage()) {
    }
    // The last created form goes first, so a form's destruction may still
    // rely on the forms created before it.
    while (!forms_.empty()) {
        forms_.back()->Destroy();
        forms_.pop_back();
    }
    DrainPosted();
    dispatcher_.reset();
    taskbarWindow_.reset();
}

void Application::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

void Application::ShowException(const char* message) const {
    const std::string text = message ? message : "";
    if (errorBox_) {
        errorBox_(GetActiveWindow(), text, title_.c_str());
    } else {
        MessageBoxW(GetActiveWindow(), ToWide(text).c_str(), ToWide(title_).c_str(), MB_ICONERROR | MB_OK);
    }
}

namespace {

// Said instead of an error whose own text cannot be shown (one that is not
// the program's text, say).
constexpr const char* kUnshowableError = "Произошла ошибка, описание которой невозможно показать.";

}  // namespace

void Application::Guard(const std::function<void()>& handler) const {
    // Nothing may escape into the system's code that called the window
    // procedure: an error box that fails too is replaced by a plainer one.
    const auto show = [this](const char* message) {
        try {
            ShowException(message);
        } catch (...) {
            try {
                ShowException(kUnshowableError);
            } catch (...) {
            }
        }
    };
    try {
        handler();
    } catch (const std::exception& e) {
        show(e.what());
    } catch (...) {
        show("");
    }
}

HFONT Application::Font(const FontStyle& style) {
    auto key = std::make_tuple(std::string(style.face ? style.face : ""), style.height, style.bold,
                               static_cast<int>(style.charset));
    if (const UniqueFont* made = fonts_.Find(key)) return made->get();
    UniqueFont font(CreateFontW(style.height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                style.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, ToWide(style.face ? style.face : "").c_str()));
    const HFONT handle = font.get();
    fonts_[key] = std::move(font);
    return handle;
}

HICON Application::Icon(bool small) {
    UniqueIcon& icon = small ? smallIcon_ : bigIcon_;
    if (!icon) {
        const int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
        icon.reset(static_cast<HICON>(LoadImageW(instance_, L"MAINICON", IMAGE_ICON, size, size, 0)));
    }
    return icon.get();
}

namespace {

// The shutdown reason calls exist from Windows Vista on: found at run time.
using ReasonCreate = BOOL(WINAPI*)(HWND, LPCWSTR);
using ReasonDestroy = BOOL(WINAPI*)(HWND);

template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

void Application::BlockShutdown(const std::string& reason) {
    shutdownBlocked_ = true;
    Form* main = MainForm();
    if (!main) return;
    if (auto create = User32Function<ReasonCreate>("ShutdownBlockReasonCreate")) {
        create(main->hwnd(), ToWide(reason).c_str());
    }
}

void Application::AllowShutdown() {
    if (!shutdownBlocked_) return;
    shutdownBlocked_ = false;
    Form* main = MainForm();
    if (!main) return;
    if (auto destroy = User32Function<ReasonDestroy>("ShutdownBlockReasonDestroy")) destroy(main->hwnd());
}

void Application::Post(std::function<void()> work) {
    auto* job = new std::function<void()>(std::move(work));
    if (!dispatcher_ || !PostMessageW(dispatcher_.get(), kRunPosted, 0, reinterpret_cast<LPARAM>(job))) delete job;
}

void Application::DrainPosted() {
    MSG msg{};
    while (dispatcher_ && PeekMessageW(&msg, dispatcher_.get(), kRunPosted, kRunPosted, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(msg.lParam);
    }
}

LRESULT Application::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd == taskbarWindow_.get()) return HandleTaskbarMessage(msg, wp, lp);
    if (msg == kRunPosted) {
        std::unique_ptr<std::function<void()>> job(reinterpret_cast<std::function<void()>*>(lp));
        (*job)();  // the window procedure guards it
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Application::ShowTaskbarWindow() {
    if (taskbarWindow_ && !IsWindowVisible(taskbarWindow_.get())) ShowWindow(taskbarWindow_.get(), SW_SHOWNA);
}

Form* Application::FrontForm() const {
    if (modalForm_) return modalForm_;
    Form* main = MainForm();
    return main && main->Visible() ? main : nullptr;
}

// What the taskbar and Alt+Tab do to the program's window goes on to the
// form the user works with.
LRESULT Application::HandleTaskbarMessage(UINT msg, WPARAM wp, LPARAM lp) {
    HWND window = taskbarWindow_.get();
    switch (msg) {
        case WM_CLOSE:
            // As the program's main form is closed from outside: a page that
            // is up takes it as its Cancel, with its confirmation.
            if (Form* main = MainForm()) main->Close();
            return 0;
        case WM_SETFOCUS:
            // Activated through its button: the form, or the box it has open, comes to the front.
            if (Form* form = FrontForm()) {
                HWND target = form->hwnd();
                if (IsIconic(target)) ShowWindow(target, SW_RESTORE);
                if (!IsWindowEnabled(target)) target = GetLastActivePopup(target);
                if (target && IsWindowEnabled(target)) SetActiveWindow(target);
            }
            return 0;
        default:
            return DefWindowProcW(window, msg, wp, lp);
    }
}

}  // namespace qv
