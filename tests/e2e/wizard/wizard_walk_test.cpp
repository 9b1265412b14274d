// The real setup program under Wine, worked through its windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/scenario.h"

namespace e2e {
namespace {

const char* const kPages[] = {"Form2", "Form3", "Form4", "Form5", "Form6", "Form7", "Form8"};

constexpr const char* kExitText =
    "Процесс установки не завершен. Если Вы прервете процесс установки, программа не будет установлена."
    "\n\nДля завершения процесса установки, запустите программу установки еще раз.\n\n"
    "Выйти из программы установки?";

bool SamePlace(const RECT& a, const RECT& b) { return a.left == b.left && a.top == b.top; }

// One taskbar button for the whole program, whichever form is in front:
// the application's window, with its (empty) title; no form has one of its
// own. (Its icon is the toolkit test's: this Wine answers WM_GETICON from
// another process with nothing.)
void ExpectOneTaskbarButtonOn(const Wizard& wizard, const char* form) {
    const std::vector<HWND> buttons = wizard.TaskbarWindows();
    ASSERT_EQ(buttons.size(), 1u) << "taskbar buttons while " << form << " is shown";
    EXPECT_EQ(TextOf(buttons[0]), "") << form;
    EXPECT_EQ(NameOf(buttons[0]), "") << "a form has the button, on " << form;
}

class WizardTest : public ::testing::Test {
protected:
    void StartAndWaitWelcome() {
        ASSERT_TRUE(wizard.WaitShown("Form2", 15s)) << "welcome page not shown";
    }
    // Accepts the agreement and goes on to the named page.
    void GoTo(const char* form) {
        StartAndWaitWelcome();
        for (const char* page : kPages) {
            if (std::string(page) == form) return;
            if (std::string(page) == "Form3") {
                wizard.Click("Form3", "RadioButton1");
                ASSERT_TRUE(WaitFor([&] { return wizard.Enabled("Form3", "Next"); }));
            }
            wizard.Click(page, "Next");
            ASSERT_TRUE(wizard.WaitShown(page == std::string("Form2") ? "Form3" : NextOf(page))) << page;
        }
    }
    static const char* NextOf(const char* page) {
        for (size_t i = 0; i + 1 < std::size(kPages); ++i) {
            if (std::string(kPages[i]) == page) return kPages[i + 1];
        }
        return "";
    }
    void ExpectOneTaskbarButton(const char* page) { ExpectOneTaskbarButtonOn(wizard, page); }
    void ExpectExitConfirmation(const char* owner) {
        Box box;
        ASSERT_TRUE(wizard.WaitMessageBox(box)) << "no exit confirmation on " << owner;
        EXPECT_EQ(box.caption, kExitCaption);
        EXPECT_EQ(box.text, kExitText);
        EXPECT_EQ(box.owner, wizard.Form(owner));
        EXPECT_NE(GetDlgItem(box.hwnd, IDYES), nullptr);
        EXPECT_NE(GetDlgItem(box.hwnd, IDNO), nullptr);
        confirmation = box;
    }

