#include "tests/e2e/driver/driver.h"

#include <commctrl.h>

#include "toolkit/growing_text.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string_view>
#include <thread>

namespace e2e {
namespace {

struct Search {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid) search->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// The middle of a list item's row, scrolled into view first.
POINT ItemPoint(HWND list, int index) {
    const int height = std::max(1, static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)));
    RECT client{};
    GetClientRect(list, &client);
    const int rows = std::max(1, static_cast<int>(client.bottom) / height);
    int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    if (index < top || index >= top + rows) {
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    }
    return POINT{std::min<LONG>(24, client.right / 2), (index - top) * height + height / 2};
}

void PostMouse(HWND hwnd, UINT message, WPARAM keys, POINT at) {
    PostMessageW(hwnd, message, keys, MAKELPARAM(at.x, at.y));
}

// Items of a list or combo box, read with the box's own text messages. They
// are read as UTF-16, which crosses into another process intact, and
// turned into this program's text.
std::vector<std::string> ItemsOf(HWND box, UINT countMessage, UINT lengthMessage, UINT textMessage) {
    std::vector<std::string> items;
    if (!box) return items;
    const LRESULT count = SendMessageW(box, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(box, lengthMessage, static_cast<WPARAM>(i), 0);
        if (length < 0) {
            items.emplace_back();
            continue;
        }
        std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied =
            SendMessageW(box, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(copied < 0 ? 0 : std::min(static_cast<size_t>(copied), static_cast<size_t>(length)));
        items.push_back(qv::FromWideOrFail(wide));
    }
    return items;
}

}  // namespace

int ScreenDpi() {
    const qv::ScreenDc screen;
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

int Scaled(int value, int dpi) { return MulDiv(value, dpi, 96); }

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

std::string NameOf(HWND hwnd) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(hwnd, L"QvName")));
    if (!atom) return {};
    wchar_t name[256] = {};
    const UINT length = GlobalGetAtomNameW(atom, name, static_cast<int>(std::size(name)));
    return qv::FromWideOrFail(std::wstring_view(name, length));
}

std::string TextOf(HWND hwnd) {
    // WM_GETTEXT works across processes, unlike GetWindowText for controls.
    // The text may change between asking its length and reading it: read
    // into a buffer with room to spare, and again with more room when the
    // text filled it.
    size_t room = static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 64;
    for (;;) {
        std::wstring text(room, L'\0');
        const LRESULT copied = SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                            reinterpret_cast<LPARAM>(text.data()));
        if (copied < 0 || static_cast<size_t>(copied) + 1 < room) {
            text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
            return qv::FromWideOrFail(text);
        }
        room *= 2;
    }
}

std::string ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return qv::FromWideOrFail(std::wstring_view(name, static_cast<size_t>(std::max(length, 0))));
}

Program::Program(const std::string& path, const std::string& workingFolder, const std::string& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring program = qv::ToWide(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + qv::ToWide(arguments);
    const std::wstring folder = qv::ToWide(workingFolder);
    PROCESS_INFORMATION info{};
    // Wine's CreateProcess waits until the new process has started, and
    // fails with ERROR_INTERNAL_ERROR when it ended before that, which a
    // machine with every core busy has shown once: the program was never
    // running, so starting it again tries the same thing.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &startup, &info))
            break;
        const DWORD error = GetLastError();
        std::fprintf(stderr, "cannot start %s: error %lu\n", path.c_str(), error);
        if (error != ERROR_INTERNAL_ERROR || attempt == 3) return;
    }
    handles_ = qv::StartedProcess(info);
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
}

