#pragma once
// The application's only window: its working folder and which of its data
// files are there, with their sizes.
#include <windows.h>

#include <string>

namespace qv {

// Control identifiers, also read by the tests.
enum ControlId : int {
    kIdFolder = 100,     // static text holding the working folder
    kIdSummary = 101,    // "Найдено файлов данных: N из M."
    kIdFileName = 200,   // + index of the data file
    kIdFileSize = 300,   // + index of the data file
};

class MainWindow {
public:
    static bool Register(HINSTANCE instance);
    // Creates and shows the window; null on failure.
    HWND Create(HINSTANCE instance, int show);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    void OnCreate();
    void OnCommand(int id);
    // Position and size in pixels at 96 DPI.
    HWND AddControl(const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y, int w, int h);

    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
};

}  // namespace qv
