#include "wizard/Formmain.h"

#include "wizard/forms.h"
#include "wizard/messages.h"
#include "wizard/transitions.h"

using namespace qv;

namespace {

constexpr UINT kTimer1 = 1;
constexpr UINT kTimer1Interval = 2000;

const FormLayout kWindow = {"Form1", "Form1", {0, 0, 862, 606}, kColourButtonFace, false, true};

const ControlLayout kControls[] = {
    {ControlKind::Picture, "Image1", nullptr, {0, 0, 862, 606}, "", -1, 0, kAlignClient | kStretch, {},
     "BACKGROUND"},
    {ControlKind::Label, "Label1", nullptr, {34, 20, 377, 56}, "Кворвель", -1, 0, kNoFlags,
     {"Arial", -48, true, RUSSIAN_CHARSET, RGB(0, 0, 255)}},
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

void TForm1::Build() {
    Create(nullptr, kControls);
    StartTimer(kTimer1, kTimer1Interval, [this] { Timer1Timer(); });
}

void TForm1::FormCreate() {
    Image1 = Get<Picture>("Image1");
    Label1 = Get<Label>("Label1");
    InvalidateRect(Image1->hwnd(), nullptr, TRUE);
}

void TForm1::Timer1Timer() {
    if (!Visible() || Form2->Visible()) return;
    StopTimer(kTimer1);
    RunWizard();
}

// Shows the pages one at a time, each where the previous one was, until a
// page's result ends the wizard; then closes this window, which ends the program.
void TForm1::RunWizard() {
    if (!IsAdministrator(*privileges)) {
        MessageBoxA(hwnd(), kRightsErrorText, kRightsErrorCaption, MB_ICONERROR | MB_OK);
        Close();
        return;
    }
    Page current = Page::Welcome;
    WizardPage* shown = PageForm(current);
    int result = shown->ShowModal();
    for (;;) {
        const Transition next = NextPage(current, result);
        if (next.end) break;
        WizardPage* page = PageForm(next.next);
        page->SetLeft(shown->Left());
        page->SetTop(shown->Top());
        current = next.next;
        shown = page;
        result = shown->ShowModal();
    }
    Close();
}
