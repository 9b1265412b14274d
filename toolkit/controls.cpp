#include "toolkit/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/application.h"
#include "toolkit/failure.h"
#include "toolkit/form.h"
#include "toolkit/growing_text.h"
#include "toolkit/program_text.h"
#include "toolkit/resources.h"
#include "toolkit/window_classes.h"

namespace qv {
namespace {

// The control's font: its own face if it names one, else the form's; the
// bold flag applies either way.
FontStyle EffectiveFont(const Form& form, const ControlLayout& layout) {
    FontStyle font = layout.font.face ? layout.font : form.layout().font;
    if (layout.flags & kBold) font.bold = true;
    return font;
}

}  // namespace

Control::Control(Form& form, const ControlLayout& layout, Control* parent)
    : form_(form), layout_(layout), parent_(parent) {}

HWND Control::ParentWindow() const { return parent_ ? parent_->hwnd() : form_.hwnd(); }

void Control::Create() {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | Style();
    if (!(layout_.flags & kHidden)) style |= WS_VISIBLE;
    if (layout_.flags & kDisabled) style |= WS_DISABLED;
    hwnd_ = CreateWindowExW(ExStyle(), WindowClass(), ToWide(layout_.text ? layout_.text : "").c_str(), style,
                            layout_.bounds.left, layout_.bounds.top, layout_.bounds.width, layout_.bounds.height,
                            ParentWindow(), nullptr, Application::Instance().InstanceHandle(), this);
    // A page without its controls would carry on with empty choices.
    if (!hwnd_) throw Failure(std::string("Не удалось создать элемент окна «") + layout_.name + "».");
    // Later controls lie over earlier ones, as they were laid out; pictures
    // lie under every other control of their parent.
    SetWindowPos(hwnd_, layout_.kind == ControlKind::Picture ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TagWindowName(hwnd_, layout_.name);
    SendMessageW(hwnd_, WM_SETFONT,
                 reinterpret_cast<WPARAM>(Application::Instance().Font(EffectiveFont(form_, layout_))), FALSE);
    AfterCreate();
}

bool Control::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }
void Control::SetEnabled(bool enabled) {
    if (!hwnd_) return;
    if (!enabled && GetFocus() == hwnd_) {
        // Do not leave the focus on a disabled control.
        SetFocus(form_.hwnd());
    }
    EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}
bool Control::Visible() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE); }

std::wstring Control::WideText() const {
    if (!hwnd_) return {};
    // The length is where the buffer starts; a text that fills it may have
    // been cut, and is asked for again in a larger one.
    const auto fill = [this](wchar_t* buffer, DWORD size) -> DWORD {
        const int copied = GetWindowTextW(hwnd_, buffer, static_cast<int>(size));
        if (copied <= 0) return 0;
        return static_cast<DWORD>(copied) + 1 >= size ? size : static_cast<DWORD>(copied);
    };
    return GrowingWideText(fill, static_cast<std::size_t>(std::max(GetWindowTextLengthW(hwnd_), 0)) + 2);
}

std::string Control::Text() const { return FromWide(WideText()).value_or(std::string()); }

void Control::SetText(std::string_view text) {
    if (hwnd_) SetWindowTextW(hwnd_, ToWide(text).c_str());
}

bool Control::CanFocus() const {
    if (!hwnd_ || !IsTabStop()) return false;
    for (HWND h = hwnd_; h && h != form_.hwnd(); h = GetParent(h)) {
        if (!IsWindowEnabled(h) || !(GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE)) return false;
    }
    return true;
}

COLORREF Control::BackgroundColour() const {
    return parent_ ? parent_->BackgroundColour() : form_.Colour();
}

HBRUSH Control::OnColour(HDC dc) {
    // Texts, check boxes and radio buttons show their parent's background.
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, BackgroundColour());
    if (layout_.font.color != CLR_INVALID) SetTextColor(dc, layout_.font.color);
    if (auto* panel = dynamic_cast<Panel*>(parent_)) return panel->Brush();
    return form_.Brush();
}

// --- Button --------------------------------------------------------------

void Button::OnCommand(WORD code) {
    switch (code) {
        case BN_CLICKED:
            if (layout_.modalResult != ModalResult::None) form_.SetModalResult(layout_.modalResult);
            if (OnClick) OnClick();
            break;
        case BN_SETFOCUS:  // the focused button shows the default frame
            SendMessageW(hwnd_, BM_SETSTYLE, BS_DEFPUSHBUTTON | BS_NOTIFY, TRUE);
            break;
        case BN_KILLFOCUS:
            SendMessageW(hwnd_, BM_SETSTYLE, BS_PUSHBUTTON | BS_NOTIFY, TRUE);
            break;
        default:
            break;
    }
}

