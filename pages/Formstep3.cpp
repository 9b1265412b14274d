#include "pages/Formstep3.h"

#include <string>

#include "engine/install_contract.h"
#include "engine/install_sequence.h"
#include "engine/paths.h"
#include "engine/text.h"
#include "engine/win_boxes.h"
#include "engine/win_registry.h"
#include "pages/page_layout.h"
#include "toolkit/growing_text.h"
#include "toolkit/program_text.h"

using namespace qv;

namespace {

constexpr const char* kChoose =
    "Выберите каталог, в который Вы хотите установить приложение Кворвель и нажмите кнопку 'Далее'.";
constexpr const char* kSpaceNeeded = "Программе требуется не менее 4,0 Мб дискового пространства.";
constexpr const char* kProgramFiles = ":\\Program Files";
constexpr const char* kProductFolder = "\\QuorVel V2.0";
constexpr const char* kProductFolderName = "QuorVel V2.0";
constexpr const char* kNoFolderCaption = "Папка не указана";
constexpr const char* kNoFolderText = "Укажите папку, в которую будет установлено приложение Кворвель.";
constexpr const char* kNotFullCaption = "Неверный путь";
constexpr const char* kNotFullText =
    "Укажите полный путь к папке установки, начиная с буквы диска, например: C:\\Program Files\\QuorVel V2.0";
constexpr const char* kTooLongCaption = "Слишком длинный путь";
constexpr const char* kTooLongBefore = "Слишком длинный путь к папке установки (";
constexpr const char* kTooLongMiddle = " симв.).\n\nПуть к папке установки должен быть не длиннее ";
constexpr const char* kTooLongAfter =
    " символов, чтобы полный путь каждого файла программы был не длиннее 259 символов. Укажите папку с более "
    "коротким путём.";
constexpr const char* kExistsCaption = "Папка уже существует";
constexpr const char* kExistsBefore = "Папка:\n\n";
constexpr const char* kExistsAfter = "\n\nуже существует. Установить программу в эту директорию?";
constexpr const char* kEarlierCaption = "Программа уже установлена";
constexpr const char* kEarlierBefore = "Программа Кворвель 2.0 уже установлена в папку:\n\n";
constexpr const char* kEarlierAfter =
    "\n\nПеред установкой в другую папку программа установки удалит её. Файлы с Вашими данными останутся в "
    "прежней папке. Продолжить?";

constexpr auto kControls = page::Rows(
    std::to_array<ControlLayout>({
        {.kind = ControlKind::DirectoryList, .name = "DirList", .bounds = {40, 120, 425, 138}, .tabOrder = 0,
         .itemHeight = 16},
        {.kind = ControlKind::DriveCombo, .name = "DriveList", .bounds = {40, 262, 425, 19}, .tabOrder = 1},
    }),
    page::Header({.tabOrder = 2,
                  .title = "Выбор каталога установки",
                  .hint = "Куда должно быть установлено приложение Кворвель?"}),
    std::to_array<ControlLayout>({
        page::Text({.name = "StaticText3", .bounds = {40, 64, 425, 30}, .text = kChoose, .tabOrder = 3}),
    }),
    page::NavigationBar({.bounds = {-9, 311, 524, 58}, .tabOrder = 4}),
    std::to_array<ControlLayout>({
        {.kind = ControlKind::Edit, .name = "edDir", .bounds = {40, 96, 425, 21}, .tabOrder = 5},
        page::Text({.name = "StaticText4", .bounds = {40, 287, 425, 17}, .text = kSpaceNeeded, .tabOrder = 6}),
    }));

std::string WindowsDirectory() {
    return FromWide(GrowingWideText([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); }, 300))
        .value_or(std::string());
}

}  // namespace

TForm4::TForm4() : WizardPage(page::Window({.name = "Form4"}), kControls) {}

void TForm4::FormCreate() {
    edDir = Get<Edit>("edDir");
    DirList = Get<DirectoryList>("DirList");
    DriveList = Get<DriveCombo>("DriveList");
    DriveList->SetDirList(DirList);
    DirList->OnChange = [this] {
        DriveList->Follow(DirList->Directory());
        DirListChange();
    };

    const std::string windows = WindowsDirectory();
    const char drive = windows.empty() ? 'C' : windows[0];
    const std::string parent = std::string(1, drive) + kProgramFiles;
    DriveList->SetDrive(drive);
    DirList->SetDirectory(parent);  // throws when the folder is missing: reported, the rest skipped
    edDir->SetText(parent);
    edDir->SetText(edDir->Text() + kProductFolder);
}

void TForm4::DirListChange() {
    std::string folder = DirList->Directory();
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    edDir->SetText(folder + kProductFolderName);
}

bool TForm4::CanGoNext() { return !RefuseDestination(RunBoxes()) && ConfirmDestination(RunBoxes()); }

bool TForm4::RefuseDestination(const Boxes& boxes) {
    const std::string destination = edDir->Text();
    if (destination.find_first_not_of(' ') == std::string::npos) {
        boxes.Show(hwnd(), kNoFolderText, kNoFolderCaption, MB_ICONERROR | MB_OK, IDOK);
        return true;
    }
    if (!IsFullPath(destination)) {
        boxes.Show(hwnd(), kNotFullText, kNotFullCaption, MB_ICONERROR | MB_OK, IDOK);
        return true;
    }
    // Nothing is written into a folder that cannot hold every file whole.
    if (Utf16Length(destination) > LongestDestination()) {
        const std::string text = kTooLongBefore + std::to_string(destination.size()) + kTooLongMiddle +
                                 std::to_string(LongestDestination()) + kTooLongAfter;
        boxes.Show(hwnd(), text, kTooLongCaption, MB_ICONERROR | MB_OK, IDOK);
        return true;
    }
    return false;
}

bool TForm4::ConfirmDestination(const Boxes& boxes) {
    const std::string destination = edDir->Text();
    // Only one installation can be in the list of programs: one elsewhere
    // is removed before this one is installed.
    const std::string earlier = ReadMachineString(contract::kUninstallKey, contract::kInstallLocation);
    if (!earlier.empty() && !SamePath(earlier, destination)) {
        const std::string question = kEarlierBefore + earlier + kEarlierAfter;
        if (boxes.Show(hwnd(), question, kEarlierCaption, MB_ICONQUESTION | MB_YESNO, IDYES) != IDYES) return false;
    }
    if (GetFileAttributesW(ToWide(destination).c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    const std::string question = kExistsBefore + destination + kExistsAfter;
    return boxes.Show(hwnd(), question, kExistsCaption, MB_ICONQUESTION | MB_YESNO, IDYES) == IDYES;
}
