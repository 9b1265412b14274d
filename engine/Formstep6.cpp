#include "engine/Formstep6.h"

#include "pages/page_layout.h"
#include "wizard/messages.h"

using namespace qv;

namespace {

constexpr UINT kTimer1 = 1;
constexpr UINT kPlaceholderWorker = 2;

const ControlSpec kControls[] = {
    page::HeaderBand(0),
    page::HeaderPicture(),
    page::HeaderTitle("Установка", 271),
    page::HeaderHint("Пожалуйста подождите, пока программа установки установит приложение Кворвель на Ваш "
                     "компьютер.",
                     28),
    {ControlKind::StaticText, "Action", nullptr, {40, 82, 169, 17}, "Извлечение файлов...", 1},
    {ControlKind::StaticText, "FileName", nullptr, {40, 104, 417, 44}, "", 2},
    {ControlKind::ProgressBar, "pb", nullptr, {40, 152, 425, 25}, "", 3},
    page::ButtonBar({-9, 310, 524, 58}, 4),
    page::CancelButton(0),
};

}  // namespace

TForm7::TForm7() : WizardPage(page::Window("Form7", kColourButtonFace)) {}

void TForm7::Build(HWND owner) { Create(owner, kControls); }

void TForm7::FormCreate() {
    BindButtons();
    Action = Get<StaticText>("Action");
    FileName = Get<StaticText>("FileName");
    pb = Get<ProgressBar>("pb");
    StartTimer(kTimer1, 500, [this] { Timer1Timer(); });
}

void TForm7::FormShow() {
    // Until the installation runs here, the page moves on by itself.
    StartTimer(kPlaceholderWorker, 1500, [this] {
        StopTimer(kPlaceholderWorker);
        SetModalResult(1);
    });
}

// Only wakes the modal loop, so that a result set meanwhile is seen.
void TForm7::Timer1Timer() {}

void TForm7::FormCloseQuery(bool& canClose) {
    if (ModalResult() != 2) return;
    if (!ConfirmExit(hwnd())) canClose = false;
}

void TForm7::FormDestroy() {}
