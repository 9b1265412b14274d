#include "toolkit/form.h"

#include <algorithm>

#include "toolkit/application.h"
#include "toolkit/failure.h"
#include "toolkit/folder_controls.h"
#include "toolkit/scaling.h"
#include "toolkit/window_binder.h"
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

// The tables are written at 96 DPI; this is where they meet the display's
// scale. Edges are scaled, not sizes, so neighbours still meet exactly.
Bounds Scaled(const Bounds& bounds, int dpi) {
    const PixelSpan x = ScaleSpan({bounds.left, bounds.width}, dpi);
    const PixelSpan y = ScaleSpan({bounds.top, bounds.height}, dpi);
    return {x.start, y.start, x.length, y.length};
}

FontStyle Scaled(FontStyle font, int dpi) {
    font.height = ScaleFontHeight(font.height, dpi);
    return font;
}

ControlLayout Scaled(ControlLayout layout, int dpi) {
    layout.bounds = Scaled(layout.bounds, dpi);
    layout.font = Scaled(layout.font, dpi);
    layout.itemHeight = ScaleValue(layout.itemHeight, dpi);
    return layout;
}

FormLayout Scaled(FormLayout layout, int dpi) {
    layout.bounds = Scaled(layout.bounds, dpi);
    layout.font = Scaled(layout.font, dpi);
    return layout;
}

}  // namespace

Form::Form(const FormLayout& layout) : layout_(layout) {}

Form::~Form() { Destroy(); }

COLORREF Form::Colour() const {
    return layout_.colour == kColourButtonFace ? GetSysColor(COLOR_BTNFACE) : layout_.colour;
}

HFONT Form::Font() const { return Application::Instance().Font(layout_.font); }

void Form::Create(HWND owner, std::span<const ControlLayout> controls) {
    Application& app = Application::Instance();
    dpi_ = app.Dpi();
    layout_ = Scaled(layout_, dpi_);
    // A form of its own is owned by the taskbar window, which alone shows a button.
    if (!owner) owner = app.TaskbarWindow();
    brush_.reset(CreateSolidBrush(Colour()));
    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    if (layout_.borderless) {
        style |= WS_POPUP;
    } else {
        style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        if (layout_.maximizeBox) style |= WS_MAXIMIZEBOX;
    }
    RECT frame{0, 0, layout_.bounds.width, layout_.bounds.height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    // The window is bound to this form, and owned by it, from WM_NCCREATE on.
    if (!CreateWindowExA(exStyle, kFormClass, layout_.caption, style, layout_.bounds.left, layout_.bounds.top,
                         frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                         app.InstanceHandle(), this)) {
        window_.release();  // the system has destroyed what it made
        throw Failure("window cannot be created");
    }
    TagWindowName(hwnd(), layout_.name);
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(app.Icon(false)));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(app.Icon(true)));

    for (const ControlLayout& layout : controls) {
        Control* parent = layout.parent ? Find(layout.parent) : nullptr;
        std::unique_ptr<Control> control = MakeControl(*this, Scaled(layout, dpi_), parent);
        control->Create();
        byName_[layout.name] = control.get();
        controls_.push_back(std::move(control));
    }
    AlignControls();
    FindControls();
    // A failing creation handler is reported; the form is still usable.
    app.Guard([this] { FormCreate(); });
}

void Form::Destroy() {
    if (!window_) return;
    FormDestroy();
    for (const auto& control : controls_) UntagWindowName(control->hwnd());
    UntagWindowName(hwnd());
    for (const auto& timer : timers_) KillTimer(hwnd(), timer.first);
    timers_.clear();
    // The window's last messages go to the default procedure: the form is
    // being torn down.
    UnbindWindow(hwnd());
    window_.reset();
}

Control* Form::Find(const char* name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

Control* Form::FromHwnd(HWND window) const {
    // A control may be made of inner windows (the edit of a combo box).
    for (HWND h = window; h && h != hwnd(); h = GetParent(h)) {
        for (const auto& control : controls_) {
            if (control->hwnd() == h) return control.get();
        }
    }
    return nullptr;
}

bool Form::Visible() const { return hwnd() && IsWindowVisible(hwnd()); }

int Form::Left() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return r.left;
}

int Form::Top() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return r.top;
}

void Form::SetLeft(int left) {
    SetWindowPos(hwnd(), nullptr, left, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetTop(int top) {
    SetWindowPos(hwnd(), nullptr, Left(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::StartTimer(UINT id, UINT intervalMs, std::function<void()> handler) {
    timers_[id] = std::move(handler);
    SetTimer(hwnd(), id, intervalMs, nullptr);
}

void Form::StopTimer(UINT id) {
    KillTimer(hwnd(), id);
    timers_.erase(id);
}

void Form::CentreOnScreen() {
    RECT work{}, mine{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd(), &mine);
    const int width = mine.right - mine.left;
    const int height = mine.bottom - mine.top;
    SetWindowPos(hwnd(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ShowMaximized() {
    ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
    UpdateWindow(hwnd());
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

ModalResult Form::ShowModal() {
    Application& app = Application::Instance();
    if (!shownOnce_ && layout_.centreOnMainForm && app.MainForm() && app.MainForm() != this) {
        RECT main{}, mine{};
        GetWindowRect(app.MainForm()->hwnd(), &main);
        GetWindowRect(hwnd(), &mine);
        const int width = mine.right - mine.left;
        const int height = mine.bottom - mine.top;
        SetWindowPos(hwnd(), nullptr, main.left + (main.right - main.left - width) / 2,
                     main.top + (main.bottom - main.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    shownOnce_ = true;
    modalResult_ = qv::ModalResult::None;
    FormShow();

    // A form on screen makes the program's taskbar button show.
    if (!hiddenWhileModal_) app.ShowTaskbarWindow();
    DisabledWindows disabled{hwnd(), {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND h : disabled.windows) EnableWindow(h, FALSE);

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
    for (HWND h : disabled.windows) EnableWindow(h, TRUE);
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

void Form::SetActiveControl(Control* control) {
    activeControl_ = control;
    if (control && GetActiveWindow() == hwnd() && control->CanFocus()) SetFocus(control->hwnd());
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
    AppendFocusOrder(hwnd(), order);
    return order;
}

void Form::FocusFirst() {
    for (Control* control : FocusOrder()) {
        if (control->CanFocus()) {
            SetFocus(control->hwnd());
            return;
        }
    }
    SetFocus(hwnd());
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
    if (msg.message != WM_KEYDOWN || !IsWindowEnabled(hwnd())) return false;
    if (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd)) return false;
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
    GetClientRect(hwnd(), &client);
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

LRESULT Form::HandleMessage(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(hwnd(), &client);
            FillRect(reinterpret_cast<HDC>(wp), &client, brush_.get());
            return 1;
        }
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            return Application::Instance().ShutdownBlocked() ? FALSE : TRUE;
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
            LRESULT r = RouteFromChild(hwnd(), msg, wp, lp, handled);
            if (handled) return r;
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd(), msg, wp, lp);
}

}  // namespace qv
