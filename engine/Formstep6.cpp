#include "engine/Formstep6.h"

#include "engine/win_boxes.h"
#include "pages/forms.h"
#include "pages/page_layout.h"
#include "toolkit/application.h"

using namespace qv;

namespace {

const char kWaitHint[] =
    "Пожалуйста подождите, пока программа установки установит приложение Кворвель на Ваш компьютер.";

constexpr UINT kTimer1 = 1;

const char kStoppedCaption[] = "Программа установки Кворвель";
const char kStoppedText[] = "Установка прервана из-за ошибки";
const char kNotStarted[] = "не удалось подготовить установку";
const char kShutdownReason[] = "Идёт установка Кворвель 2.0. Дождитесь её окончания.";

constexpr auto kControls = page::Rows(
    page::Header({.tabOrder = 0, .title = "Установка", .titleWidth = 271, .hint = kWaitHint, .hintHeight = 28}),
    std::to_array<ControlLayout>({
        page::Text({.name = "Action", .bounds = {40, 82, 169, 17}, .text = "Извлечение файлов...", .tabOrder = 1}),
        page::Text({.name = "FileName", .bounds = {40, 104, 417, 44}, .tabOrder = 2}),
        {.kind = ControlKind::ProgressBar, .name = "pb", .bounds = {40, 152, 425, 25}, .tabOrder = 3},
        page::ButtonBar({.bounds = {-9, 310, 524, 58}, .tabOrder = 4}),
        page::CancelButton({.tabOrder = 0}),
    }));

void OnUiThread(std::function<void()> work) { Application::Instance().Post(std::move(work)); }

}  // namespace

TForm7::TForm7(bool watched) : WizardPage(page::Window({.name = "Form7"}), kControls), watched_(watched) {}

void TForm7::FormCreate() {
    Action = Get<StaticText>("Action");
    FileName = Get<StaticText>("FileName");
    pb = Get<ProgressBar>("pb");
    StartTimer(kTimer1, 500, [this] { Timer1Timer(); });
    log_ = std::make_unique<UninstallLog>();
    worker_ = std::make_unique<TThreadSetup>(sink_, *log_, RunBoxes(), watched_);
}

// The choices are read here, on the user-interface thread, and handed to
// the worker as one value.
void TForm7::FormShow() {
    if (!worker_) {
        // The page was made without its worker: say so once it is on screen.
        OnUiThread([this] { InstallationStopped(kNotStarted); });
        return;
    }
    InstallChoices choices;
    choices.destination = Form4->Destination();
    choices.groupName = Form5->GroupName();
    choices.programsPath = ProgramsPath;
    choices.desktopPath = DesktopPath;
    choices.desktopShortcut = Form6->DesktopShortcutWanted();
    choices.licenceText = Form3->AgreementText();
    // Leaving now would leave the installation half-done: Windows asks
    // before it shuts down.
    Application::Instance().BlockShutdown(kShutdownReason);
    worker_->Start(std::move(choices));
}

// Wakes the modal loop; a completion the exit confirmation held back is
// taken here at the latest.
void TForm7::Timer1Timer() {
    if (finished_ && !asking_ && Modal() && ModalResult() == qv::ModalResult::None) {
        SetModalResult(qv::ModalResult::Next);
    }
}

void TForm7::WorkerFinished(const InstallReport& report) {
    report_ = report;
    finished_ = true;
    Application::Instance().AllowShutdown();
    if (!asking_ && Modal()) SetModalResult(qv::ModalResult::Next);
}

void TForm7::InstallationStopped(const std::string& what) {
    failed_ = true;
    Application::Instance().AllowShutdown();
    std::string text = kStoppedText;
    if (!what.empty()) text += ": " + what;
    text += ".";
    RunBoxes().Show(hwnd(), text, kStoppedCaption, MB_ICONERROR | MB_OK, IDOK);
    if (Modal()) SetModalResult(qv::ModalResult::Cancel);
}

void TForm7::SetCancellable(bool cancellable) {
    cancellable_ = cancellable;
    Cancel->SetEnabled(cancellable);
    EnableMenuItem(GetSystemMenu(hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | (cancellable ? MF_ENABLED : MF_GRAYED));
}

void TForm7::FormCloseQuery(bool& canClose) {
    // Nothing is running any more after an error: the page just closes.
    if (ModalResult() != qv::ModalResult::Cancel || failed_) return;
    if (!cancellable_ && !finished_) {
        canClose = false;
        return;
    }
    if (worker_) worker_->Pause();
    asking_ = true;
    const bool leave = ConfirmExit();
    asking_ = false;
    if (leave) {
        if (worker_) worker_->Abandon();
        Application::Instance().AllowShutdown();
        return;
    }
    canClose = false;
    if (worker_) worker_->Continue();
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

void TForm7::PageSink::Finished(const InstallReport& report) {
    OnUiThread([page = &page_, report] { page->WorkerFinished(report); });
}

void TForm7::PageSink::Failed(const std::string& what) {
    OnUiThread([page = &page_, what] { page->InstallationStopped(what); });
}
