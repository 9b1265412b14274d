#include "toolkit/folder_controls.h"

#include <algorithm>
#include <cctype>

#include "toolkit/failure.h"
#include "toolkit/form.h"
#include "toolkit/growing_text.h"
#include "toolkit/program_text.h"
#include "toolkit/scaling.h"
#include "toolkit/win_handles.h"

namespace qv {
namespace {

constexpr int kIndent = 10;

std::vector<std::string> SplitChain(const std::string& folder) {
    // "C:\A\B" -> "C:\", "A", "B"
    std::vector<std::string> chain;
    if (folder.size() < 3) return chain;
    chain.push_back(folder.substr(0, 3));
    size_t start = 3;
    while (start < folder.size()) {
        size_t end = folder.find('\\', start);
        if (end == std::string::npos) end = folder.size();
        if (end > start) chain.push_back(folder.substr(start, end - start));
        start = end + 1;
    }
    return chain;
}

// The visible subfolders, sorted as the user's language sorts them, case
// ignored. A name that cannot be the program's text (a lone surrogate in a
// Unicode program) is left out: no folder the program names could be it.
std::vector<std::string> Subfolders(const std::string& folder) {
    std::vector<std::wstring> found;
    std::wstring pattern = ToWide(folder);
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW entry{};
    FindHandle search(FindFirstFileW(pattern.c_str(), &entry));
    if (!search) return {};
    do {
        const std::wstring name = entry.cFileName;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        found.push_back(name);
    } while (FindNextFileW(search.get(), &entry));
    std::sort(found.begin(), found.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
               CSTR_LESS_THAN;
    });
    std::vector<std::string> names;
    for (const std::wstring& name : found) {
        if (std::optional<std::string> text = FromWide(name)) names.push_back(std::move(*text));
    }
    return names;
}

// The folder as the file system spells it: full, without a trailing
// backslash except at a drive root.
// Empty when there is none that the program's text can hold.
std::string FullFolder(const std::string& folder) {
    const std::wstring wide = ToWide(folder);
    std::string full = FromWide(GrowingWideText([&](wchar_t* buffer, DWORD size) {
                           return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
                       })).value_or(std::string());
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    return full;
}

}  // namespace

DWORD DirectoryList::Style() const {
    return LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
}

void DirectoryList::SetDirectory(const std::string& folder) {
    const std::string full = FullFolder(folder);
    const DWORD attributes = full.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(ToWide(full).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw Failure("Папка \"" + folder + "\" не найдена или недоступна.");
    }
    const bool changed = full != directory_;
    directory_ = full;
    Fill();
    if (changed && OnChange) OnChange();
}

void DirectoryList::Fill() {
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    Clear();
    const std::vector<std::string> chain = SplitChain(directory_);
    chainLength_ = static_cast<int>(chain.size());
    int depth = 0;
    for (const std::string& name : chain) {
        SendMessageW(hwnd_, LB_SETITEMDATA, static_cast<WPARAM>(Add(name)), depth++);
    }
    for (const std::string& name : Subfolders(directory_)) {
        SendMessageW(hwnd_, LB_SETITEMDATA, static_cast<WPARAM>(Add(name)), depth);
    }
    SetItemIndex(chainLength_ - 1);
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void DirectoryList::OpenItem(int index) {
    if (index < 0 || index >= Count()) return;
    std::string folder;
    if (index < chainLength_) {
        const std::vector<std::string> chain = SplitChain(directory_);
        folder = chain[0];
        for (int i = 1; i <= index; ++i) {
            if (folder.back() != '\\') folder += '\\';
            folder += chain[static_cast<size_t>(i)];
        }
    } else {
        folder = directory_;
        if (folder.back() != '\\') folder += '\\';
        folder += Item(index);
    }
    SetDirectory(folder);
}

void DirectoryList::OnCommand(WORD code) {
    if (code == LBN_DBLCLK) OpenItem(ItemIndex());
}

bool DirectoryList::OnKey(WPARAM key) {
    if (key != VK_RETURN) return false;
    OpenItem(ItemIndex());
    return true;
}

void DirectoryList::AfterCreate() {
    SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, layout_.itemHeight > 0 ? layout_.itemHeight : ScaleValue(16, form_.Dpi()));
}

