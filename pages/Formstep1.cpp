#include "pages/Formstep1.h"

#include "pages/page_layout.h"

using namespace qv;

namespace {

const ControlLayout kControls[] = {
    page::ButtonBar({.bounds = {-10, 312, 517, 54}, .tabOrder = 0}),
    page::NextButton({.tabOrder = 0}),
    page::SidePicture(),
    page::StripTitle({.text = "Добро пожаловать в программу установки Кворвель.", .tabOrder = 1}),
    page::Text({.name = "StaticText2",
                .bounds = {168, 72, 323, 25},
                .text = "Приложение Кворвель версии 2.0 будет установлено на Ваш компьютер.",
                .tabOrder = 2}),
    page::Text({.name = "StaticText3",
                .bounds = {166, 120, 323, 33},
                .text = "Перед запуском программы установки, настоятельно рекомендуется закрыть все приложения.",
                .tabOrder = 3}),
    page::Text({.name = "StaticText4",
                .bounds = {166, 176, 323, 33},
                .text = "Нажмите кнопку 'Далее' для продолжения, или 'Отмена' для выхода из программы установки",
                .tabOrder = 4}),
    page::CancelButton({.tabOrder = 1}),
};

}  // namespace

TForm2::TForm2()
    : WizardPage(page::Window({.name = "Form2", .colour = kColourWhite, .centreOnMainForm = true}), kControls) {}
