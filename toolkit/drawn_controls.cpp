// The controls the toolkit draws itself, in window classes of its own: the
// bevelled panel, the transparent label and the picture.
#include "toolkit/controls.h"

#include <vector>

#include "toolkit/form.h"
#include "toolkit/resources.h"
#include "toolkit/scaling.h"
#include "toolkit/stretch.h"
#include "toolkit/window_classes.h"

namespace qv {

LRESULT Control::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// --- Panel ---------------------------------------------------------------

const wchar_t* Panel::WindowClass() const { return kPanelClass; }

void Panel::AfterCreate() { brush_.reset(CreateSolidBrush(BackgroundColour())); }

COLORREF Panel::BackgroundColour() const {
    if (layout_.flags & kWhite) return kColourWhite;
    return GetSysColor(COLOR_BTNFACE);
}

HBRUSH Panel::Brush() const { return brush_.get(); }

// A bevelled container: raised inner and lowered outer bevel, which shows as
// an etched frame.
void Panel::Paint() {
    PaintScope paint(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(paint.dc(), &client, Brush());
    DrawEdge(paint.dc(), &client, EDGE_ETCHED, BF_RECT);
}

// Notifications of its children go on to the form.
LRESULT Panel::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: {
            bool handled = false;
            const LRESULT r = form_.RouteFromChild(hwnd, msg, wp, lp, handled);
            if (handled) return r;
            break;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// --- Label -----------------------------------------------------------------

const wchar_t* Label::WindowClass() const { return kLabelClass; }

void Label::DrawBeneath(HDC dc, const RECT& client) const {
    UniqueBrush background(CreateSolidBrush(BackgroundColour()));
    FillRect(dc, &client, background.get());
    RECT mine{};
    GetWindowRect(hwnd_, &mine);
    for (HWND below = GetWindow(hwnd_, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT)) {
        auto* picture = dynamic_cast<Picture*>(form_.FromHwnd(below));
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
void Label::Paint() {
    PaintScope paint(hwnd_);
    RECT client{};
    GetClientRect(hwnd_, &client);
    UniqueMemoryDc memory(CreateCompatibleDC(paint.dc()));
    UniqueBitmap canvas(CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
    SelectedObject selectedCanvas(memory.get(), canvas.get());
    DrawBeneath(memory.get(), client);

    SelectedObject selectedFont(memory.get(), font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(memory.get(), TRANSPARENT);
    const COLORREF colour = layout_.font.color;
    SetTextColor(memory.get(), colour == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : colour);
    const std::wstring text = WideText();
    RECT area = client;
    DrawTextW(memory.get(), text.c_str(), static_cast<int>(text.size()), &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

LRESULT Label::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wp);
            if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SETTEXT: {
            const LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
            InvalidateRect(hwnd, nullptr, TRUE);
            return r;
        }
        case WM_PAINT:
            Paint();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// --- Picture ---------------------------------------------------------------

const wchar_t* Picture::WindowClass() const { return kPictureClass; }

// The layout's picture is decoded when it is first wanted: a run that shows
// no window (/VERYSILENT) never decodes the background and the page
// pictures, nor loads the system's picture decoders.
void Picture::LoadOnce() const {
    if (loaded_) return;
    loaded_ = true;
    if (!layout_.picture) return;
    ScaledPicture picture = LoadPicture(layout_.picture, form_.Dpi());
    bitmap_ = std::move(picture.bitmap);
    bitmapPercent_ = picture.percent;
}

HBITMAP Picture::Bitmap() const {
    LoadOnce();
    return bitmap_.get();
}

void Picture::SetBitmap(UniqueBitmap bitmap) {
    loaded_ = true;
    bitmap_ = std::move(bitmap);
    bitmapPercent_ = 100;
    stretched_.reset();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

namespace {

// Rows of a 24-bit DIB, top-down, as StretchBilinear wants them.
BITMAPINFO TopDown24(int width, int height) {
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    return header;
}

std::ptrdiff_t Stride24(int width) { return (static_cast<std::ptrdiff_t>(width) * 3 + 3) & ~3; }

}  // namespace

HBITMAP Picture::Stretched(int width, int height) const {
    if (stretched_ && stretchedSize_.cx == width && stretchedSize_.cy == height) return stretched_.get();
    stretched_.reset();
    BITMAP info{};
    if (!GetObjectW(bitmap_.get(), sizeof info, &info)) return nullptr;
    BITMAPINFO sourceHeader = TopDown24(info.bmWidth, info.bmHeight);
    std::vector<unsigned char> source(static_cast<std::size_t>(Stride24(info.bmWidth) * info.bmHeight));
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc || GetDIBits(dc.get(), bitmap_.get(), 0, static_cast<UINT>(info.bmHeight), source.data(),
                         &sourceHeader, DIB_RGB_COLORS) != info.bmHeight) {
        return nullptr;
    }
    BITMAPINFO targetHeader = TopDown24(width, height);
    void* bits = nullptr;
    UniqueBitmap stretched(CreateDIBSection(nullptr, &targetHeader, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!stretched || !bits) return nullptr;
    StretchBilinear({source.data(), info.bmWidth, info.bmHeight, Stride24(info.bmWidth)},
                    {static_cast<unsigned char*>(bits), width, height, Stride24(width)});
    stretched_ = std::move(stretched);
    stretchedSize_ = {width, height};
    return stretched_.get();
}

void Picture::Draw(HDC dc) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const bool stretch = (layout_.flags & kStretch) != 0;
    HBITMAP shown = Bitmap();
    if (shown && stretch) {
        shown = client.right > 0 && client.bottom > 0 ? Stretched(client.right, client.bottom) : nullptr;
    }
    if (!shown || !stretch) {
        UniqueBrush background(CreateSolidBrush(BackgroundColour()));
        FillRect(dc, &client, background.get());
    }
    if (!shown) return;
    BITMAP info{};
    GetObjectW(shown, sizeof info, &info);
    UniqueMemoryDc source(CreateCompatibleDC(dc));
    SelectedObject selected(source.get(), shown);
    // Unstretched, a picture drawn for another scale than the form's is
    // drawn at its own size times the form's scale over its own.
    const int bitmapDpi = kDesignDpi * bitmapPercent_ / 100;
    const int width = stretch ? info.bmWidth : MulDiv(info.bmWidth, form_.Dpi(), bitmapDpi);
    const int height = stretch ? info.bmHeight : MulDiv(info.bmHeight, form_.Dpi(), bitmapDpi);
    if (width == info.bmWidth && height == info.bmHeight) {
        BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        return;
    }
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, width, height, source.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}

LRESULT Picture::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(hwnd);
            Draw(paint.dc());
            return 0;
        }
        case WM_PRINTCLIENT:
            Draw(reinterpret_cast<HDC>(wp));
            return 0;
        case WM_SIZE:
            InvalidateRect(hwnd, nullptr, FALSE);
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace qv
