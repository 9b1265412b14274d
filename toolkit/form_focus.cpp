// The focus within a form: its order, where it goes at activation, and the
// keyboard navigation.
#include <algorithm>

#include "toolkit/form.h"

namespace qv {

void Form::SetActiveControl(Control* control) {
    activeControl_ = control;
    if (control && GetActiveWindow() == hwnd() && control->CanFocus()) SetFocus(control->hwnd());
}

void Form::AppendFocusOrder(HWND parent, std::vector<Control*>& out) const {
    // By tab order, controls without one last; equal keys keep the order
    // of the table (each goes after those already in with its key).
    const auto before = [](const Control* a, const Control* b) {
        const auto key = [](const Control* c) { return c->tabOrder() < 0 ? 1 << 30 : c->tabOrder(); };
        return key(a) < key(b);
    };
    std::vector<Control*> children;
    for (const auto& control : controls_) {
        if (GetParent(control->hwnd()) != parent) continue;
        children.insert(std::upper_bound(children.begin(), children.end(), control.get(), before), control.get());
    }
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

}  // namespace qv
