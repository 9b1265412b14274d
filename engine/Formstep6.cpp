#include "engine/Formstep6.h"

#include "pages/page_layout.h"
#include "toolkit/application.h"
#include "wizard/forms.h"
#include "wizard/messages.h"

using namespace qv;

namespace {

constexpr UINT kTimer1 = 1;

const ControlLayout kControls[] = {
    page::HeaderBand(0),
    page::HeaderPicture(),
    page::HeaderTitle("Установка", 271),
    page::HeaderHint("Пожалуйста подождите, пока программа установки установит приложение Кворвель на Ваш "
                     "компьютер.",
                     28),
    page::Text("Action", {40, 82, 169, 17}, "Извлечение файлов...", 1),
    page::Text("FileName", {40, 104, 417, 44}, "", 2),
    {.kind = ControlKind::ProgressBar, .name = "pb", .bounds = {40, 152, 425, 25}, .tabOrder = 3},
    page::ButtonBar({-9, 310, 524, 58}, 4),
    page::CancelButton(0),
};

void OnUiThread(std::function<void()> work) { Application::Instance().Post(std::move(work)); }

}  // namespace

TForm7::TForm7() : WizardPage(page::Window("Form7", kColourButtonFace)) {}

void TForm7::Build(HWND owner) { Create(owner, kControls); }

void TForm7::FormCreate() {
    BindButtons();
    Action = Get<StaticText>("Action");
    FileName = Get<StaticText>("FileName");
    pb = Get<ProgressBar>("pb");
    log_ = std::make_unique<UninstallLog>();
    worker_ = std::make_unique<TThreadSetup>(sink_, *log_);
    StartTimer(kTimer1, 500, [this] { Timer1Timer(); });
}

// The choices are read here, on the user-interface thread, and handed to
// the worker as one value.
void TForm7::FormShow() {
    InstallChoices choices;
    choices.destination = Form4->Destination();
    choices.groupName = Form5->GroupName();
    choices.programsPath = ProgramsPath;
    choices.desktopPath = DesktopPath;
    choices.desktopShortcut = Form6->DesktopShortcutWanted();
    choices.licenceText = Form3->AgreementText();
    worker_->Start(std::move(choices));
}

// Wakes the modal loop; a completion the exit confirmation held back is
// taken here at the latest.
void TForm7::Timer1Timer() {
    if (finished_ && !asking_ && Modal() && ModalResult() == qv::ModalResult::None) {
        SetModalResult(qv::ModalResult::Next);
    }
}

void TForm7::WorkerFinished() {
    finished_ = true;
    if (!asking_ && Modal()) SetModalResult(qv::ModalResult::Next);
}

void TForm7::FormCloseQuery(bool& canClose) {
    if (ModalResult() != qv::ModalResult::Cancel) return;
    worker_->Pause();
    asking_ = true;
    const bool leave = ConfirmExit(hwnd());
    asking_ = false;
    if (leave) {
        worker_->Abandon();
        return;
    }
    canClose = false;
    worker_->Continue();
    if (finished_) OnUiThread([this] { Timer1Timer(); });
}

// The worker goes first, waiting for its thread to end, then the log.
void TForm7::FormDestroy() {
    worker_.reset();
    log_.reset();
}

void TForm7::PageSink::SetAction(const std::string& text) {
    OnUiThread([page = &page_, text] { page->Action->SetText(text); });
}

void TForm7::PageSink::SetFileName(const std::string& text) {
    OnUiThread([page = &page_, text] { page->FileName->SetText(text); });
}

void TForm7::PageSink::SetRange(int minimum, int maximum) {
    OnUiThread([page = &page_, minimum, maximum] { page->pb->SetRange(minimum, maximum); });
}

void TForm7::PageSink::SetPosition(int position) {
    OnUiThread([page = &page_, position] { page->pb->SetPosition(position); });
}

void TForm7::PageSink::Finished() {
    OnUiThread([page = &page_] { page->WorkerFinished(); });
}
