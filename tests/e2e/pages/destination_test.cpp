// The destination folder page of the real setup program: the default, the
// folder tree and the drive selector, a typed path, and the question asked
// before installing into something that already exists.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/driver/scenario.h"
#include "toolkit/program_text.h"
#include "toolkit/win_handles.h"

namespace e2e {
namespace {


int IndexOf(const std::vector<std::string>& items, const std::string& item) {
    const auto at = std::find(items.begin(), items.end(), item);
    return at == items.end() ? -1 : static_cast<int>(at - items.begin());
}

// The index of the drive selector's item for a letter ("c:", "z: [label]"...).
int DriveIndex(const std::vector<std::string>& items, char letter) {
    const std::string prefix = std::string(1, letter) + ":";
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
    }
    return -1;
}

// The folder the tree shows as open: the chain of items down to the selection.
std::string OpenFolder(const std::vector<std::string>& items, int selected) {
    if (items.empty() || selected < 0) return {};
    std::string folder = items[0];
    for (int i = 1; i <= selected && i < static_cast<int>(items.size()); ++i) {
        if (folder.back() != '\\') folder += '\\';
        folder += items[static_cast<size_t>(i)];
    }
    return folder;
}

bool HasDefaultButton(HWND box, int button) {
    return (GetWindowLongW(GetDlgItem(box, button), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

class DestinationPage : public ::testing::Test {
protected:
    // An earlier case's installation is not one the page should ask about.
    void SetUp() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey); }

    std::string Destination() const { return wizard.Text("Form4", "edDir"); }
    bool DestinationIs(const std::string& text) const {
        return WaitFor([&] { return Destination() == text; });
    }
    // Next on the destination page: the folder-exists question, checked.
    void NextAsksAbout(const std::string& path) {
        wizard.Click("Form4", "Next");
        ASSERT_TRUE(wizard.WaitMessageBox(box, 20s)) << "no question for " << path;
        EXPECT_EQ(box.caption, kFolderExistsCaption);
        EXPECT_EQ(box.text, FolderExistsText(path));
        EXPECT_EQ(box.owner, wizard.Form("Form4"));
        EXPECT_NE(GetDlgItem(box.hwnd, IDYES), nullptr);
        EXPECT_NE(GetDlgItem(box.hwnd, IDNO), nullptr);
        EXPECT_TRUE(HasDefaultButton(box.hwnd, IDYES));
    }
    void Answer(int button) {
        wizard.Answer(box, button);
        ASSERT_TRUE(WaitFor([&] { return wizard.MessageBox().hwnd == nullptr; }));
    }

    Wizard wizard{QV_SETUP_EXE};
    Box box;
};

TEST_F(DestinationPage, TheTreeAndTheDriveSelectorRewriteTheDestination) {
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));
    EXPECT_EQ(Destination(), kDefaultDestination);
    const std::vector<std::string> drives = wizard.ComboItems("Form4", "DriveList");
    const int c = DriveIndex(drives, 'c');
    ASSERT_GE(c, 0) << ::testing::PrintToString(drives);
    EXPECT_EQ(wizard.ComboSelection("Form4", "DriveList"), c);

