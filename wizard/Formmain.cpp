#include "wizard/Formmain.h"

#include "engine/win_boxes.h"
#include "pages/forms.h"
#include "toolkit/application.h"
#include "wizard/messages.h"
#include "wizard/transitions.h"

using namespace qv;

namespace {

constexpr UINT kTimer1 = 1;
constexpr UINT kTimer1Interval = 2000;

const FormLayout kWindow = {
    .name = "Form1", .caption = "Form1", .bounds = {0, 0, 862, 606}, .colour = kColourButtonFace, .borderless = true};

const ControlLayout kControls[] = {
    {.kind = ControlKind::Picture, .name = "Image1", .bounds = {0, 0, 862, 606}, .flags = kAlignClient | kStretch,
     .picture = "BACKGROUND"},
    {.kind = ControlKind::Label, .name = "Label1", .bounds = {34, 20, 377, 56}, .text = "Кворвель",
     .font = {.face = "Arial", .height = -48, .bold = true, .charset = RUSSIAN_CHARSET, .color = RGB(0, 0, 255)}},
};

WizardPage* PageForm(Page page) {
    switch (page) {
        case Page::Welcome: return Form2;
        case Page::Licence: return Form3;
        case Page::Destination: return Form4;
        case Page::Group: return Form5;
        case Page::Tasks: return Form6;
        case Page::Progress: return Form7;
        case Page::Finish: return Form8;
    }
    return nullptr;
}

}  // namespace

TForm1::TForm1() : Form(kWindow) {}

void TForm1::Build(const RunOptions& options) {
    options_ = options;
    Create(nullptr, kControls);
    if (!options_.Unattended()) StartTimer(kTimer1, kTimer1Interval, [this] { Timer1Timer(); });
}

void TForm1::PagesCreated() {
    pagesCreated_ = true;
    // Nobody watches: no background, no waiting for it.
    if (options_.Unattended()) Application::Instance().Post([this] { RunUnattended(); });
}

void TForm1::FormCreate() {
    Image1 = Get<Picture>("Image1");
    Label1 = Get<Label>("Label1");
    InvalidateRect(Image1->hwnd(), nullptr, TRUE);
}

WizardEnd TForm1::EndAfter(Page page) {
    switch (page) {
        case Page::Progress:
            return Form7->InstallationFailed() ? WizardEnd::InstallationFailed : WizardEnd::CancelledWhileInstalling;
        case Page::Finish:
            return WizardEnd::InstallationFinished;
        default:
            return WizardEnd::CancelledBeforeInstalling;
    }
}

SetupExit TForm1::ExitCode() const { return ExitCodeOf(end_, Form7 ? Form7->Report() : InstallReport{}); }

void TForm1::Timer1Timer() {
    if (!pagesCreated_ || !Visible() || Form2->Visible()) return;
    StopTimer(kTimer1);
    RunWizard();
}

// Shows the pages one at a time, each where the previous one was, until a
// page's result ends the wizard; then closes this window, which ends the program.
void TForm1::RunWizard() {
    if (!IsAdministrator(*privileges)) {
        RunBoxes().Show(hwnd(), kRightsErrorText, kRightsErrorCaption, MB_ICONERROR | MB_OK, IDOK);
        End(WizardEnd::Refused);
        return;
    }
    Page current = Page::Welcome;
    WizardPage* shown = PageForm(current);
    qv::ModalResult result = shown->ShowModal();
    for (;;) {
        const Transition next = NextPage(current, result);
        if (next.end) break;
        WizardPage* page = PageForm(next.next);
        page->SetLeft(shown->Left());
        page->SetTop(shown->Top());
        current = next.next;
        shown = page;
        if (current == Page::Progress) LogChoices();
        result = shown->ShowModal();
    }
    End(EndAfter(current));
}

void TForm1::RunUnattended() {
    if (!IsAdministrator(*privileges)) {
        RunBoxes().Show(nullptr, kRightsErrorText, kRightsErrorCaption, MB_ICONERROR | MB_OK, IDOK);
        End(WizardEnd::Refused);
        return;
    }
    if (options_.directory) Form4->edDir->SetText(*options_.directory);
    if (options_.group) Form5->edNameGroup->SetText(*options_.group);
    if (options_.desktopIcon) Form6->CheckBox->SetChecked(*options_.desktopIcon);
    // The destination page's own checks, as Next on it would make them;
    // the pages' questions are not part of an unattended run: each is
    // answered by rule, and logged.
    const Boxes byRule(RunBoxes().Log(), true);
    if (Form4->RefuseDestination(byRule) || Form5->RefuseGroup(byRule)) {
        End(WizardEnd::BadChoice);
        return;
    }
    if (!Form4->ConfirmDestination(byRule)) {
        End(WizardEnd::CancelledBeforeInstalling);
        return;
    }
    LogChoices();
    if (options_.mode == RunMode::Silent) {
        Form7->CentreOnScreen();
    } else {
        Form7->SetHiddenWhileModal(true);
    }
    Form7->SetCancellable(!options_.noCancel);
    const qv::ModalResult result = Form7->ShowModal();
    End(result == qv::ModalResult::Cancel ? EndAfter(Page::Progress) : WizardEnd::InstallationFinished);
}

void TForm1::LogChoices() const {
    RunLog& log = RunBoxes().Log();
    const char* mode = options_.mode == RunMode::VerySilent ? "без окон (/VERYSILENT)"
                       : options_.mode == RunMode::Silent   ? "без вопросов (/SILENT)"
                                                            : "мастер установки";
    log.Write(std::string("Режим: ") + mode + (RunBoxes().Suppressed() ? ", сообщения не показываются" : ""));
    log.Write("Папка установки: " + Form4->Destination());
    log.Write("Папка в меню «Пуск»: " + Form5->GroupName());
    log.Write(std::string("Ярлык на рабочем столе: ") + (Form6->DesktopShortcutWanted() ? "да" : "нет"));
}

void TForm1::End(WizardEnd end) {
    end_ = end;
    Application::Instance().SetExitCode(static_cast<int>(ExitCode()));
    Close();
}
