#include "pages/Formstep4.h"

#include <shlobj.h>

#include "engine/paths.h"
#include "pages/page_layout.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

using namespace qv;

std::string ProgramsPath;
std::string DesktopPath;

namespace {

constexpr const char* kChoose =
    "Выберите папку, в меню 'Пуск', в котором программа установки должна установить ярлыки приложения и затем "
    "нажмите кнопку 'Далее'.";
constexpr const char* kGroupOutsideCaption = "Неверное имя папки";
constexpr const char* kGroupOutsideText =
    "Папка в меню «Пуск» должна находиться в папке «Программы»: укажите имя без «..».";

constexpr auto kControls = page::Rows(
    page::Header({.tabOrder = 0,
                  .title = "Выбор папки в меню 'Пуск'",
                  .hint = "Куда программа установки должна установить ярлыки приложения?"}),
    page::NavigationBar({.bounds = {-8, 310, 524, 58}, .tabOrder = 1}),
    std::to_array<ControlLayout>({
        page::Text({.name = "StaticText3", .bounds = {40, 64, 417, 33}, .text = kChoose, .tabOrder = 2}),
        {.kind = ControlKind::Edit, .name = "edNameGroup", .bounds = {40, 104, 425, 21}, .text = "Кворвель 2.0",
         .tabOrder = 3},
        {.kind = ControlKind::ListBox, .name = "ListGroup", .bounds = {40, 128, 425, 153}, .tabOrder = 4,
         .itemHeight = 13},
        {.kind = ControlKind::DirectoryList, .name = "DirList", .bounds = {0, 248, 201, 65}, .tabOrder = 5,
         .flags = kHidden, .itemHeight = 16},
    }));

}  // namespace

namespace qv {

std::string SpecialFolderPath(HWND owner, int csidl, int fallbackCsidl) {
    UniqueItemIdList items;
    if (FAILED(SHGetSpecialFolderLocation(owner, csidl, items.put())) || !items) {
        if (FAILED(SHGetSpecialFolderLocation(owner, fallbackCsidl, items.put())) || !items) return {};
    }
    wchar_t path[MAX_PATH] = {};  // the size this call requires; a file-system path always fits
    return SHGetPathFromIDListW(items.get(), path) ? FromWide(path).value_or(std::string()) : std::string();
}

}  // namespace qv

TForm5::TForm5() : WizardPage(page::Window({.name = "Form5", .maximizeBox = true}), kControls) {}

void TForm5::FormCreate() {
    edNameGroup = Get<Edit>("edNameGroup");
    ListGroup = Get<ListBox>("ListGroup");
    DirList = Get<DirectoryList>("DirList");
    ListGroup->OnClick = [this] { ListGroupClick(); };

    ProgramsPath = SpecialFolderPath(hwnd(), CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS);
    DesktopPath = SpecialFolderPath(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOP);
    // Without a Programs folder there are no groups to offer: the list stays empty.
    const DWORD attributes = ProgramsPath.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(ToWide(ProgramsPath).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    DirList->SetDirectory(ProgramsPath);
    // After the folder itself come its subfolders: the existing groups. The
    // list box sorts them itself, without regard to case.
    for (int i = DirList->ItemIndex() + 1; i < DirList->Count(); ++i) ListGroup->Add(DirList->Item(i));
}

void TForm5::ListGroupClick() {
    const int index = ListGroup->ItemIndex();
    if (index >= 0) edNameGroup->SetText(ListGroup->Item(index));
}

bool TForm5::CanGoNext() { return !RefuseGroup(RunBoxes()); }

bool TForm5::RefuseGroup(const Boxes& boxes) {
    if (StaysInside(GroupName())) return false;
    boxes.Show(hwnd(), kGroupOutsideText, kGroupOutsideCaption, MB_ICONERROR | MB_OK, IDOK);
    return true;
}