Program::~Program() {
    if (started() && WaitForSingleObject(Process(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(Process(), 99);
        WaitForSingleObject(Process(), 5000);
    }
}

bool Program::Exited(std::chrono::milliseconds limit) const {
    return started() && WaitForSingleObject(Process(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (started()) GetExitCodeProcess(Process(), &code);
    return code;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    Search search{pid, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Wizard::TopLevelWindows() const { return TopLevelWindowsOf(program_.ProcessId()); }

HWND Wizard::Form(const char* name) const {
    for (HWND hwnd : TopLevelWindows()) {
        if (NameOf(hwnd) == name) return hwnd;
    }
    return nullptr;
}

bool Wizard::Visible(const char* form) const {
    HWND hwnd = Form(form);
    return hwnd && IsWindowVisible(hwnd);
}

bool Wizard::WaitShown(const char* form, std::chrono::milliseconds limit) const {
    return WaitFor(
        [&] {
            HWND hwnd = Form(form);
            if (!hwnd || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || GetForegroundWindow() != hwnd) {
                return false;
            }
            // The system makes the page the foreground window before the
            // page has handled its activation, which gives it the focus.
            GUITHREADINFO gui{};
            gui.cbSize = sizeof gui;
            return GetGUIThreadInfo(program_.ThreadId(), &gui) && gui.hwndFocus &&
                   (gui.hwndFocus == hwnd || IsChild(hwnd, gui.hwndFocus));
        },
        limit);
}

HWND Wizard::Control(const char* form, const char* control) const {
    HWND parent = Form(form);
    if (!parent) return nullptr;
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (NameOf(child) == control) return child;
    }
    return nullptr;
}

std::string Wizard::Text(const char* form, const char* control) const {
    HWND hwnd = Control(form, control);
    return hwnd ? TextOf(hwnd) : std::string();
}

bool Wizard::Enabled(const char* form, const char* control) const {
    HWND hwnd = Control(form, control);
    return hwnd && IsWindowEnabled(hwnd);
}

bool Wizard::Checked(const char* form, const char* control) const {
    HWND hwnd = Control(form, control);
    return hwnd && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Wizard::Click(const char* form, const char* control) const {
    PostMessageW(Control(form, control), BM_CLICK, 0, 0);
}

void Wizard::SetText(const char* form, const char* control, const std::string& text) const {
    const std::wstring wide = qv::ToWide(text);
    SendMessageW(Control(form, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Wizard::PressKey(WPARAM key) const {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (!GetGUIThreadInfo(program_.ThreadId(), &gui) || !gui.hwndFocus) return;
    PostMessageW(gui.hwndFocus, WM_KEYDOWN, key, 1);
    PostMessageW(gui.hwndFocus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void Wizard::CloseBox(const char* form) const { PostMessageW(Form(form), WM_SYSCOMMAND, SC_CLOSE, 0); }

std::string Wizard::Focused() const {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (!GetGUIThreadInfo(program_.ThreadId(), &gui) || !gui.hwndFocus) return {};
    return NameOf(gui.hwndFocus);
}

bool Wizard::WaitFocus(const char* form, const char* control, std::chrono::milliseconds limit) const {
    return WaitFor(
        [&] {
            GUITHREADINFO gui{};
            gui.cbSize = sizeof gui;
            if (!GetGUIThreadInfo(program_.ThreadId(), &gui) || !gui.hwndFocus) return false;
            return NameOf(gui.hwndFocus) == control && GetAncestor(gui.hwndFocus, GA_ROOT) == Form(form);
        },
        limit);
}

std::vector<Box> MessageBoxesOf(DWORD pid) {
    std::vector<Box> found;
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (ClassOf(hwnd) != "#32770" || !IsWindowVisible(hwnd)) continue;
        Box box;
        box.hwnd = hwnd;
        box.caption = TextOf(hwnd);
        if (HWND text = GetDlgItem(hwnd, 0xFFFF)) box.text = TextOf(text);
        box.owner = GetWindow(hwnd, GW_OWNER);
        found.push_back(std::move(box));
    }
    return found;
}

Box Wizard::MessageBox() const {
    const std::vector<Box> boxes = MessageBoxesOf(program_.ProcessId());
    return boxes.empty() ? Box{} : boxes.front();
}

bool Wizard::WaitMessageBox(Box& box, std::chrono::milliseconds limit) const {
    return WaitFor(
        [&] {
            box = MessageBox();
            return box.hwnd != nullptr;
        },
        limit);
}

void Wizard::Answer(const Box& box, int button) const {
    PostMessageW(GetDlgItem(box.hwnd, button), BM_CLICK, 0, 0);
}

std::vector<std::string> Wizard::ListItems(const char* form, const char* control) const {
    return ItemsOf(Control(form, control), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int Wizard::ListSelection(const char* form, const char* control) const {
    const LRESULT index = SendMessageW(Control(form, control), LB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : static_cast<int>(index);
}

void Wizard::ClickListItem(const char* form, const char* control, int index) const {
    HWND list = Control(form, control);
    const POINT at = ItemPoint(list, index);
    PostMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMouse(list, WM_LBUTTONUP, 0, at);
}

void Wizard::DoubleClickListItem(const char* form, const char* control, int index) const {
    HWND list = Control(form, control);
    const POINT at = ItemPoint(list, index);
    PostMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMouse(list, WM_LBUTTONUP, 0, at);
    PostMouse(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMouse(list, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> Wizard::ComboItems(const char* form, const char* control) const {
    return ItemsOf(Control(form, control), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int Wizard::ComboSelection(const char* form, const char* control) const {
    const LRESULT index = SendMessageW(Control(form, control), CB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : static_cast<int>(index);
}

void Wizard::ChooseComboItem(const char* form, const char* control, int index) const {
    HWND combo = Control(form, control);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE);
    PostMessageW(GetParent(combo), WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
}

int Wizard::ProgressPosition(const char* form, const char* control) const {
    return static_cast<int>(SendMessageW(Control(form, control), PBM_GETPOS, 0, 0));
}

int Wizard::ProgressMaximum(const char* form, const char* control) const {
    return static_cast<int>(SendMessageW(Control(form, control), PBM_GETRANGE, FALSE, 0));
}

RECT Wizard::WindowRect(const char* form) const {
    RECT r{};
    GetWindowRect(Form(form), &r);
    return r;
}

RECT Wizard::ClientRect(const char* form) const {
    RECT r{};
    GetClientRect(Form(form), &r);
    return r;
}

std::vector<PlacedControl> Wizard::Controls(const char* form) const {
    std::vector<PlacedControl> controls;
    HWND parent = Form(form);
    if (!parent) return controls;
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        PlacedControl control;
        control.name = NameOf(child);
        if (control.name.empty()) continue;  // a part of a control, such as a combo box's edit
        HWND owner = GetParent(child);
        control.parent = NameOf(owner);
        control.className = ClassOf(child);
        control.text = TextOf(child);
        GetWindowRect(child, &control.place);
        MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&control.place), 2);
        GetClientRect(owner, &control.parentClient);
        controls.push_back(control);
    }
    return controls;
}

std::vector<HWND> Wizard::TaskbarWindows() const {
    std::vector<HWND> shown;
    for (HWND hwnd : TopLevelWindows()) {
        if (!IsWindowVisible(hwnd)) continue;
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        const bool unowned = GetWindow(hwnd, GW_OWNER) == nullptr && !(style & WS_EX_TOOLWINDOW);
        if (unowned || (style & WS_EX_APPWINDOW)) shown.push_back(hwnd);
    }
    return shown;
}

bool Wizard::SaveScreen(const std::string& name) {
    const std::wstring folder = qv::GrowingWideText(
        [](wchar_t* buffer, unsigned long size) { return GetEnvironmentVariableW(L"QV_SCREENS", buffer, size); });
    if (folder.empty()) return false;
    std::this_thread::sleep_for(300ms);  // let the last paint land
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const qv::ScreenDc screen;
    qv::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    qv::UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    {
        qv::SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + size;
    std::ofstream out((folder + L"\\" + qv::ToWide(name) + L".bmp").c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    return static_cast<bool>(out);
}

}  // namespace e2e
