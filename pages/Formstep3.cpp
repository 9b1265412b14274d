#include "pages/Formstep3.h"

#include <string>
#include <vector>

#include "pages/page_layout.h"

using namespace qv;

namespace {

constexpr const char* kProgramFiles = ":\\Program Files";
constexpr const char* kProductFolder = "\\QuorVel V2.0";
constexpr const char* kProductFolderName = "QuorVel V2.0";
constexpr const char* kExistsCaption = "Папка уже существует";
constexpr const char* kExistsBefore = "Папка:\n\n";
constexpr const char* kExistsAfter = "\n\nуже существует. Установить программу в эту директорию?";

const ControlLayout kControls[] = {
    {ControlKind::DirectoryList, "DirList", nullptr, {40, 120, 425, 138}, "", 0, 0, kNoFlags, {}, nullptr, 16},
    {ControlKind::DriveCombo, "DriveList", nullptr, {40, 262, 425, 19}, "", 1},
    page::HeaderBand(2),
    page::HeaderPicture(),
    page::HeaderTitle("Выбор каталога установки"),
    page::HeaderHint("Куда должно быть установлено приложение Кворвель?"),
    {ControlKind::StaticText, "StaticText3", nullptr, {40, 64, 425, 30},
     "Выберите каталог, в который Вы хотите установить приложение Кворвель и нажмите кнопку 'Далее'.", 3},
    page::ButtonBar({-9, 311, 524, 58}, 4),
    page::NextButton(0),
    page::CancelButton(1),
    page::BackButton(2),
    {ControlKind::Edit, "edDir", nullptr, {40, 96, 425, 21}, "", 5},
    {ControlKind::StaticText, "StaticText4", nullptr, {40, 287, 425, 17},
     "Программе требуется не менее 4,0 Мб дискового пространства.", 6},
};

// The Windows folder, read with a buffer that grows until it fits.
std::string WindowsDirectory() {
    std::vector<char> buffer(300);
    for (;;) {
        const UINT length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

}  // namespace

TForm4::TForm4() : WizardPage(page::Window("Form4", kColourButtonFace)) {}

void TForm4::Build(HWND owner) {
    Create(owner, kControls);
}

void TForm4::FormCreate() {
    BindButtons();
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

void TForm4::FormShow() { SetActiveControl(Next); }

void TForm4::FormCloseQuery(bool& canClose) {
    ConfirmExitOnCancel(canClose);
    if (!canClose || ModalResult() != 1) return;
    const std::string destination = edDir->Text();
    if (GetFileAttributesA(destination.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const std::string question = kExistsBefore + destination + kExistsAfter;
    if (MessageBoxA(hwnd(), question.c_str(), kExistsCaption, MB_ICONQUESTION | MB_YESNO) != IDYES) {
        canClose = false;
    }
}
