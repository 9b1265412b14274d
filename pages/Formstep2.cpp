#include "pages/Formstep2.h"

#include <string_view>

#include "engine/text.h"
#include "pages/page_layout.h"
#include "toolkit/resources.h"

using namespace qv;

namespace {

constexpr page::HeaderFields kHeader = {
    .tabOrder = 2,
    .title = "Лицензионное соглашение",
    .hint = "Перед продолжением установки, пожалуйста ознакомьтесь со следующей важной информацией."};
constexpr const char* kReadIt =
    "Пожалуйста прочтите следующее Лицензионное соглашение. Для продолжения установки, Вы должны принять это "
    "соглашение.";

constexpr auto kControls = page::Rows(
    page::NavigationBar({.bounds = {-10, 312, 524, 58}, .tabOrder = 0, .nextFlags = kDisabled}),
    std::to_array<ControlLayout>({
        {.kind = ControlKind::Memo, .name = "Memo1", .bounds = {40, 104, 417, 145}, .tabOrder = 1,
         .flags = kReadOnly},
        page::HeaderBand(kHeader),
        page::HeaderTitle(kHeader),
        page::HeaderHint(kHeader),
        page::Text({.name = "StaticText3", .bounds = {40, 65, 417, 33}, .text = kReadIt, .tabOrder = 3}),
        {.kind = ControlKind::RadioButton, .name = "RadioButton1", .bounds = {40, 264, 201, 17},
         .text = "Я принимаю соглашение", .tabOrder = 4},
        {.kind = ControlKind::RadioButton, .name = "RadioButton2", .bounds = {40, 288, 209, 17},
         .text = "Я не принимаю соглашение", .tabOrder = 5, .flags = kChecked},
        page::HeaderPicture(),
    }));

}  // namespace

TForm3::TForm3() : WizardPage(page::Window({.name = "Form3"}), kControls) {}

void TForm3::FormCreate() {
    Memo1 = Get<Memo>("Memo1");
    RadioButton1 = Get<RadioButton>("RadioButton1");
    RadioButton2 = Get<RadioButton>("RadioButton2");
    RadioButton1->OnClick = [this] { RadioButton2Click(); };
    RadioButton2->OnClick = [this] { RadioButton2Click(); };
    LoadAgreement();
}

// The agreement is built into the program as lines ended by CR LF; the box
// gets them one by one, each followed by CR LF.
void TForm3::LoadAgreement() {
    auto bytes = ResourceBytes("LICENCE", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    while (!text.empty()) {
        size_t end = text.find("\r\n");
        const bool last = end == std::string_view::npos;
        Memo1->AppendLine(ProgramTextOf1251(text.substr(0, last ? text.size() : end)));
        text.remove_prefix(last ? text.size() : end + 2);
    }
    SendMessageW(Memo1->hwnd(), EM_SETSEL, 0, 0);
    SendMessageW(Memo1->hwnd(), EM_SCROLLCARET, 0, 0);
}

void TForm3::RadioButton2Click() { Next->SetEnabled(RadioButton1->Checked()); }

void TForm3::FormShow() {
    if (Next->Enabled()) SetActiveControl(Next);
}
