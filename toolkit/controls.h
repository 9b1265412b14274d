#pragma once
// The controls pages are built from. Each wraps one child window; the form
// owns them and routes notifications and colour requests to them.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/layout.h"
#include "toolkit/win_handles.h"

namespace qv {

class Form;

class Control {
public:
    Control(Form& form, const ControlLayout& layout, Control* parent);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Makes the window; called by the form in table order.
    void Create();

    HWND hwnd() const { return hwnd_; }
    const char* name() const { return layout_.name; }
    // The layout as built, scaled to the form's DPI.
    const ControlLayout& layout() const { return layout_; }
    Control* parent() const { return parent_; }
    Form& form() const { return form_; }
    int tabOrder() const { return layout_.tabOrder; }

    bool Enabled() const;
    void SetEnabled(bool enabled);
    bool Visible() const;
    // The window's text in the program's text; "" when it cannot be one
    // (typed by the user, it holds what no text of the program can), so that
    // whoever reads it refuses it as an empty one.
    std::string Text() const;
    void SetText(std::string_view text);

    // Can take the focus by Tab or at activation.
    virtual bool IsTabStop() const { return false; }
    bool CanFocus() const;
    virtual bool IsContainer() const { return false; }

    // Window messages routed here by the parent.
    virtual void OnCommand(WORD /*code*/) {}
    virtual void OnNotify(NMHDR* /*header*/) {}
    // Background for WM_CTLCOLOR*; nullptr lets the system choose.
    virtual HBRUSH OnColour(HDC dc);
    // The key went to this control; true when it was handled here.
    virtual bool OnKey(WPARAM /*key*/) { return false; }

    // The colour the control's background shows: its own or its parent's.
    virtual COLORREF BackgroundColour() const;

    // Messages of the toolkit's own window classes (panel, label, picture);
    // the system's classes never call it.
    virtual LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Attach(HWND hwnd) { hwnd_ = hwnd; }

    std::function<void()> OnClick;
    std::function<void()> OnChange;

protected:
    // The system's name of the window class (the wide calls make every window).
    virtual const wchar_t* WindowClass() const = 0;
    virtual DWORD Style() const { return 0; }
    virtual DWORD ExStyle() const { return 0; }
    virtual void AfterCreate() {}
    HWND ParentWindow() const;
    // The window's text as the system holds it.
    std::wstring WideText() const;

    Form& form_;
    ControlLayout layout_;
    Control* parent_;
    HWND hwnd_ = nullptr;
};

class Panel : public Control {
public:
    using Control::Control;
    bool IsContainer() const override { return true; }
    COLORREF BackgroundColour() const override;
    HBRUSH Brush() const;
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    const wchar_t* WindowClass() const override;
    DWORD Style() const override { return WS_CLIPSIBLINGS; }
    DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
    void AfterCreate() override;

private:
    void Paint();

    UniqueBrush brush_;
};

class Button : public Control {
public:
    using Control::Control;
    bool IsTabStop() const override { return true; }
    void OnCommand(WORD code) override;
    bool OnKey(WPARAM key) override;
    void Click();

protected:
    const wchar_t* WindowClass() const override { return L"BUTTON"; }
    DWORD Style() const override { return BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP; }
};

class StaticText : public Control {
public:
    using Control::Control;

protected:
    const wchar_t* WindowClass() const override { return L"STATIC"; }
    DWORD Style() const override;
};

class Label : public Control {
public:
    using Control::Control;
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    // Whatever lies beneath the label inside its parent: the parent's
    // background and every picture below it in the stacking order.
    void DrawBeneath(HDC dc, const RECT& client) const;
    HFONT font_ = nullptr;

protected:
    const wchar_t* WindowClass() const override;
};

class Picture : public Control {
public:
    using Control::Control;
    // Takes ownership of a bitmap (a DIB section) drawn for 100 %.
    void SetBitmap(UniqueBitmap bitmap);
    // The bitmap shown: the one set, else the layout's picture resource in
    // the variant nearest the form's scale (empty when there is none).
    HBITMAP Bitmap() const;
    // Stretched, the bitmap fills the control; otherwise it is drawn from
    // the top-left corner at its own size times the form's scale over the
    // scale it was drawn for: pixel for pixel when the two agree.
    void Draw(HDC dc) const;
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    const wchar_t* WindowClass() const override;

private:
    void LoadOnce() const;
    HBITMAP Stretched(int width, int height) const;