bool Button::OnKey(WPARAM key) {
    if (key != VK_RETURN) return false;
    Click();
    return true;
}

void Button::Click() {
    if (Enabled()) SendMessageW(hwnd_, BM_CLICK, 0, 0);
}

// --- StaticText -----------------------------------------------------------

DWORD StaticText::Style() const {
    return (layout_.flags & kCentred) ? SS_CENTER : SS_LEFT;
}

// --- Memo ------------------------------------------------------------------

DWORD Memo::Style() const {
    DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP;
    if (layout_.flags & kReadOnly) style |= ES_READONLY;
    return style;
}

HBRUSH Memo::OnColour(HDC dc) {
    // Read-only text stays on the window colour, not greyed.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

void Memo::AppendLine(std::string_view line) {
    std::wstring text = ToWide(line);
    text += L"\r\n";
    const LRESULT end = SendMessageW(hwnd_, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// --- Check box, radio button -------------------------------------------------

bool CheckableButton::Checked() const {
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckableButton::SetChecked(bool checked) {
    SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckableButton::AfterCreate() { SetChecked(layout_.flags & kChecked); }

void RadioButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) Choose();
}

void RadioButton::Choose() {
    if (Checked()) return;  // no change, no click
    for (Control* sibling : form_.FocusOrder()) {
        auto* radio = dynamic_cast<RadioButton*>(sibling);
        if (radio && radio != this && radio->parent() == parent_) radio->SetChecked(false);
    }
    SetChecked(true);
    if (OnClick) OnClick();
}

bool RadioButton::OnKey(WPARAM key) {
    int step = 0;
    if (key == VK_DOWN || key == VK_RIGHT) step = 1;
    if (key == VK_UP || key == VK_LEFT) step = -1;
    if (step == 0) return false;
    std::vector<RadioButton*> group;
    for (Control* c : form_.FocusOrder()) {
        auto* radio = dynamic_cast<RadioButton*>(c);
        if (radio && radio->parent() == parent_ && IsWindowEnabled(radio->hwnd())) group.push_back(radio);
    }
    auto self = std::find(group.begin(), group.end(), this);
    if (group.size() < 2 || self == group.end()) return true;
    const auto index = static_cast<long>(self - group.begin());
    const long count = static_cast<long>(group.size());
    RadioButton* next = group[static_cast<size_t>((index + step + count) % count)];
    SetFocus(next->hwnd());
    next->Choose();
    return true;
}

void CheckBox::OnCommand(WORD code) {
    if (code == BN_CLICKED && OnClick) OnClick();
}

// --- Edit, list box, progress bar ----------------------------------------------

void Edit::OnCommand(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange();
}

int ListControl::Add(std::string_view item) {
    return static_cast<int>(
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str())));
}

void ListControl::Clear() { SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0); }

int ListControl::Count() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)); }

int ListControl::ItemIndex() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0)); }

void ListControl::SetItemIndex(int index) { SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::wstring ListControl::WideItem(int index) const {
    // The list is this thread's: nothing changes the item between the two calls.
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : std::min(static_cast<size_t>(copied), static_cast<size_t>(length)));
    return text;
}

std::string ListControl::Item(int index) const { return FromWide(WideItem(index)).value_or(std::string()); }

DWORD ListBox::Style() const {
    return LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
}

void ListBox::OnCommand(WORD code) {
    if (code == LBN_SELCHANGE && OnClick) OnClick();
}

const wchar_t* ProgressBar::WindowClass() const { return PROGRESS_CLASSW; }

void ProgressBar::AfterCreate() { SetRange(0, 100); }

void ProgressBar::SetRange(int minimum, int maximum) {
    SendMessageW(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(minimum), maximum);
}

void ProgressBar::SetPosition(int position) {
    SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

int ProgressBar::Position() const { return static_cast<int>(SendMessageW(hwnd_, PBM_GETPOS, 0, 0)); }

int ProgressBar::Maximum() const {
    return static_cast<int>(SendMessageW(hwnd_, PBM_GETRANGE, FALSE, 0));
}

}  // namespace qv