    Wizard wizard{QV_SETUP_EXE};
    Box confirmation;
};

TEST_F(WizardTest, WalksForwardAndBackKeepingThePlaceAndTheLook) {
    StartAndWaitWelcome();
    Wizard::SaveScreen("01-welcome");
    ExpectOneTaskbarButton("Form2");
    // The background covers the screen; the welcome page sits at its centre.
    const RECT screen = wizard.WindowRect("Form1");
    EXPECT_EQ(screen.right - screen.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.bottom - screen.top, GetSystemMetrics(SM_CYSCREEN));
    const RECT welcome = wizard.WindowRect("Form2");
    EXPECT_NEAR((welcome.left + welcome.right) / 2, (screen.left + screen.right) / 2, 1);
    EXPECT_NEAR((welcome.top + welcome.bottom) / 2, (screen.top + screen.bottom) / 2, 1);

    // At the display's scale (scripts/run.sh walks at 96 and 144 DPI).
    const int dpi = ScreenDpi();
    for (const char* page : kPages) {
        HWND hwnd = wizard.Form(page);
        ASSERT_NE(hwnd, nullptr) << page;
        EXPECT_EQ(TextOf(hwnd), "Установка - Кворвель") << page;
        const RECT client = wizard.ClientRect(page);
        EXPECT_EQ(client.right, Scaled(497, dpi)) << page;
        EXPECT_EQ(client.bottom, Scaled(356, dpi)) << page;
    }
    EXPECT_TRUE(wizard.WaitFocus("Form2", "Next")) << wizard.Focused();

    // Forward: each page appears where the previous one was.
    RECT place = welcome;
    wizard.Click("Form2", "Next");
    ASSERT_TRUE(wizard.WaitShown("Form3"));
    Wizard::SaveScreen("02-licence");
    ExpectOneTaskbarButton("Form3");
    EXPECT_TRUE(SamePlace(wizard.WindowRect("Form3"), place));
    // Next is disabled until the agreement is accepted.
    EXPECT_TRUE(wizard.WaitFocus("Form3", "Cancel")) << wizard.Focused();
    wizard.Click("Form3", "RadioButton1");
    ASSERT_TRUE(WaitFor([&] { return wizard.Enabled("Form3", "Next"); }));
    wizard.Click("Form3", "Next");
    const char* const middle[] = {"Form4", "Form5", "Form6"};
    const char* const screens[] = {"03-destination", "04-group", "05-tasks"};
    for (size_t i = 0; i < std::size(middle); ++i) {
        ASSERT_TRUE(wizard.WaitShown(middle[i])) << middle[i];
        Wizard::SaveScreen(screens[i]);
        ExpectOneTaskbarButton(middle[i]);
        EXPECT_TRUE(SamePlace(wizard.WindowRect(middle[i]), place)) << middle[i];
        EXPECT_TRUE(wizard.WaitFocus(middle[i], "Next")) << middle[i] << ": " << wizard.Focused();
        if (i + 1 < std::size(middle)) wizard.Click(middle[i], "Next");
    }

    // Back from the tasks page to the welcome page, moving the window first:
    // every page follows the one before it.
    SetWindowPos(wizard.Form("Form6"), nullptr, place.left + 40, place.top + 30, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return wizard.WindowRect("Form6").left == place.left + 40; }));
    place = wizard.WindowRect("Form6");
    const char* const backwards[] = {"Form6", "Form5", "Form4", "Form3"};
    for (size_t i = 0; i < std::size(backwards); ++i) {
        wizard.Click(backwards[i], "Back");
        const char* previous = i + 1 < std::size(backwards) ? backwards[i + 1] : "Form2";
        ASSERT_TRUE(wizard.WaitShown(previous)) << previous;
        EXPECT_TRUE(SamePlace(wizard.WindowRect(previous), place)) << previous;
    }
    // The licence stays accepted, and Next has the focus this time.
    wizard.Click("Form2", "Next");
    ASSERT_TRUE(wizard.WaitShown("Form3"));
    EXPECT_TRUE(wizard.Checked("Form3", "RadioButton1"));
    EXPECT_TRUE(wizard.WaitFocus("Form3", "Next")) << wizard.Focused();

    // On to the end; the progress page moves on by itself.
    wizard.Click("Form3", "Next");
    for (const char* page : middle) {
        ASSERT_TRUE(wizard.WaitShown(page));
        wizard.Click(page, "Next");
    }
    ASSERT_TRUE(wizard.WaitShown("Form7"));
    Wizard::SaveScreen("06-progress");
    ExpectOneTaskbarButton("Form7");
    ASSERT_TRUE(wizard.WaitShown("Form8", 20s));
    Wizard::SaveScreen("07-finish");
    ExpectOneTaskbarButton("Form8");
    EXPECT_TRUE(SamePlace(wizard.WindowRect("Form8"), place));
    EXPECT_TRUE(wizard.WaitFocus("Form8", "Ready")) << wizard.Focused();
    wizard.Click("Form8", "CheckBox");  // nothing to start yet
    ASSERT_TRUE(WaitFor([&] { return !wizard.Checked("Form8", "CheckBox"); }));
    wizard.Click("Form8", "Ready");
    ASSERT_TRUE(wizard.Exited());
    EXPECT_EQ(wizard.ExitCode(), 0u);
}

