#pragma once
// Drives the real setup program from outside, as a person would: finds its
// windows and controls by name, reads texts, clicks, types and answers
// message boxes. Clicks are posted, so a box that opens cannot block us.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/win_handles.h"

namespace e2e {

using namespace std::chrono_literals;

// Waits until the condition holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s);

// The top-level windows of a process, visible or not.
std::vector<HWND> TopLevelWindowsOf(DWORD pid);

// The name a window of the program carries ("Form3", "Next"...), or "".
std::string NameOf(HWND hwnd);
std::string TextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);

// The display's DPI as this program sees it; a wizard started from here in
// the same prefix sees the same, unless DisplayScale (system_checks.h) says
// otherwise.
int ScreenDpi();
// A length of a layout table, written for 96 DPI, at `dpi`: MulDiv's
// rounding, which the toolkit's matches.
int Scaled(int value, int dpi);

// One control of a form as it stands, found by its name tag.
struct PlacedControl {
    std::string name;
    std::string parent;     // the name of its parent: the form or a panel
    std::string className;  // "Static", "Button", "QvPanel"...
    std::string text;
    RECT place{};           // in its parent's client area
    RECT parentClient{};
};

struct Box {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
};

// The visible message boxes of a process.
std::vector<Box> MessageBoxesOf(DWORD pid);

// A program the driver started; ended at the latest when this goes.
class Program {
public:
    // Starts the program with the arguments after its name; an empty
    // working folder means the driver's own.
    Program(const std::string& path, const std::string& workingFolder = "", const std::string& arguments = "");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return static_cast<bool>(handles_.process); }
    DWORD ProcessId() const { return processId_; }
    DWORD ThreadId() const { return threadId_; }
    HANDLE Process() const { return handles_.process.get(); }
    bool Exited(std::chrono::milliseconds limit = 10s) const;
    DWORD ExitCode() const;

private:
    qv::StartedProcess handles_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
};

class Wizard {
public:
    // Starts the program; the working folder is the driver's own.
    explicit Wizard(const std::string& program) : program_(program) {}
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    DWORD ProcessId() const { return program_.ProcessId(); }
    HANDLE Process() const { return program_.Process(); }
    bool Exited(std::chrono::milliseconds limit = 10s) const { return program_.Exited(limit); }
    DWORD ExitCode() const { return program_.ExitCode(); }

    // A top-level window of the program by name, visible or not.
    HWND Form(const char* name) const;
    bool Visible(const char* form) const;
    // Waits until the named form is the one page on screen, in front, with
    // the keyboard focus inside it.
    bool WaitShown(const char* form, std::chrono::milliseconds limit = 10s) const;
    // A control of a form by name.
    HWND Control(const char* form, const char* control) const;
    std::string Text(const char* form, const char* control) const;
    bool Enabled(const char* form, const char* control) const;
    bool Checked(const char* form, const char* control) const;

    void Click(const char* form, const char* control) const;
    void SetText(const char* form, const char* control, const std::string& text) const;
    // Posts a key to the focused control, through the program's message loop.
    void PressKey(WPARAM key) const;
    // The title-bar close box.
    void CloseBox(const char* form) const;

    // The name of the control that has the keyboard focus.
    std::string Focused() const;
    // Waits until the focus is on the named control of the named form: a
    // page that has just come on screen gets its focus a moment later.
    bool WaitFocus(const char* form, const char* control, std::chrono::milliseconds limit = 10s) const;

    // A message box of the program, when one is open.
    Box MessageBox() const;
    bool WaitMessageBox(Box& box, std::chrono::milliseconds limit = 10s) const;
    // Presses a button of an open message box (IDYES, IDNO, IDOK...).
    void Answer(const Box& box, int button) const;

    // List boxes: the items, the selected index (-1 for none), and the
    // mouse on an item, which selects it and gives the list the focus.
    std::vector<std::string> ListItems(const char* form, const char* control) const;
    int ListSelection(const char* form, const char* control) const;
    void ClickListItem(const char* form, const char* control, int index) const;
    void DoubleClickListItem(const char* form, const char* control, int index) const;
    // Combo boxes: the items, the selected index, and a choice made as the
    // user's own (the selection, then CBN_SELCHANGE to the parent).
    std::vector<std::string> ComboItems(const char* form, const char* control) const;
    int ComboSelection(const char* form, const char* control) const;
    void ChooseComboItem(const char* form, const char* control, int index) const;
    // Progress bars.
    int ProgressPosition(const char* form, const char* control) const;
    int ProgressMaximum(const char* form, const char* control) const;

    RECT WindowRect(const char* form) const;
    RECT ClientRect(const char* form) const;
    // Every named control of a form, shown or not.
    std::vector<PlacedControl> Controls(const char* form) const;

    // The program's top-level windows that have a taskbar button: visible,
    // and unowned (and not a tool window) or marked as an application window.
    std::vector<HWND> TaskbarWindows() const;

    // Saves the screen as a BMP file; false when there is no folder for it.
    static bool SaveScreen(const std::string& name);

private:
    std::vector<HWND> TopLevelWindows() const;
    Program program_;
};

}  // namespace e2e
