#include "toolkit/application.h"

#include <commctrl.h>

#include <exception>

#include "toolkit/form.h"
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
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterWindowClasses(instance);
    dispatcher_.reset(
        CreateWindowExA(0, kDispatcherClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this));
}

void Application::AddForm(std::unique_ptr<Form> form) { forms_.push_back(std::move(form)); }

bool Application::ProcessMessage() {
    MSG msg{};
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        terminated_ = true;
        PostQuitMessage(static_cast<int>(msg.wParam));  // let every nested loop see it
        return false;
    }
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root) {
        char className[32] = {};
        GetClassNameA(root, className, sizeof className);
        if (lstrcmpA(className, kFormClass) == 0) {
            Form* form = BoundObject<Form>(root);
            if (form && form->PreTranslateKey(msg)) return true;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void Application::ShowMainForm() {
    Form* main = MainForm();
    if (!main || mainShown_) return;
    mainShown_ = true;
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
}

void Application::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

void Application::ShowException(const char* message) const {
    MessageBoxA(GetActiveWindow(), message ? message : "", title_.c_str(), MB_ICONERROR | MB_OK);
}

void Application::Guard(const std::function<void()>& handler) const {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("");
    }
}

HFONT Application::Font(const FontStyle& style) {
    auto key = std::make_tuple(std::string(style.face ? style.face : ""), style.height, style.bold,
                               static_cast<int>(style.charset));
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    HFONT font = CreateFontA(style.height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             style.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, style.face ? style.face : "");
    return fonts_.emplace(key, UniqueFont(font)).first->second.get();
}

HICON Application::Icon(bool small) {
    UniqueIcon& icon = small ? smallIcon_ : bigIcon_;
    if (!icon) {
        const int size = small ? 16 : 32;
        icon.reset(static_cast<HICON>(LoadImageA(instance_, "MAINICON", IMAGE_ICON, size, size, 0)));
    }
    return icon.get();
}

namespace {

// The shutdown reason calls exist from Windows Vista on: found at run time.
using ReasonCreate = BOOL(WINAPI*)(HWND, LPCWSTR);
using ReasonDestroy = BOOL(WINAPI*)(HWND);

template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

std::wstring Wide(const std::string& text) {
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(needed > 0 ? static_cast<size_t>(needed) : 1, L'\0');
    if (needed > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), needed);
    return wide;
}

}  // namespace

void Application::BlockShutdown(const std::string& reason) {
    shutdownBlocked_ = true;
    Form* main = MainForm();
    if (!main) return;
    if (auto create = User32Function<ReasonCreate>("ShutdownBlockReasonCreate")) {
        create(main->hwnd(), Wide(reason).c_str());
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
    if (!dispatcher_ || !PostMessageA(dispatcher_.get(), kRunPosted, 0, reinterpret_cast<LPARAM>(job))) delete job;
}

void Application::DrainPosted() {
    MSG msg{};
    while (dispatcher_ && PeekMessageA(&msg, dispatcher_.get(), kRunPosted, kRunPosted, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(msg.lParam);
    }
}

LRESULT Application::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kRunPosted) {
        std::unique_ptr<std::function<void()>> job(reinterpret_cast<std::function<void()>*>(lp));
        (*job)();  // the window procedure guards it
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace qv
