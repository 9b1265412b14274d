#include "toolkit/window_classes.h"

#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

Control* ControlOf(HWND hwnd) {
    return reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT Guarded(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT (*body)(HWND, UINT, WPARAM, LPARAM)) {
    LRESULT result = 0;
    bool ran = false;
    Application::Instance().Guard([&] {
        result = body(hwnd, msg, wp, lp);
        ran = true;
    });
    return ran ? result : DefWindowProcA(hwnd, msg, wp, lp);
}

// A bevelled container: raised inner and lowered outer bevel, which shows as
// an etched frame. Notifications of its children go on to the form.
LRESULT PanelBody(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* self = ControlOf(hwnd);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(hwnd);
            RECT client{};
            GetClientRect(hwnd, &client);
            if (auto* panel = dynamic_cast<Panel*>(self)) FillRect(paint.dc(), &client, panel->Brush());
            DrawEdge(paint.dc(), &client, EDGE_ETCHED, BF_RECT);
            return 0;
        }
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (self) {
                bool handled = false;
                LRESULT r = self->form().RouteFromChild(hwnd, msg, wp, lp, handled);
                if (handled) return r;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Draws whatever lies beneath a window inside its parent: the parent's
// background and every picture below it in the stacking order.
void DrawBeneath(HWND hwnd, HDC dc, const RECT& client) {
    Control* self = ControlOf(hwnd);
    UniqueBrush background(CreateSolidBrush(self ? self->BackgroundColour() : GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &client, background.get());
    RECT mine{};
    GetWindowRect(hwnd, &mine);
    for (HWND below = GetWindow(hwnd, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT)) {
        auto* picture = dynamic_cast<Picture*>(ControlOf(below));
        RECT theirs{}, overlap{};
        if (!picture || !IsWindowVisible(below)) continue;
        GetWindowRect(below, &theirs);
        if (!IntersectRect(&overlap, &mine, &theirs)) continue;
        POINT old{};
        SetViewportOrgEx(dc, theirs.left - mine.left, theirs.top - mine.top, &old);
        picture->Draw(dc);
        SetViewportOrgEx(dc, old.x, old.y, nullptr);
    }
}

// Transparent text: the picture beneath shows around the letters.
LRESULT LabelBody(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            SetPropA(hwnd, "QvFont", reinterpret_cast<HANDLE>(wp));
            if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_NCDESTROY:
            RemovePropA(hwnd, "QvFont");
            break;
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
            InvalidateRect(hwnd, nullptr, TRUE);
            return r;
        }
        case WM_PAINT: {
            PaintScope paint(hwnd);
            RECT client{};
            GetClientRect(hwnd, &client);
            UniqueMemoryDc memory(CreateCompatibleDC(paint.dc()));
            UniqueBitmap canvas(CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
            SelectedObject selectedCanvas(memory.get(), canvas.get());
            DrawBeneath(hwnd, memory.get(), client);

            Control* self = ControlOf(hwnd);
            auto font = static_cast<HFONT>(GetPropA(hwnd, "QvFont"));
            SelectedObject selectedFont(memory.get(), font ? static_cast<HGDIOBJ>(font)
                                                            : GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(memory.get(), TRANSPARENT);
            const COLORREF colour = self ? self->layout().font.color : CLR_INVALID;
            SetTextColor(memory.get(), colour == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : colour);
            const std::string text = self ? self->Text() : std::string();
            RECT area = client;
            DrawTextA(memory.get(), text.c_str(), static_cast<int>(text.size()), &area,
                      DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
            BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT PictureBody(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* picture = dynamic_cast<Picture*>(ControlOf(hwnd));
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(hwnd);
            if (picture) picture->Draw(paint.dc());
            return 0;
        }
        case WM_PRINTCLIENT:
            if (picture) picture->Draw(reinterpret_cast<HDC>(wp));
            return 0;
        case WM_SIZE:
            InvalidateRect(hwnd, nullptr, FALSE);
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK PanelProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, PanelBody); }
LRESULT CALLBACK LabelProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, LabelBody); }
LRESULT CALLBACK PictureProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, PictureBody); }

void Register(HINSTANCE instance, const char* name, WNDPROC proc, UINT style) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

}  // namespace

void RegisterWindowClasses(HINSTANCE instance, WNDPROC formProc, WNDPROC dispatcherProc) {
    Register(instance, kFormClass, formProc, CS_DBLCLKS);
    Register(instance, kPanelClass, PanelProc, CS_HREDRAW | CS_VREDRAW);
    Register(instance, kLabelClass, LabelProc, CS_HREDRAW | CS_VREDRAW);
    Register(instance, kPictureClass, PictureProc, CS_HREDRAW | CS_VREDRAW);
    Register(instance, kDispatcherClass, dispatcherProc, 0);
}

void TagWindowName(HWND hwnd, const char* name) {
    if (!name || !*name) return;
    const ATOM atom = GlobalAddAtomA(name);
    if (atom) SetPropA(hwnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void UntagWindowName(HWND hwnd) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(hwnd, kNameProperty)));
    if (atom) GlobalDeleteAtom(atom);
}

}  // namespace qv
