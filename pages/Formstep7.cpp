#include "pages/Formstep7.h"

#include <string>

#include "pages/Formstep3.h"
#include "pages/page_layout.h"
#include "wizard/forms.h"

using namespace qv;

namespace {

const ControlLayout kControls[] = {
    page::SidePicture(),
    page::ButtonBar({-10, 312, 517, 54}, 0),
    {ControlKind::Button, "Ready", "Panel1", {324, 11, 75, 25}, "Готово", 0, 1},
    page::StripTitle("Установка Кворвель завершена", 1),
    {ControlKind::StaticText, "StaticText2", nullptr, {168, 64, 321, 57},
     "Программа установки завершила установку приложения Кворвель на Ваш компьютер. Приложение может быть "
     "запущено посредством выбора соответствующего ярлыка.",
     2},
    {ControlKind::StaticText, "StaticText3", nullptr, {168, 136, 321, 25},
     "Для выхода из программы установки, нажмите кнопку 'Готово'.", 3},
    {ControlKind::CheckBox, "CheckBox", nullptr, {168, 192, 321, 17}, "Запустить Кворвель", 4, 0, kChecked},
};

}  // namespace

TForm8::TForm8() : WizardPage(page::Window("Form8", kColourWhite)) {}

void TForm8::Build(HWND owner) {
    Create(owner, kControls);
    Ready = Get<Button>("Ready");
    CheckBox = Get<qv::CheckBox>("CheckBox");
}

// Only Ready with the box ticked starts the application, from the
// destination folder; a failed start is not reported.
void TForm8::FormCloseQuery(bool&) {
    if (ModalResult() != 1 || !CheckBox->Checked()) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const std::string folder = Form4->edDir->Text();
    const std::string program = folder + "\\QuorVel.exe";
    PROCESS_INFORMATION started{};
    if (CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                       folder.c_str(), &startup, &started)) {
        UniqueHandle process(started.hProcess);
        UniqueHandle thread(started.hThread);
    }
}
