#include "payload/app/main_window.h"

#include <string>

#include "payload/app/data_files.h"
#include "toolkit/wide.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

// Texts are UTF-8 (this program is compiled so), shown through the wide calls.
const wchar_t kClassName[] = L"QvQuorVelWindow";
const char kTitle[] = "Кворвель 2.0";
constexpr int kIconId = 1;

// Geometry of the client area, in pixels at 96 DPI; the window is laid out
// at the system DPI (Px).
constexpr int kMargin = 12;
constexpr int kClientWidth = 420;
constexpr int kRowHeight = 18;
constexpr int kNameWidth = 220;
constexpr int kSizeLeft = 266;
constexpr int kSizeWidth = 130;
constexpr int kFirstRowTop = 106;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

// A position or length at the system DPI.
int Px(int value) {
    static const int dpi = [] {
        const ScreenDc screen;
        return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    }();
    return MulDiv(value, dpi, 96);
}

int RowsBottom() { return kFirstRowTop + static_cast<int>(kDataFileCount) * kRowHeight; }
int ClientHeight() { return RowsBottom() + 70; }

// The fixed part of the window; the rows of data files follow it.
struct ControlLayout {
    const wchar_t* cls;
    const char* text;
    DWORD style;
    int id;
    int x, y, w, h;
};

const ControlLayout kLayout[] = {
    {L"STATIC", "Рабочая папка:", SS_LEFT, -1, kMargin, 14, 396, 16},
    // A long folder is shortened on screen only ("C:\...\name"); the
    // control's text stays whole.
    {L"STATIC", "", SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX | SS_SUNKEN | SS_CENTERIMAGE, kIdFolder,
     kMargin, 32, 396, 21},
    {L"STATIC", "Файлы данных в рабочей папке:", SS_LEFT, -1, kMargin, 66, 396, 16},
    {L"STATIC", "Файл", SS_LEFT, -1, kMargin + 12, 86, kNameWidth, 16},
    {L"STATIC", "Размер, байт", SS_RIGHT, -1, kSizeLeft, 86, kSizeWidth, 16},
    {L"STATIC", "", SS_ETCHEDHORZ, -1, kMargin, 102, 396, 2},
};

std::string SummaryText(const std::vector<DataFile>& files) {
    size_t found = 0;
    for (const DataFile& f : files) found += f.size ? 1 : 0;
    return "Найдено файлов данных: " + std::to_string(found) + " из " + std::to_string(files.size()) + ".";
}

}  // namespace

bool MainWindow::Register(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

HWND MainWindow::Create(HINSTANCE instance, int show) {
    instance_ = instance;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {0, 0, Px(kClientWidth), Px(ClientHeight())};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND hwnd = CreateWindowExW(0, kClassName, Wide(kTitle).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                instance, this);
    if (hwnd) {
        ShowWindow(hwnd, show);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->Handle(message, wparam, lparam) : DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wparam));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wparam, lparam);
    }
}

HWND MainWindow::AddControl(const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y,
                            int w, int h) {
    const int left = Px(x);
    const int top = Px(y);
    HWND control = CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, left, top, Px(x + w) - left,
                                   Px(y + h) - top, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

void MainWindow::OnCreate() {
    for (const ControlLayout& c : kLayout) AddControl(c.cls, Wide(c.text), c.style, c.id, c.x, c.y, c.w, c.h);

    // The folder as the system names it, whatever it holds.
    const std::wstring folder = WorkingFolder();
    SetDlgItemTextW(hwnd_, kIdFolder, folder.c_str());

    const std::vector<DataFile> files = SurveyDataFiles(folder);
    for (size_t i = 0; i < files.size(); ++i) {
        const int top = kFirstRowTop + static_cast<int>(i) * kRowHeight;
        const int index = static_cast<int>(i);
        const std::string size = files[i].size ? GroupedNumber(*files[i].size) : "не найден";
        AddControl(L"STATIC", Wide(files[i].name), SS_LEFT | SS_NOPREFIX, kIdFileName + index,
                   kMargin + 12, top + 2, kNameWidth, 16);
        AddControl(L"STATIC", Wide(size), SS_RIGHT | SS_NOPREFIX, kIdFileSize + index, kSizeLeft, top + 2,
                   kSizeWidth, 16);
    }

    const int bottom = RowsBottom();
    AddControl(L"STATIC", std::wstring(), SS_ETCHEDHORZ, -1, kMargin, bottom + 4, 396, 2);
    AddControl(L"STATIC", Wide(SummaryText(files)), SS_LEFT, kIdSummary, kMargin, bottom + 14, 300, 16);
    AddControl(L"BUTTON", Wide("Закрыть"), BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL,
               kClientWidth - kMargin - kButtonWidth, ClientHeight() - kMargin - kButtonHeight,
               kButtonWidth, kButtonHeight);
}

void MainWindow::OnCommand(int id) {
    if (id == IDCANCEL || id == IDOK) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

}  // namespace qv