    // Filled on first use (LoadOnce), hence mutable.
    mutable bool loaded_ = false;
    mutable UniqueBitmap bitmap_;
    mutable int bitmapPercent_ = 100;
    // A stretched picture as last drawn, kept for its size: the picture and
    // every transparent label over it copy from it instead of stretching anew.
    mutable UniqueBitmap stretched_;
    mutable SIZE stretchedSize_{};
};

class Memo : public Control {
public:
    using Control::Control;
    bool IsTabStop() const override { return true; }
    HBRUSH OnColour(HDC dc) override;
    // Appends one line followed by CR LF.
    void AppendLine(std::string_view line);

protected:
    const wchar_t* WindowClass() const override { return L"EDIT"; }
    DWORD Style() const override;
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
};

// A system button that is checked or not; it starts checked when its row
// says so (kChecked).
class CheckableButton : public Control {
public:
    using Control::Control;
    bool Checked() const;
    void SetChecked(bool checked);

protected:
    const wchar_t* WindowClass() const override { return L"BUTTON"; }
    void AfterCreate() override;
};

class RadioButton : public CheckableButton {
public:
    using CheckableButton::CheckableButton;
    // Only the chosen button of a group is a tab stop.
    bool IsTabStop() const override { return Checked(); }
    void OnCommand(WORD code) override;
    bool OnKey(WPARAM key) override;
    // Chooses this button and clears its siblings, then raises OnClick.
    void Choose();

protected:
    DWORD Style() const override { return BS_RADIOBUTTON | BS_NOTIFY | WS_TABSTOP; }
};

class CheckBox : public CheckableButton {
public:
    using CheckableButton::CheckableButton;
    bool IsTabStop() const override { return true; }
    void OnCommand(WORD code) override;

protected:
    DWORD Style() const override { return BS_AUTOCHECKBOX | WS_TABSTOP; }
};

class Edit : public Control {
public:
    using Control::Control;
    bool IsTabStop() const override { return true; }
    void OnCommand(WORD code) override;
    HBRUSH OnColour(HDC) override { return nullptr; }  // the system's edit colours

protected:
    const wchar_t* WindowClass() const override { return L"EDIT"; }
    DWORD Style() const override { return ES_AUTOHSCROLL | WS_TABSTOP; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
};

// A list of text items in a system list box.
class ListControl : public Control {
public:
    using Control::Control;
    bool IsTabStop() const override { return true; }
    HBRUSH OnColour(HDC) override { return nullptr; }  // the system's list colours
    // Adds an item (in sorted place when the list sorts); its index.
    int Add(std::string_view item);
    void Clear();
    int Count() const;
    int ItemIndex() const;  // the selected item, -1 for none
    void SetItemIndex(int index);
    // The item's text in the program's text; "" when there is no such item.
    std::string Item(int index) const;

protected:
    // The item's text as the list holds it.
    std::wstring WideItem(int index) const;
    const wchar_t* WindowClass() const override { return L"LISTBOX"; }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
};

class ListBox : public ListControl {
public:
    using ListControl::ListControl;
    void OnCommand(WORD code) override;

protected:
    DWORD Style() const override;
};

class ProgressBar : public Control {
public:
    using Control::Control;
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);
    int Position() const;
    int Maximum() const;

protected:
    const wchar_t* WindowClass() const override;
    void AfterCreate() override;
};

}  // namespace qv

namespace qv {
// The directory list and the drive selector (folder_controls.cpp).
std::unique_ptr<Control> MakeFolderControl(Form& form, const ControlLayout& layout, Control* parent);
}  // namespace qv