TEST_F(WizardTest, CancelAsksAndNoKeepsThePageOnEveryPageWithCancel) {
    GoTo("Form2");
    for (const char* page : {"Form2", "Form3", "Form4", "Form5", "Form6"}) {
        wizard.Click(page, "Cancel");
        ExpectExitConfirmation(page);
        if (std::string(page) == "Form2") Wizard::SaveScreen("08-exit-confirmation");
        wizard.Answer(confirmation, IDNO);
        ASSERT_TRUE(WaitFor([&] { return wizard.MessageBox().hwnd == nullptr; }));
        ASSERT_TRUE(wizard.WaitShown(page)) << page;
        if (std::string(page) == "Form3") {
            wizard.Click("Form3", "RadioButton1");
            ASSERT_TRUE(WaitFor([&] { return wizard.Enabled("Form3", "Next"); }));
        }
        if (std::string(page) == "Form4") {
            // Earlier cases installed into the default folder: avoid its
            // questions, about that folder and about that installation.
            wizard.SetText("Form4", "edDir", "C:\\qv-cancel-walk");
            DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        }
        if (std::string(page) != "Form6") {
            wizard.Click(page, "Next");
            ASSERT_TRUE(wizard.WaitShown(NextOf(page))) << "after " << page;
        }
    }
    // The close box asks the same question; Yes ends the program.
    wizard.CloseBox("Form6");
    ExpectExitConfirmation("Form6");
    wizard.Answer(confirmation, IDYES);
    ASSERT_TRUE(wizard.Exited());
    EXPECT_EQ(wizard.ExitCode(), 2u);  // left before installing
}

// A page closed while maximized or minimized hands on its ordinary place,
// and is shown again there.
TEST_F(WizardTest, APageClosedMaximizedOrMinimizedHandsOnItsOrdinaryPlace) {
    // On to the group page, taking the destination if an earlier case left it.
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form5"));
    const RECT place = wizard.WindowRect("Form5");
    PostMessageW(wizard.Form("Form5"), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return IsZoomed(wizard.Form("Form5")) != FALSE; }));
    wizard.Click("Form5", "Next");
    ASSERT_TRUE(wizard.WaitShown("Form6"));
    EXPECT_TRUE(SamePlace(wizard.WindowRect("Form6"), place));

    PostMessageW(wizard.Form("Form6"), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(wizard.Form("Form6")) != FALSE; }));
    wizard.Click("Form6", "Back");
    ASSERT_TRUE(wizard.WaitShown("Form5"));
    EXPECT_TRUE(SamePlace(wizard.WindowRect("Form5"), place));
    EXPECT_FALSE(IsZoomed(wizard.Form("Form5")));
    EXPECT_FALSE(IsIconic(wizard.Form("Form5")));
}

TEST_F(WizardTest, EnterOnTheFirstLicenceShowingAsksToLeave) {
    GoTo("Form3");
    ASSERT_TRUE(wizard.WaitFocus("Form3", "Cancel")) << wizard.Focused();
    wizard.PressKey(VK_RETURN);
    ExpectExitConfirmation("Form3");
    wizard.Answer(confirmation, IDYES);
    ASSERT_TRUE(wizard.Exited());
}

TEST_F(WizardTest, CloseBoxOnTheWelcomePageAnsweredYesEnds) {
    StartAndWaitWelcome();
    wizard.CloseBox("Form2");
    ExpectExitConfirmation("Form2");
    wizard.Answer(confirmation, IDNO);
    ASSERT_TRUE(wizard.WaitShown("Form2"));
    wizard.CloseBox("Form2");
    ExpectExitConfirmation("Form2");
    wizard.Answer(confirmation, IDYES);
    ASSERT_TRUE(wizard.Exited());
    EXPECT_FALSE(wizard.Visible("Form3"));
}

TEST(RefusedWizard, ShowsTheRightsErrorOnceAndNoPage) {
    Wizard wizard{QV_SETUP_REFUSED_EXE};
    Box box;
    ASSERT_TRUE(wizard.WaitMessageBox(box, 15s));
    Wizard::SaveScreen("00-refused");
    EXPECT_EQ(box.caption, "Установка Кворвель");
    EXPECT_EQ(box.text,
              "Программа \"Кворвель\" не может быть установлена, т.к. у Вас недостаточно прав для установки "
              "программного обеспечения.\n\nДля получения более детальной информации обратитесь к "
              "администратору компьютера.");
    EXPECT_EQ(box.owner, wizard.Form("Form1"));
    for (const char* page : kPages) EXPECT_FALSE(wizard.Visible(page)) << page;
    ExpectOneTaskbarButtonOn(wizard, "Form1");
    wizard.Answer(box, IDOK);
    ASSERT_TRUE(wizard.Exited());
    EXPECT_EQ(wizard.ExitCode(), 6u);  // no administrator's rights
}

}  // namespace
}  // namespace e2e