    // The tree shows the chain down to Program Files, then its subfolders.
    std::vector<std::string> items = wizard.ListItems("Form4", "DirList");
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[0], "C:\\");
    EXPECT_EQ(items[1], "Program Files");
    EXPECT_EQ(wizard.ListSelection("Form4", "DirList"), 1);
    const int common = IndexOf(items, "Common Files");
    ASSERT_GE(common, 2) << ::testing::PrintToString(items);
    Wizard::SaveScreen("1x-destination-tree");

    // Opening a folder with a double-click replaces whatever was typed.
    wizard.SetText("Form4", "edDir", "C:\\typed by hand");
    wizard.DoubleClickListItem("Form4", "DirList", common);
    EXPECT_TRUE(DestinationIs("C:\\Program Files\\Common Files\\QuorVel V2.0")) << Destination();
    items = wizard.ListItems("Form4", "DirList");
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[2], "Common Files");
    EXPECT_EQ(wizard.ListSelection("Form4", "DirList"), 2);

    // The drive root, chosen with the mouse and opened with Enter: one backslash.
    wizard.ClickListItem("Form4", "DirList", 0);
    ASSERT_TRUE(WaitFor([&] { return wizard.ListSelection("Form4", "DirList") == 0; }));
    ASSERT_TRUE(WaitFor([&] { return wizard.Focused() == "DirList"; }));
    wizard.PressKey(VK_RETURN);
    EXPECT_TRUE(DestinationIs("C:\\QuorVel V2.0")) << Destination();
    EXPECT_EQ(wizard.ListItems("Form4", "DirList").front(), "C:\\");
    EXPECT_TRUE(wizard.Visible("Form4")) << "Enter in the tree must not press a button";

    // Another drive: the tree moves to that drive's folder, and so does the text.
    const int z = DriveIndex(drives, 'z');
    ASSERT_GE(z, 0) << ::testing::PrintToString(drives);
    wizard.ChooseComboItem("Form4", "DriveList", z);
    ASSERT_TRUE(WaitFor([&] { return Destination().compare(0, 3, "Z:\\") == 0; })) << Destination();
    items = wizard.ListItems("Form4", "DirList");
    const std::string zFolder = OpenFolder(items, wizard.ListSelection("Form4", "DirList"));
    EXPECT_EQ(zFolder.compare(0, 3, "Z:\\"), 0) << zFolder;
    EXPECT_EQ(Destination(), zFolder + (zFolder.back() == '\\' ? "" : "\\") + kProductFolderName);
    // Back on C:, the tree is where it was left there.
    wizard.ChooseComboItem("Form4", "DriveList", c);
    EXPECT_TRUE(DestinationIs("C:\\QuorVel V2.0")) << Destination();
    EXPECT_EQ(wizard.ComboSelection("Form4", "DriveList"), c);

    wizard.CloseBox("Form4");
    ASSERT_TRUE(wizard.WaitMessageBox(box));
    EXPECT_EQ(box.caption, kExitCaption);
    Answer(IDYES);
    ASSERT_TRUE(wizard.Exited());
}

TEST_F(DestinationPage, ATypedPathSurvivesBackAndNextAndIsWhereTheInstallationGoes) {
    const std::string destination = "C:\\qv typed Кворвель";
    RemoveTree(destination);
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));
    wizard.SetText("Form4", "edDir", destination);
    wizard.Click("Form4", "Back");
    ASSERT_TRUE(wizard.WaitShown("Form3"));
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form3", "Form4"));
    EXPECT_EQ(Destination(), destination);
    EXPECT_TRUE(wizard.WaitFocus("Form4", "Next")) << wizard.Focused();

    // A folder that does not exist yet is not asked about.
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form4", "Form5"));
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form5", "Form6"));
    ASSERT_NO_FATAL_FAILURE(InstallFromTasks(wizard));
    ExpectFilesInstalled(destination);
    const auto log = ReadTextFile(destination + "\\UnInstall.dat");
    ASSERT_TRUE(log);
    EXPECT_EQ(log->substr(0, destination.size() + 4), destination + "=D\r\n");
    ExpectRegistration(destination);
    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard));
}

