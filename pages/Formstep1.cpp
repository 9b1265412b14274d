#include "pages/Formstep1.h"

#include "pages/page_layout.h"

using namespace qv;

namespace {

const ControlLayout kControls[] = {
    page::ButtonBar({-10, 312, 517, 54}, 0),
    page::NextButton(0),
    page::SidePicture(),
    page::StripTitle("Добро пожаловать в программу установки Кворвель.", 1),
    page::Text("StaticText2", {168, 72, 323, 25},
               "Приложение Кворвель версии 2.0 будет установлено на Ваш компьютер.", 2),
    page::Text("StaticText3", {166, 120, 323, 33},
               "Перед запуском программы установки, настоятельно рекомендуется закрыть все приложения.", 3),
    page::Text("StaticText4", {166, 176, 323, 33},
               "Нажмите кнопку 'Далее' для продолжения, или 'Отмена' для выхода из программы установки", 4),
    page::CancelButton(1),
};

}  // namespace

TForm2::TForm2() : WizardPage(page::Window("Form2", kColourWhite, false, true)) {}

void TForm2::Build(HWND owner) {
    Create(owner, kControls);
    BindButtons();
}

void TForm2::FormShow() { SetActiveControl(Next); }

void TForm2::FormCloseQuery(bool& canClose) { ConfirmExitOnCancel(canClose); }
