#include "pages/Formstep5.h"

#include "pages/page_layout.h"

using namespace qv;

namespace {

const ControlLayout kControls[] = {
    page::HeaderBand(0),
    page::HeaderPicture(),
    page::HeaderTitle("Выбор папки дополнительных действий", 271),
    page::HeaderHint("Какие дополнительные задачи должны быть сделаны?"),
    page::Text("StaticText3", {40, 72, 425, 41},
               "Выберите дополнительные задачи, которые Вы хотите выполнить при установке приложения Кворвель и "
               "нажмите кнопку 'Далее'.",
               1),
    page::Text("StaticText4", {40, 136, 433, 17}, "Дополнительные ярлыки:", 2),
    {.kind = ControlKind::CheckBox, .name = "CheckBox", .bounds = {40, 168, 441, 17},
     .text = "Создать ярлык Кворвель на рабочем столе", .tabOrder = 3, .flags = kChecked},
    page::ButtonBar({-8, 310, 524, 58}, 4),
    page::NextButton(0),
    page::CancelButton(1),
    page::BackButton(2),
};

}  // namespace

TForm6::TForm6() : WizardPage(page::Window("Form6", kColourButtonFace)) {}

void TForm6::Build(HWND owner) {
    Create(owner, kControls);
    BindButtons();
    CheckBox = Get<qv::CheckBox>("CheckBox");
}

void TForm6::FormShow() { SetActiveControl(Next); }

void TForm6::FormCloseQuery(bool& canClose) { ConfirmExitOnCancel(canClose); }
