#pragma once
// A top-level window built from a table of controls, shown modally (pages)
// or maximized (the background window). Handlers are virtual members named
// after their events; navigation happens only through the modal result.
#include <windows.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/layout.h"
#include "toolkit/small_map.h"

namespace qv {

class Form {
public:
    explicit Form(const FormLayout& layout);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Makes the window and its controls, then FindControls, then FormCreate. The layout
    // and the controls' table are in pixels at 96 DPI; both are scaled to
    // the system DPI here. Without an owner the form is owned by the
    // application's taskbar window.
    void Create(HWND owner, std::span<const ControlLayout> controls);
    // Runs FormDestroy and destroys the window.
    void Destroy();

    HWND hwnd() const { return window_.get(); }
    const char* name() const { return layout_.name; }

    // Shows the form modally: every other window of the program is disabled
    // until the form closes; returns the modal result it closed with.
    qv::ModalResult ShowModal();
    bool Modal() const { return modal_; }
    // Shows the form without a modal loop (the background window).
    void ShowMaximized();
    // A form shown modally while hidden runs its loop without a window on
    // screen (an installation nobody watches).
    void SetHiddenWhileModal(bool hidden) { hiddenWhileModal_ = hidden; }
    // Places the form at the centre of the screen's work area.
    void CentreOnScreen();
    bool Visible() const;

    qv::ModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(qv::ModalResult result) { modalResult_ = result; }

    // Window position in screen coordinates; may be set before showing.
    int Left() const;
    int Top() const;
    void SetLeft(int left);
    void SetTop(int top);

    // A modal form closes with result 2; the main form ends the program.
    void Close();

    // The control that has, or gets at the next activation, the focus.
    void SetActiveControl(Control* control);
    Control* ActiveControl() const { return activeControl_; }

    Control* Find(const char* name) const;
    template <typename T>
    T* Get(const char* name) const {
        return dynamic_cast<T*>(Find(name));
    }
    Control* FromHwnd(HWND hwnd) const;

    // A timer firing on the user-interface thread every interval.
    void StartTimer(UINT id, UINT intervalMs, std::function<void()> handler);
    void StopTimer(UINT id);

    // Colour of the client area.
    COLORREF Colour() const;
    HBRUSH Brush() const { return brush_.get(); }
    HFONT Font() const;
    // The layout as built, scaled to Dpi().
    const FormLayout& layout() const { return layout_; }
    // The DPI the form was built at; controls draw their own details at it.
    int Dpi() const { return dpi_; }

    // Controls in focus order: depth-first by tab order within each parent.
    std::vector<Control*> FocusOrder() const;

    // The form's window procedure (window_binder.h binds the window to the form).
    void Attach(HWND hwnd) { window_.reset(hwnd); }
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Routes a child's notification, colour request or key to its control.
    LRESULT RouteFromChild(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& handled);
    // Keyboard navigation for the form: Tab, Enter on buttons, arrows on
    // radio buttons; Esc does nothing. True when the key was consumed.
    bool PreTranslateKey(const MSG& msg);

protected:
    // Runs once the controls exist, before FormCreate: a form finds the
    // controls it keeps.
    virtual void FindControls() {}
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormCloseQuery(bool& /*canClose*/) {}
    virtual void FormDestroy() {}

private:
    void OnActivate(bool active);
    void FocusFirst();
    void MoveFocus(bool forward);
    void AlignControls();
    // Places the window at the centre of `area`, in screen coordinates.
    void CentreIn(const RECT& area);
    bool QueryClose();
    void AppendFocusOrder(HWND parent, std::vector<Control*>& out) const;

    FormLayout layout_;
    UniqueWindow window_;
    std::vector<std::unique_ptr<Control>> controls_;
    SmallMap<std::string, Control*> byName_;
    UniqueBrush brush_;
    qv::ModalResult modalResult_ = qv::ModalResult::None;
    bool modal_ = false;
    bool hiddenWhileModal_ = false;
    bool shownOnce_ = false;
    int dpi_ = 96;
    Control* activeControl_ = nullptr;
    SmallMap<UINT, std::function<void()>> timers_;
};

}  // namespace qv
