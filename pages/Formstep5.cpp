#include "pages/Formstep5.h"

#include "pages/page_layout.h"

using namespace qv;

namespace {

constexpr const char* kChoose =
    "Выберите дополнительные задачи, которые Вы хотите выполнить при установке приложения Кворвель и нажмите "
    "кнопку 'Далее'.";

constexpr auto kControls = page::Rows(
    page::Header({.tabOrder = 0,
                  .title = "Выбор папки дополнительных действий",
                  .titleWidth = 271,
                  .hint = "Какие дополнительные задачи должны быть сделаны?"}),
    std::to_array<ControlLayout>({
        page::Text({.name = "StaticText3", .bounds = {40, 72, 425, 41}, .text = kChoose, .tabOrder = 1}),
        page::Text({.name = "StaticText4", .bounds = {40, 136, 433, 17}, .text = "Дополнительные ярлыки:",
                    .tabOrder = 2}),
        {.kind = ControlKind::CheckBox, .name = "CheckBox", .bounds = {40, 168, 441, 17},
         .text = "Создать ярлык Кворвель на рабочем столе", .tabOrder = 3, .flags = kChecked},
    }),
    page::NavigationBar({.bounds = {-8, 310, 524, 58}, .tabOrder = 4}));

}  // namespace

TForm6::TForm6() : WizardPage(page::Window({.name = "Form6"}), kControls) {}

void TForm6::FormCreate() { CheckBox = Get<qv::CheckBox>("CheckBox"); }
