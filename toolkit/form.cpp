#include "toolkit/form.h"

#include "toolkit/application.h"
#include "toolkit/failure.h"
#include "toolkit/folder_controls.h"
#include "toolkit/program_text.h"
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
    if (!CreateWindowExW(exStyle, kFormClass, ToWide(layout_.caption ? layout_.caption : "").c_str(), style,
                         layout_.bounds.left, layout_.bounds.top,
                         frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                         app.InstanceHandle(), this)) {
        window_.release();  // the system has destroyed what it made
        throw Failure("window cannot be created");
    }
    TagWindowName(hwnd(), layout_.name);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(app.Icon(false)));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(app.Icon(true)));

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
    timers_.Clear();
    // The window's last messages go to the default procedure: the form is
    // being torn down.
    UnbindWindow(hwnd());
    window_.reset();
}

Control* Form::Find(const char* name) const {
    Control* const* control = byName_.Find(name);
    return control ? *control : nullptr;
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
    timers_.Erase(id);
}

void Form::CentreOnScreen() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CentreIn(work);
}

void Form::CentreIn(const RECT& area) {
    RECT mine{};
    GetWindowRect(hwnd(), &mine);
    const int width = mine.right - mine.left;
    const int height = mine.bottom - mine.top;
    SetWindowPos(hwnd(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ShowMaximized() {
    ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
    UpdateWindow(hwnd());
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
            if (const std::function<void()>* found = timers_.Find(static_cast<UINT>(wp))) {
                std::function<void()> handler = *found;  // may stop its own timer
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
    return DefWindowProcW(hwnd(), msg, wp, lp);
}

}  // namespace qv
