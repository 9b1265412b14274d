#include "pages/Formstep7.h"

#include <string>

#include "engine/install_contract.h"
#include "engine/win_user_start.h"
#include "pages/finish_text.h"
#include "pages/forms.h"
#include "pages/page_layout.h"
#include "toolkit/program_text.h"

using namespace qv;

namespace {

const ControlLayout kControls[] = {
    page::SidePicture(),
    page::ButtonBar({.bounds = {-10, 312, 517, 54}, .tabOrder = 0}),
    {.kind = ControlKind::Button, .name = "Ready", .parent = "Panel1", .bounds = {324, 11, 75, 25},
     .text = "Готово", .tabOrder = 0, .modalResult = ModalResult::Next},
    page::StripTitle({.text = "Установка Кворвель завершена", .tabOrder = 1}),
    page::Text({.name = "StaticText2",
                .bounds = {168, 64, 321, 57},
                .text = "Программа установки завершила установку приложения Кворвель на Ваш компьютер. Приложение "
                        "может быть запущено посредством выбора соответствующего ярлыка.",
                .tabOrder = 2}),
    page::Text({.name = "StaticText3",
                .bounds = {168, 136, 321, 25},
                .text = "Для выхода из программы установки, нажмите кнопку 'Готово'.",
                .tabOrder = 3}),
    {.kind = ControlKind::CheckBox, .name = "CheckBox", .bounds = {168, 192, 321, 17}, .text = "Запустить Кворвель",
     .tabOrder = 4, .flags = kChecked},
};

}  // namespace

TForm8::TForm8() : WizardPage(page::Window({.name = "Form8", .colour = kColourWhite}), kControls) {}

void TForm8::FormCreate() {
    Ready = Get<Button>("Ready");
    CheckBox = Get<qv::CheckBox>("CheckBox");
}

void TForm8::FormShow() {
    const FinishText text = FinishTextFor(Form7->Report());
    if (Form7->Report().Complete()) return;
    Get<StaticText>("StaticText1")->SetText(text.title);
    Get<StaticText>("StaticText2")->SetText(text.body);
    if (!text.canStartApplication) {
        CheckBox->SetChecked(false);
        CheckBox->SetEnabled(false);
    }
}

// Only Ready with the box ticked starts the application, from the
// destination folder, as the signed-in user; a failed start is not reported.
void TForm8::FormCloseQuery(bool&) {
    if (ModalResult() != qv::ModalResult::Next || !CheckBox->Checked()) return;
    // The folder the files went to: the destination, made full when typed without its drive.
    const std::string& installed = Form7->Report().destination;
    const std::string folder = installed.empty() ? Form4->Destination() : installed;
    // Never looked for elsewhere.
    StartProgramForUser(FullPathOf(folder + "\\" + contract::kApplicationFileName), folder);
}