TEST_F(DestinationPage, NextOnAnExistingFolderOrFileAsksAndBackNeverDoes) {
    const std::string folder = "C:\\qv-exists";
    const std::string file = "C:\\qv-exists.txt";
    ASSERT_TRUE(MakeFolders(folder));
    ASSERT_TRUE(WriteWhole(file, "not a folder"));
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form4"));

    // Back leaves without a question, even for an existing folder.
    wizard.SetText("Form4", "edDir", folder);
    wizard.Click("Form4", "Back");
    ASSERT_TRUE(wizard.WaitShown("Form3"));
    EXPECT_EQ(wizard.MessageBox().hwnd, nullptr);
    ASSERT_NO_FATAL_FAILURE(NextPage(wizard, "Form3", "Form4"));

    // No keeps the page and the text.
    ASSERT_NO_FATAL_FAILURE(NextAsksAbout(folder));
    Wizard::SaveScreen("1x-folder-exists");
    ASSERT_NO_FATAL_FAILURE(Answer(IDNO));
    ASSERT_TRUE(wizard.WaitShown("Form4"));
    EXPECT_EQ(Destination(), folder);

    // A file at that path is asked about the same way.
    wizard.SetText("Form4", "edDir", file);
    ASSERT_NO_FATAL_FAILURE(NextAsksAbout(file));
    ASSERT_NO_FATAL_FAILURE(Answer(IDNO));
    ASSERT_TRUE(wizard.WaitShown("Form4"));
    EXPECT_EQ(Destination(), file);

    // Cancel asks only whether to leave.
    wizard.Click("Form4", "Cancel");
    ASSERT_TRUE(wizard.WaitMessageBox(box));
    EXPECT_EQ(box.caption, kExitCaption);
    ASSERT_NO_FATAL_FAILURE(Answer(IDNO));
    ASSERT_TRUE(wizard.WaitShown("Form4"));
    EXPECT_EQ(Destination(), file);

    // Yes moves on; an empty text (which would mean the drive's root) is
    // refused with a box, and the page stays.
    wizard.SetText("Form4", "edDir", folder);
    ASSERT_NO_FATAL_FAILURE(NextAsksAbout(folder));
    ASSERT_NO_FATAL_FAILURE(Answer(IDYES));
    ASSERT_TRUE(wizard.WaitShown("Form5"));
    wizard.Click("Form5", "Back");
    ASSERT_TRUE(wizard.WaitShown("Form4"));
    EXPECT_EQ(wizard.MessageBox().hwnd, nullptr);
    wizard.SetText("Form4", "edDir", "");
    wizard.Click("Form4", "Next");
    ASSERT_TRUE(wizard.WaitMessageBox(box, 20s));
    EXPECT_EQ(box.caption, "Папка не указана");
    EXPECT_EQ(box.text, "Укажите папку, в которую будет установлено приложение Кворвель.");
    ASSERT_NO_FATAL_FAILURE(Answer(IDOK));
    ASSERT_TRUE(wizard.WaitShown("Form4"));

    // So is a path without its drive, which would lead into the wizard's
    // own folder or the drive's root, and one too long for the files to
    // go into whole.
    const std::string tooLong = "C:\\QV-long\\" + std::string(250 - 11, 'x');
    const std::pair<std::string, std::string> refused[] = {
        {"QV", "Неверный путь"}, {"\\QuorVel", "Неверный путь"}, {tooLong, "Слишком длинный путь"}};
    for (const auto& [text, caption] : refused) {
        wizard.SetText("Form4", "edDir", text);
        wizard.Click("Form4", "Next");
        ASSERT_TRUE(wizard.WaitMessageBox(box, 20s)) << text;
        EXPECT_EQ(box.caption, caption);
        if (text == tooLong) Wizard::SaveScreen("1x-destination-too-long");
        ASSERT_NO_FATAL_FAILURE(Answer(IDOK));
        ASSERT_TRUE(wizard.WaitShown("Form4"));
        EXPECT_EQ(Destination(), text);
    }
    EXPECT_EQ(box.text,
              "Слишком длинный путь к папке установки (250 симв.).\n\nПуть к папке установки должен быть не длиннее "
              "245 символов, чтобы полный путь каждого файла программы был не длиннее 259 символов. Укажите папку с "
              "более коротким путём.");
    EXPECT_FALSE(Exists("C:\\QV-long"));

    // Installed in another folder: asked whether to remove that one first;
    // No keeps the page, Yes moves on.
    {
        const std::string earlier = "C:\\qv-earlier";
        qv::UniqueRegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, qv::ToWide(kUninstallKey).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        const std::wstring value = qv::ToWide(earlier);
        ASSERT_EQ(RegSetValueExW(key.get(), L"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        wizard.SetText("Form4", "edDir", kDefaultDestination);
        for (const int answer : {IDNO, IDYES}) {
            wizard.Click("Form4", "Next");
            ASSERT_TRUE(wizard.WaitMessageBox(box, 20s));
            EXPECT_EQ(box.caption, kEarlierInstallationCaption);
            EXPECT_EQ(box.text, "Программа Кворвель 2.0 уже установлена в папку:\n\n" + earlier +
                                    "\n\nПеред установкой в другую папку программа установки удалит её. Файлы с "
                                    "Вашими данными останутся в прежней папке. Продолжить?");
            if (answer == IDNO) Wizard::SaveScreen("1x-earlier-installation");
            ASSERT_NO_FATAL_FAILURE(Answer(answer));
        }
        ASSERT_TRUE(wizard.WaitShown("Form5"));
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        wizard.Click("Form5", "Back");
        ASSERT_TRUE(wizard.WaitShown("Form4"));
    }

    wizard.CloseBox("Form4");
    ASSERT_TRUE(wizard.WaitMessageBox(box));
    ASSERT_NO_FATAL_FAILURE(Answer(IDYES));
    ASSERT_TRUE(wizard.Exited());
    RemoveTree(folder);
    RemoveTree(file);
}

}  // namespace
}  // namespace e2e
