#include "toolkit/form.h"

#include <algorithm>
#include <stdexcept>

#include "toolkit/application.h"
#include "toolkit/folder_controls.h"
#include "toolkit/window_classes.h"

namespace qv {
namespace {

std::unique_ptr<Control> MakeControl(Form& form, const ControlLayout& layout, Control* parent) {
    switch (layout.kind) {
        case ControlKind::Panel: return std::make_unique<Panel>(form, layout, parent);
        case ControlKind::Button: return std::make_unique<Button>(form, layout, parent);
        case ControlKind::StaticText: return std::make_unique<StaticText>(form, layout, parent);
        case ControlKind::Label: return std::make_unique<Label>(form, layout, parent);
        case ControlKind::Picture: return std::make_unique<Picture>(form, layout, parent);
        case ControlKind::Memo: return std::make_unique<Memo>(form, layout, parent);
        case ControlKind::RadioButton: return std::make_unique<RadioButton>(form, layout, parent);
        case ControlKind::CheckBox: return std::make_unique<CheckBox>(form, layout, parent);
        case ControlKind::Edit: return std::make_unique<Edit>(form, layout, parent);
        case ControlKind::ListBox: return std::make_unique<ListBox>(form, layout, parent);
        case ControlKind::ProgressBar: return std::make_unique<ProgressBar>(form, layout, parent);
        case ControlKind::DirectoryList:
        case ControlKind::DriveCombo:
            return MakeFolderControl(form, layout, parent);
    }
    return nullptr;
}

Form* FormOf(HWND hwnd) { return reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

}  // namespace

Form::Form(const FormLayout& layout) : layout_(layout) {}

Form::~Form() { Destroy(); }

COLORREF Form::Colour() const {
    return layout_.colour == kColourButtonFace ? GetSysColor(COLOR_BTNFACE) : layout_.colour;
}

HFONT Form::Font() const { return Application::Instance().Font(layout_.font); }

void Form::Create(HWND owner, std::span<const ControlLayout> controls) {
    brush_.reset(CreateSolidBrush(Colour()));
    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    if (layout_.borderless) {
        style |= WS_POPUP;
    } else {
        style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        if (layout_.maximizeBox) style |= WS_MAXIMIZEBOX;
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    RECT frame{0, 0, layout_.bounds.width, layout_.bounds.height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    hwnd_ = CreateWindowExA(exStyle, kFormClass, layout_.caption, style, layout_.bounds.left, layout_.bounds.top,
                            frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                            Application::Instance().InstanceHandle(), this);
    if (!hwnd_) throw std::runtime_error("window cannot be created");
    TagWindowName(hwnd_, layout_.name);
    Application& app = Application::Instance();
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(app.Icon(false)));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(app.Icon(true)));

    for (const ControlLayout& layout : controls) {
        Control* parent = layout.parent ? Find(layout.parent) : nullptr;
        std::unique_ptr<Control> control = MakeControl(*this, layout, parent);
        control->Create();
        byName_[layout.name] = control.get();
        controls_.push_back(std::move(control));
    }
    AlignControls();
    // A failing creation handler is reported; the form is still usable.
    Application::Instance().Guard([this] { FormCreate(); });
}

void Form::Destroy() {
    if (!hwnd_) return;
    FormDestroy();
    for (const auto& control : controls_) UntagWindowName(control->hwnd());
    UntagWindowName(hwnd_);
    for (const auto& timer : timers_) KillTimer(hwnd_, timer.first);
    timers_.clear();
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

Control* Form::Find(const char* name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

Control* Form::FromHwnd(HWND hwnd) const {
    // A control may be made of inner windows (the edit of a combo box).
    for (HWND h = hwnd; h && h != hwnd_; h = GetParent(h)) {
        for (const auto& control : controls_) {
            if (control->hwnd() == h) return control.get();
        }
    }
    return nullptr;
}

bool Form::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

int Form::Left() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r.left;
}

int Form::Top() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r.top;
}

void Form::SetLeft(int left) {
    SetWindowPos(hwnd_, nullptr, left, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetTop(int top) {
    SetWindowPos(hwnd_, nullptr, Left(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::StartTimer(UINT id, UINT intervalMs, std::function<void()> handler) {
    timers_[id] = std::move(handler);
    SetTimer(hwnd_, id, intervalMs, nullptr);
}

void Form::StopTimer(UINT id) {
    KillTimer(hwnd_, id);
    timers_.erase(id);
}

void Form::ShowMaximized() {
    ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
    UpdateWindow(hwnd_);
}

namespace {

struct DisabledWindows {
    HWND except;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lp) {
    auto* state = reinterpret_cast<DisabledWindows*>(lp);
    if (hwnd != state->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) state->windows.push_back(hwnd);
    return TRUE;
}

}  // namespace

int Form::ShowModal() {
    Application& app = Application::Instance();
    if (!shownOnce_ && layout_.centreOnMainForm && app.MainForm() && app.MainForm() != this) {
        RECT main{}, mine{};
        GetWindowRect(app.MainForm()->hwnd(), &main);
        GetWindowRect(hwnd_, &mine);
        const int width = mine.right - mine.left;
        const int height = mine.bottom - mine.top;
        SetWindowPos(hwnd_, nullptr, main.left + (main.right - main.left - width) / 2,
                     main.top + (main.bottom - main.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    shownOnce_ = true;
    modalResult_ = 0;
    FormShow();

    DisabledWindows disabled{hwnd_, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND h : disabled.windows) EnableWindow(h, FALSE);

    modal_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    SetActiveWindow(hwnd_);
    SetForegroundWindow(hwnd_);
    for (;;) {
        if (!app.ProcessMessage()) {
            modalResult_ = 2;  // the program is ending
            break;
        }
        if (modalResult_ != 0) {
            if (QueryClose()) break;
            modalResult_ = 0;
        }
    }
    modal_ = false;
    for (HWND h : disabled.windows) EnableWindow(h, TRUE);
    OnActivate(false);  // remember the focused control for the next showing
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
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
        modalResult_ = 2;
        return;
    }
    if (Application::Instance().MainForm() == this && QueryClose()) {
        Application::Instance().Terminate();
    }
}

void Form::SetActiveControl(Control* control) {
    activeControl_ = control;
    if (control && GetActiveWindow() == hwnd_ && control->CanFocus()) SetFocus(control->hwnd());
}

void Form::AppendFocusOrder(HWND parent, std::vector<Control*>& out) const {
    std::vector<Control*> children;
    for (const auto& control : controls_) {
        if (GetParent(control->hwnd()) == parent) children.push_back(control.get());
    }
    std::stable_sort(children.begin(), children.end(), [](Control* a, Control* b) {
        auto key = [](Control* c) { return c->tabOrder() < 0 ? 1 << 30 : c->tabOrder(); };
        return key(a) < key(b);
    });
    for (Control* child : children) {
        if (child->IsContainer()) {
            AppendFocusOrder(child->hwnd(), out);
        } else {
            out.push_back(child);
        }
    }
}

std::vector<Control*> Form::FocusOrder() const {
    std::vector<Control*> order;
    AppendFocusOrder(hwnd_, order);
    return order;
}

void Form::FocusFirst() {
    for (Control* control : FocusOrder()) {
        if (control->CanFocus()) {
            SetFocus(control->hwnd());
            return;
        }
    }
    SetFocus(hwnd_);
}

void Form::MoveFocus(bool forward) {
    std::vector<Control*> order;
    for (Control* control : FocusOrder()) {
        if (control->CanFocus()) order.push_back(control);
    }
    if (order.empty()) return;
    Control* current = FromHwnd(GetFocus());
    auto it = std::find(order.begin(), order.end(), current);
    size_t index = 0;
    if (it != order.end()) {
        const size_t at = static_cast<size_t>(it - order.begin());
        index = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
    } else if (!forward) {
        index = order.size() - 1;
    }
    SetFocus(order[index]->hwnd());
}

void Form::OnActivate(bool active) {
    if (!active) {
        if (Control* focused = FromHwnd(GetFocus())) activeControl_ = focused;
        return;
    }
    if (activeControl_ && activeControl_->CanFocus()) {
        SetFocus(activeControl_->hwnd());
    } else {
        FocusFirst();
    }
}

bool Form::PreTranslateKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !IsWindowEnabled(hwnd_)) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    const bool ctrlOrAlt = (GetKeyState(VK_CONTROL) < 0) || (GetKeyState(VK_MENU) < 0);
    switch (msg.wParam) {
        case VK_TAB:
            if (ctrlOrAlt) return false;
            MoveFocus(GetKeyState(VK_SHIFT) >= 0);
            return true;
        case VK_ESCAPE:
            return true;  // no page has a cancel button
        default: {
            Control* control = FromHwnd(msg.hwnd);
            if (control && control->OnKey(msg.wParam)) return true;
            // Enter elsewhere than on a button does nothing (and does not beep).
            return msg.wParam == VK_RETURN;
        }
    }
}

void Form::AlignControls() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    for (const auto& control : controls_) {
        if (control->parent()) continue;
        const unsigned flags = control->layout().flags;
        if (flags & kAlignClient) {
            MoveWindow(control->hwnd(), 0, 0, client.right, client.bottom, TRUE);
        } else if (flags & kAlignLeft) {
            MoveWindow(control->hwnd(), 0, 0, control->layout().bounds.width, client.bottom, TRUE);
        }
    }
}

LRESULT Form::RouteFromChild(HWND, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
    handled = false;
    switch (msg) {
        case WM_COMMAND: {
            Control* control = FromHwnd(reinterpret_cast<HWND>(lp));
            if (!control || lp == 0) return 0;
            control->OnCommand(HIWORD(wp));
            handled = true;
            return 0;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lp);
            Control* control = FromHwnd(header->hwndFrom);
            if (!control) return 0;
            control->OnNotify(header);
            handled = true;
            return 0;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            auto* list = dynamic_cast<DirectoryList*>(FromHwnd(item->hwndItem));
            if (!list) return 0;
            list->Draw(*item);
            handled = true;
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: {
            Control* control = FromHwnd(reinterpret_cast<HWND>(lp));
            if (!control) return 0;
            HBRUSH brush = control->OnColour(reinterpret_cast<HDC>(wp));
            if (!brush) return 0;
            handled = true;
            return reinterpret_cast<LRESULT>(brush);
        }
        default:
            return 0;
    }
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wp), &client, brush_.get());
            return 1;
        }
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                OnActivate(false);
            } else if (!HIWORD(wp)) {
                OnActivate(true);
            }
            return 0;
        case WM_TIMER: {
            auto it = timers_.find(static_cast<UINT>(wp));
            if (it != timers_.end()) {
                std::function<void()> handler = it->second;  // may stop its own timer
                handler();
            }
            return 0;
        }
        case WM_SIZE:
            AlignControls();
            break;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: {
            bool handled = false;
            LRESULT r = RouteFromChild(hwnd_, msg, wp, lp, handled);
            if (handled) return r;
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* form = static_cast<Form*>(create->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->hwnd_ = hwnd;
    }
    Form* form = FormOf(hwnd);
    if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = 0;
    bool ran = false;
    Application::Instance().Guard([&] {
        result = form->HandleMessage(msg, wp, lp);
        ran = true;
    });
    return ran ? result : 0;
}

}  // namespace qv
