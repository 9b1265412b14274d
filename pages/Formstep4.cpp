#include "pages/Formstep4.h"

#include <shlobj.h>

#include "pages/page_layout.h"
#include "toolkit/win_handles.h"

using namespace qv;

std::string ProgramsPath;
std::string DesktopPath;

namespace {

const ControlSpec kControls[] = {
    page::HeaderBand(0),
    page::HeaderPicture(),
    page::HeaderTitle("Выбор папки в меню 'Пуск'"),
    page::HeaderHint("Куда программа установки должна установить ярлыки приложения?"),
    page::ButtonBar({-8, 310, 524, 58}, 1),
    page::NextButton(0),
    page::CancelButton(1),
    page::BackButton(2),
    {ControlKind::StaticText, "StaticText3", nullptr, {40, 64, 417, 33},
     "Выберите папку, в меню 'Пуск', в котором программа установки должна установить ярлыки приложения и "
     "затем нажмите кнопку 'Далее'.",
     2},
    {ControlKind::Edit, "edNameGroup", nullptr, {40, 104, 425, 21}, "Кворвель 2.0", 3},
    {ControlKind::ListBox, "ListGroup", nullptr, {40, 128, 425, 153}, "", 4, 0, kNoFlags, {}, nullptr, 13},
};

}  // namespace

namespace qv {

std::string SpecialFolderPath(HWND owner, int csidl, int fallbackCsidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, csidl, &items)) || !items) {
        items = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(owner, fallbackCsidl, &items)) || !items) return {};
    }
    char path[MAX_PATH] = {};  // the size this call requires; a file-system path always fits
    std::string result;
    if (SHGetPathFromIDListA(items, path)) result = path;
    ComPtr<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(allocator.put()))) allocator->Free(items);
    return result;
}

std::vector<std::string> VisibleSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    if (folder.empty()) return names;
    std::string pattern = folder;
    if (pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const DWORD attributes = found.dwFileAttributes;
        const std::string name = found.cFileName;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..") continue;
        if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

}  // namespace qv

TForm5::TForm5() : WizardPage(page::Window("Form5", kColourButtonFace, true)) {}

void TForm5::Build(HWND owner) { Create(owner, kControls); }

void TForm5::FormCreate() {
    BindButtons();
    edNameGroup = Get<Edit>("edNameGroup");
    ListGroup = Get<ListBox>("ListGroup");
    ListGroup->OnClick = [this] { ListGroupClick(); };

    ProgramsPath = SpecialFolderPath(hwnd(), CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS);
    DesktopPath = SpecialFolderPath(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOP);
    // The list box sorts its items itself, without regard to case.
    for (const std::string& group : VisibleSubfolders(ProgramsPath)) ListGroup->Add(group);
}

void TForm5::ListGroupClick() {
    const int index = ListGroup->ItemIndex();
    if (index >= 0) edNameGroup->SetText(ListGroup->Item(index));
}

void TForm5::FormShow() { SetActiveControl(Next); }

void TForm5::FormCloseQuery(bool& canClose) { ConfirmExitOnCancel(canClose); }