void DirectoryList::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = item.itemState & ODS_SELECTED;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    // Offsets are in pixels at 96 DPI, drawn at the form's scale.
    const auto px = [dpi = form_.Dpi()](int value) { return ScaleValue(value, dpi); };
    const int depth = static_cast<int>(item.itemData);
    const int left = item.rcItem.left + px(2 + depth * kIndent);
    const int middle = (item.rcItem.top + item.rcItem.bottom) / 2;
    // A small folder: a tab and a body, open for the chain, closed below it.
    const bool open = static_cast<int>(item.itemID) < chainLength_;
    UniqueBrush body(CreateSolidBrush(open ? RGB(255, 223, 120) : RGB(240, 200, 80)));
    UniqueBrush edge(CreateSolidBrush(RGB(150, 110, 20)));
    RECT tab{left, middle - px(5), left + px(6), middle - px(3)};
    RECT folder{left, middle - px(3), left + px(14), middle + px(6)};
    FillRect(dc, &tab, edge.get());
    FillRect(dc, &folder, body.get());
    FrameRect(dc, &folder, edge.get());
    const std::wstring text = WideItem(static_cast<int>(item.itemID));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT area = item.rcItem;
    area.left = left + px(18);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

// Each drive as "c: [label]", the volume's label shown as the system gives
// it: it is only shown, never taken back as the program's text.
void DriveCombo::AfterCreate() {
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const std::wstring root = {static_cast<wchar_t>(L'A' + i), L':', L'\\'};
        std::wstring label = {static_cast<wchar_t>(L'a' + i), L':'};
        // The longest label the call gives (MAX_PATH + 1); a longer one fails it, never cut.
        std::wstring volume(MAX_PATH + 1, L'\0');
        const UINT type = GetDriveTypeW(root.c_str());
        if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM &&
            GetVolumeInformationW(root.c_str(), volume.data(), static_cast<DWORD>(volume.size()), nullptr, nullptr,
                                  nullptr, nullptr, 0) &&
            volume[0]) {
            label += L" [" + std::wstring(volume.c_str()) + L"]";
        }
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
        letters_.push_back(static_cast<char>('A' + i));
    }
}

void DriveCombo::Select(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    auto it = std::find(letters_.begin(), letters_.end(), letter);
    SendMessageW(hwnd_, CB_SETCURSEL, it == letters_.end() ? static_cast<WPARAM>(-1) : it - letters_.begin(), 0);
    drive_ = letter;
}

void DriveCombo::SetDrive(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    const char previous = drive_;
    if (dirList_ && !dirList_->Directory().empty()) lastFolder_[previous] = dirList_->Directory();
    Select(letter);
    if (!dirList_ || letter == previous) return;
    const std::string* remembered = lastFolder_.Find(letter);
    const std::string folder = remembered ? *remembered : FullFolder(std::string(1, letter) + ":");
    try {
        dirList_->SetDirectory(folder.empty() ? std::string(1, letter) + ":\\" : folder);
    } catch (...) {
        Select(previous);  // the drive is not ready: stay where we were
        throw;
    }
}

void DriveCombo::Follow(const std::string& folder) {
    if (folder.size() >= 2 && folder[1] == ':') {
        lastFolder_[static_cast<char>(std::toupper(static_cast<unsigned char>(folder[0])))] = folder;
        Select(folder[0]);
    }
}

void DriveCombo::OnCommand(WORD code) {
    if (code != CBN_SELCHANGE) return;
    const LRESULT index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= letters_.size()) return;
    SetDrive(letters_[static_cast<size_t>(index)]);
}

std::unique_ptr<Control> MakeFolderControl(Form& form, const ControlLayout& layout, Control* parent) {
    if (layout.kind == ControlKind::DriveCombo) return std::make_unique<DriveCombo>(form, layout, parent);
    return std::make_unique<DirectoryList>(form, layout, parent);
}

}  // namespace qv
