#include "tests/e2e/driver/driver.h"

#include "toolkit/win_handles.h"

#include <cstdio>
#include <fstream>
#include <cstdlib>
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

}  // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

std::string NameOf(HWND hwnd) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "QvName")));
    if (!atom) return {};
    std::string name(256, '\0');
    const UINT length = GlobalGetAtomNameA(atom, name.data(), static_cast<int>(name.size()));
    name.resize(length);
    return name;
}

std::string TextOf(HWND hwnd) {
    // WM_GETTEXT works across processes, unlike GetWindowText for controls.
    const LRESULT length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

Wizard::Wizard(const std::string& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info_)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", program.c_str(), GetLastError());
        info_ = {};
    }
}

Wizard::~Wizard() {
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool Wizard::Exited(std::chrono::milliseconds limit) const {
    return info_.hProcess &&
           WaitForSingleObject(info_.hProcess, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

DWORD Wizard::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::vector<HWND> Wizard::TopLevelWindows() const {
    Search search{info_.dwProcessId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

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
            return hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && GetForegroundWindow() == hwnd;
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
    return hwnd && SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Wizard::Click(const char* form, const char* control) const {
    PostMessageA(Control(form, control), BM_CLICK, 0, 0);
}

void Wizard::SetText(const char* form, const char* control, const std::string& text) const {
    SendMessageA(Control(form, control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Wizard::PressKey(WPARAM key) const {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (!GetGUIThreadInfo(info_.dwThreadId, &gui) || !gui.hwndFocus) return;
    PostMessageA(gui.hwndFocus, WM_KEYDOWN, key, 1);
    PostMessageA(gui.hwndFocus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void Wizard::CloseBox(const char* form) const { PostMessageA(Form(form), WM_SYSCOMMAND, SC_CLOSE, 0); }

std::string Wizard::Focused() const {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (!GetGUIThreadInfo(info_.dwThreadId, &gui) || !gui.hwndFocus) return {};
    return NameOf(gui.hwndFocus);
}

Box Wizard::MessageBox() const {
    for (HWND hwnd : TopLevelWindows()) {
        if (ClassOf(hwnd) != "#32770" || !IsWindowVisible(hwnd)) continue;
        Box box;
        box.hwnd = hwnd;
        box.caption = TextOf(hwnd);
        if (HWND text = GetDlgItem(hwnd, 0xFFFF)) box.text = TextOf(text);
        box.owner = GetWindow(hwnd, GW_OWNER);
        return box;
    }
    return {};
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
    PostMessageA(GetDlgItem(box.hwnd, button), BM_CLICK, 0, 0);
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

bool Wizard::SaveScreen(const std::string& name) {
    const char* folder = std::getenv("QV_SCREENS");
    if (!folder || !*folder) return false;
    std::this_thread::sleep_for(300ms);  // let the last paint land
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    struct ScreenDc {
        HDC dc = GetDC(nullptr);
        ~ScreenDc() { ReleaseDC(nullptr, dc); }
    } screen;
    qv::UniqueMemoryDc memory(CreateCompatibleDC(screen.dc));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    qv::UniqueBitmap bitmap(CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return false;
    {
        qv::SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.dc, 0, 0, SRCCOPY);
    }
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    return static_cast<bool>(out);
}

}  // namespace e2e
