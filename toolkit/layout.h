#pragma once
// A page is declared as a table of its controls: kind, name, parent,
// position, text, tab order and a few properties, close to how a designer
// would lay it out. Forms build their windows from these tables. Rows name
// what they set with designated initialisers:
//   {.kind = ControlKind::Edit, .name = "edDir", .bounds = {40, 96, 425, 21}, .tabOrder = 5}
#include <windows.h>

#include "toolkit/modal_result.h"

namespace qv {

enum class ControlKind {
    Panel,          // bevelled container
    Button,         // push button, may carry a modal result
    StaticText,     // fixed-size text that wraps within its bounds
    Label,          // transparent text over whatever lies beneath
    Picture,        // bitmap, drawn unscaled from the top-left or stretched
    Memo,           // read-only multi-line text with a vertical scroll bar
    RadioButton,
    CheckBox,
    Edit,
    ListBox,        // sorted, case ignored
    ProgressBar,
    DirectoryList,  // folder chain from the drive root, then subfolders
    DriveCombo,     // drive selector linked to a directory list
};

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Property flags of a control.
enum ControlFlag : unsigned {
    kNoFlags = 0,
    kBold = 1u << 0,
    kCentred = 1u << 1,
    kDisabled = 1u << 2,
    kChecked = 1u << 3,
    kWhite = 1u << 4,       // white background (panels)
    kHidden = 1u << 5,
    kStretch = 1u << 6,     // pictures: scale to the control's bounds
    kAlignClient = 1u << 7, // fill the parent's client area
    kAlignLeft = 1u << 8,   // full height at the parent's left edge
    kReadOnly = 1u << 9,
};

// The look every page shares.
inline constexpr int kPageClientWidth = 497;
inline constexpr int kPageClientHeight = 356;
inline constexpr COLORREF kColourWhite = RGB(255, 255, 255);
inline constexpr COLORREF kColourButtonFace = 0xFF000000;  // resolved to COLOR_BTNFACE

struct FontStyle {
    const char* face = nullptr;  // nullptr: the parent's font
    int height = 0;
    bool bold = false;
    // The texts are Russian: a font with their letters, whatever the
    // system's code page (on a Russian system the default charset is this).
    BYTE charset = RUSSIAN_CHARSET;
    COLORREF color = CLR_INVALID;  // CLR_INVALID: the system's text colour
};

struct ControlLayout {
    ControlKind kind{};
    const char* name = nullptr;
    const char* parent = nullptr;  // nullptr: the form itself
    Bounds bounds;
    const char* text = "";
    int tabOrder = -1;             // position among the parent's tab stops
    ModalResult modalResult = ModalResult::None;  // buttons: the result a click gives the form
    unsigned flags = kNoFlags;
    FontStyle font = {};
    const char* picture = nullptr; // pictures: resource name
    int itemHeight = 0;
};

struct FormLayout {
    const char* name = nullptr;
    const char* caption = "";
    Bounds bounds;                  // left/top of the window, client width/height
    COLORREF colour = kColourButtonFace;  // client colour
    bool maximizeBox = false;
    bool borderless = false;
    bool centreOnMainForm = false;  // placed at the centre of the main form at its first showing
    FontStyle font = {"MS Sans Serif", -11};
};


}  // namespace qv
