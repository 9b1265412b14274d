#include "engine/install_sequence.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/text.h"
#include "support/install_rig.h"

namespace qv::test {
namespace {

using Lines = std::vector<std::string>;

const char kCopyError[] = "ask Ошибка копирования файла: ";
const char kTempError[] = "box Ошибка создания временного файла.";
const char kNoLogNote[] =
    "\n\nПрограмма не будет зарегистрирована в списке установленных программ: без этого файла её нельзя удалить.";
const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel V2.0";

std::string TooLong(const std::string& path) {
    return "box Слишком длинный путь к файлу: " + path +
           "\n\nПуть к файлу должен быть не длиннее 259 символов.";
}

// Registration refused: there is no uninstaller to remove the program with.
std::string NotRegistered(const InstallRig& rig) {
    return "box Программа не зарегистрирована в списке установленных программ: не установлена программа "
           "удаления\n\n" + rig.InDestination("UnInstall.exe");
}

// The log of a complete installation into rig's choices, as path=kind lines.
Lines CompleteLog(const InstallRig& rig, const Lines& entries) {
    const InstallChoices& c = rig.choices;
    const std::string group = c.programsPath + "\\" + c.groupName;
    Lines lines = {c.destination + "=D"};
    for (const std::string& name : entries) lines.push_back(rig.InDestination(name) + "=F");
    lines.push_back(rig.InDestination("lic.txt") + "=F");
    lines.push_back(group + "=D");
    lines.push_back(group + "\\Кворвель 2.0.lnk=F");
    lines.push_back(group + "\\Справка по Кворвель 2.0.lnk=F");
    lines.push_back(group + "\\Удалить Кворвель 2.0.lnk=F");
    if (c.desktopShortcut) lines.push_back(c.desktopPath + "\\Кворвель 2.0.lnk=F");
    lines.push_back(rig.InDestination("Peoples.clm") + "=F");
    lines.push_back(rig.InDestination("UnInstall.dat") + "=F");
    return lines;
}

// The size of the files in a folder, in kilobytes rounded up.
std::uint32_t KilobytesIn(const InstallRig& rig, const std::string& folder) {
    std::uint64_t bytes = 0;
    for (const auto& file : std::filesystem::directory_iterator(rig.Host(folder))) bytes += file.file_size();
    return static_cast<std::uint32_t>((bytes + 1023) / 1024);
}

Lines FirstNames(std::size_t count) {
    return Lines(PayloadNames().begin(), PayloadNames().begin() + count);
}

Lines Positions(int from, int to) {
    Lines positions;
    for (int i = from; i <= to; ++i) positions.push_back("position " + std::to_string(i));
    return positions;
}

TEST(InstallSequence, StepsRunInTheirFixedOrder) {
    InstallRig rig;
    rig.choices.desktopShortcut = false;
    rig.system.AddEntry(MakeEntry("Dates.dat", "31.12\r\n"));
    rig.system.AddEntry(MakeEntry("UnInstall.exe", "MZ"));
    const std::string d = rig.choices.destination;
    const std::string g = "C:\\Menu\\Programs\\Кворвель 2.0";

    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);

    const Lines expected = {
        "count",
        "range 0 2",
        "mkdir " + d,
        "file " + d + "\\Dates.dat",
        "save " + d + "\\tmp.zip",
        "expand " + d + "\\Dates.dat",
        "remove " + d + "\\tmp.zip",
        "position 1",
        "delay 100",
        "file " + d + "\\UnInstall.exe",
        "save " + d + "\\tmp.zip",
        "expand " + d + "\\UnInstall.exe",
        "remove " + d + "\\tmp.zip",
        "position 2",
        "delay 100",
        "save " + d + "\\lic.txt",
        "file ",
        "action Создание ярлыков...",
        "shortcuts begin",
        "mkdir " + g,
        "shortcut " + g + "\\Кворвель 2.0.lnk",
        "shortcut " + g + "\\Справка по Кворвель 2.0.lnk",
        "shortcut " + g + "\\Удалить Кворвель 2.0.lnk",
        "shortcuts end",
        "save " + d + "\\UnInstall.dat",
        "action Запись информации в реестр...",
        "registry " + std::string(kKey),
        "finished",
    };
    EXPECT_EQ(rig.trace.Texts(), expected);
}

TEST(InstallSequence, CompleteInstallationWithDesktopShortcut) {
    InstallRig rig;
    rig.AddPayload();

    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);

    for (const std::string& name : PayloadNames()) {
        EXPECT_EQ(rig.ReadFile(rig.InDestination(name)), InstallRig::PayloadData(name)) << name;
    }
    EXPECT_FALSE(rig.FileExists(rig.InDestination("tmp.zip")));
    EXPECT_EQ(rig.ReadFile(rig.InDestination("lic.txt")), rig.choices.licenceText);

    const Lines log = rig.SavedLog();
    EXPECT_EQ(log.size(), 25u);
    EXPECT_EQ(log, CompleteLog(rig, PayloadNames()));
    EXPECT_EQ(rig.log.Text(), rig.ReadFile(rig.InDestination("UnInstall.dat")));

    EXPECT_EQ(rig.trace.Matching("range"), Lines{"range 0 16"});
    EXPECT_EQ(rig.trace.Matching("position"), Positions(1, 16));
    EXPECT_EQ(rig.trace.Matching("delay").size(), 16u);
    EXPECT_TRUE(rig.trace.Matching("box").empty());
    EXPECT_TRUE(rig.trace.Matching("ask").empty());
    EXPECT_EQ(rig.trace.Texts().back(), "finished");
    EXPECT_TRUE(rig.report.Complete());
    EXPECT_TRUE(rig.report.applicationInPlace);
}

TEST(InstallSequence, ShortcutsAndRegistrationPointIntoTheDestination) {
    InstallRig rig;
    rig.AddPayload();
    rig.Run();

    const std::string d = rig.choices.destination;
    const std::string g = "C:\\Menu\\Programs\\Кворвель 2.0";
    struct Expected {
        std::string file;
        std::string target;
    };
    const std::vector<Expected> expected = {
        {g + "\\Кворвель 2.0.lnk", d + "\\QuorVel.exe"},
        {g + "\\Справка по Кворвель 2.0.lnk", d + "\\QuorVel.chm"},
        {g + "\\Удалить Кворвель 2.0.lnk", d + "\\UnInstall.exe"},
        {"C:\\Desktop\\Кворвель 2.0.lnk", d + "\\QuorVel.exe"},
    };
    const std::vector<Shortcut>& made = rig.system.Shortcuts();
    ASSERT_EQ(made.size(), expected.size());
    for (std::size_t i = 0; i < made.size(); ++i) {
        SCOPED_TRACE(made[i].file);
        EXPECT_EQ(made[i].file, expected[i].file);
        EXPECT_EQ(made[i].target, expected[i].target);
        EXPECT_EQ(made[i].workingFolder, d);
        EXPECT_EQ(made[i].arguments, "");
        EXPECT_EQ(made[i].iconFile, expected[i].target);
        EXPECT_EQ(made[i].iconIndex, 0);
        EXPECT_EQ(made[i].hotKey, 0);
        EXPECT_EQ(made[i].showCommand, 1);
    }
    EXPECT_TRUE(rig.FileExists(g + "\\Удалить Кворвель 2.0.lnk"));

    ASSERT_EQ(rig.system.RegistryWrites().size(), 1u);
    const auto& write = rig.system.RegistryWrites()[0];
    EXPECT_EQ(write.key, kKey);
    // The four values the system's list of programs shows, with the command
    // quoted; then what deployment tools read; then the levels the
    // installation made (here only the product folder and the group); then
    // what the uninstaller trusts over the log: the group, the desktop
    // shortcut and the log's own digest.
    using Strings = std::vector<std::string>;
    const std::vector<RegistryValue> values = {
        {"DisplayName", std::string("Кворвель 2.0")},
        {"DisplayIcon", d + "\\QuorVel.exe"},
        {"DisplayVersion", std::string("2.0")},
        {"UninstallString", "\"" + d + "\\UnInstall.exe\""},
        {"QuietUninstallString", "\"" + d + "\\UnInstall.exe\" /SILENT"},
        {"InstallLocation", d},
        {"Publisher", std::string("ООО «Кворвель Софт»")},
        {"EstimatedSize", KilobytesIn(rig, d)},
        {"NoModify", std::uint32_t{1}},
        {"NoRepair", std::uint32_t{1}},
        {"CreatedFolders", Strings{d, g}},
        {"StartMenuGroup", g},
        {"DesktopShortcut", std::string("C:\\Desktop\\Кворвель 2.0.lnk")},
        {"UninstallLogSha256", Sha256Hex(rig.ReadFile(d + "\\UnInstall.dat"))},
    };
    ASSERT_EQ(write.values.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(write.values[i].name, values[i].name);
        EXPECT_TRUE(write.values[i].data == values[i].data) << values[i].name;
    }
}

TEST(InstallSequence, WithoutDesktopShortcutTheLogHas24Lines) {
    InstallRig rig;
    rig.choices.desktopShortcut = false;
    rig.AddPayload();
    rig.Run();
    EXPECT_EQ(rig.SavedLog().size(), 24u);
    EXPECT_EQ(rig.SavedLog(), CompleteLog(rig, PayloadNames()));
    EXPECT_EQ(rig.system.Shortcuts().size(), 3u);
    EXPECT_FALSE(rig.FileExists("C:\\Desktop\\Кворвель 2.0.lnk"));
}

// Abort ends the installation: what the run wrote goes again, what was
// there before stays, and nothing points at files that are not there.
TEST(InstallSequence, AbortAtEntryFiveTakesBackWhatTheRunWrote) {
    InstallRig rig;
    rig.AddPayload();
    rig.MakeFolder("C:\\Program Files");
    rig.system.FailExpand(rig.InDestination("Dates.dat"), -1);
    rig.system.Answer({CopyAnswer::Abort});

    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);

    EXPECT_EQ(rig.trace.Matching("ask"), Lines{kCopyError + std::string("Dates.dat")});
    EXPECT_EQ(rig.trace.Matching("position"), Positions(1, 4));
    EXPECT_TRUE(rig.trace.Matching("save " + rig.InDestination("lic.txt")).empty());
    EXPECT_TRUE(rig.trace.Matching("shortcut").empty());
    EXPECT_TRUE(rig.system.RegistryWrites().empty());
    EXPECT_TRUE(rig.trace.Matching("box").empty());
    EXPECT_FALSE(rig.FileExists(rig.choices.destination));
    EXPECT_TRUE(rig.FileExists("C:\\Program Files"));
    EXPECT_EQ(rig.trace.Texts().back(), "finished");
    EXPECT_TRUE(rig.report.abortAnswered && rig.report.takenBack);
    EXPECT_TRUE(rig.report.notTakenBack.empty());
    EXPECT_FALSE(rig.report.applicationInPlace);
}

// A shortcut to a payload file the pass left out would point at nothing.
TEST(InstallSequence, NoShortcutIsMadeToAFileThatWasLeftOut) {
    InstallRig rig;
    rig.AddPayload();
    rig.system.FailExpand(rig.InDestination("Quorvel.exe"), -1);
    rig.system.Answer({CopyAnswer::Ignore});
    rig.Run();
    for (const Shortcut& shortcut : rig.system.Shortcuts()) {
        EXPECT_TRUE(rig.FileExists(shortcut.target)) << shortcut.file;
    }
    EXPECT_EQ(rig.system.Shortcuts().size(), 2u);
    EXPECT_EQ(rig.report.shortcutsLeftOut, 2);
}

// An installation registered in another folder is removed first, quietly,
// by its own uninstaller; one in the same folder is installed over.
TEST(InstallSequence, AnEarlierInstallationElsewhereIsRemovedFirst) {
    struct Case {
        const char* location;
        bool uninstallerThere;
        unsigned long exitCode;
        Lines runs;
        Lines boxes;
    };
    const std::string other = "C:\\Other";
    const std::string command = "run \"" + other + "\\UnInstall.exe\" /SILENT";
    const std::string left = "box Предыдущая установка программы Кворвель 2.0 в папке " + other +
                             " удалена не полностью: программа удаления завершилась с кодом 2.";
    const Case cases[] = {
        {"C:\\Other", true, 0, {command}, {}},
        {"C:\\Other", true, 2, {command}, {left}},
        {"C:\\Other", false, 0, {}, {}},
        {"c:\\program files\\quorvel v2.0\\", true, 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        InstallRig rig;
        rig.AddPayload();
        rig.system.SetMachineString("InstallLocation", c.location);
        if (c.uninstallerThere) rig.MakeFolder(other);
        if (c.uninstallerThere) WriteHostFile(rig.Host(other + "\\UnInstall.exe"), "MZ");
        bool earlierInstallationThere = true;
        rig.system.OnRun([&] {
            EXPECT_FALSE(rig.FileExists(rig.choices.destination)) << "written before the earlier one went";
            earlierInstallationThere = false;
            return c.exitCode;
        });
        rig.Run();
        EXPECT_EQ(rig.trace.Matching("run"), c.runs);
        EXPECT_EQ(rig.trace.Matching("box"), c.boxes);
        EXPECT_EQ(earlierInstallationThere, c.runs.empty());
        EXPECT_TRUE(rig.report.Complete());
    }
}

TEST(InstallSequence, RetryThenIgnoreLeavesOnlyThatFileOut) {
    InstallRig rig;
    rig.AddPayload();
    rig.system.FailExpand(rig.InDestination("Dates.dat"), -1);
    rig.system.Answer({CopyAnswer::Retry, CopyAnswer::Ignore});

    rig.Run();

    const std::string ask = kCopyError + std::string("Dates.dat");
    EXPECT_EQ(rig.trace.Matching("ask"), (Lines{ask, ask}));
    EXPECT_EQ(rig.trace.Matching("expand " + rig.InDestination("Dates.dat")).size(), 2u);
    EXPECT_FALSE(rig.FileExists(rig.InDestination("Dates.dat")));
    EXPECT_TRUE(rig.FileExists(rig.InDestination("Dates2.dat")));
    EXPECT_FALSE(rig.FileExists(rig.InDestination("tmp.zip")));
    EXPECT_EQ(rig.trace.Matching("position"), Positions(1, 16));
    EXPECT_EQ(rig.SavedLog(), CompleteLog(rig, PayloadNames()));
}

// Another program's file at the target that could not be replaced stays
// out of UnInstall.dat: the removal must not take it.
TEST(InstallSequence, AFileThatWasThereAndIsLeftOutIsNotLogged) {
    InstallRig rig;
    rig.AddPayload();
    rig.MakeFolder(rig.choices.destination);
    const std::string held = rig.InDestination("Dates.dat");
    std::ofstream(rig.Host(held), std::ios::binary) << "another program's";
    rig.system.FailExpand(held, -1);
    rig.system.Answer({CopyAnswer::Ignore});

    rig.Run();

    Lines expected = CompleteLog(rig, PayloadNames());
    expected.erase(std::find(expected.begin(), expected.end(), held + "=F"));
    EXPECT_EQ(rig.SavedLog(), expected);
    EXPECT_EQ(rig.ReadFile(held), "another program's");
}

TEST(InstallSequence, RetryAfterATransientFailureInstallsTheFile) {
    InstallRig rig;
    rig.AddPayload();
    rig.system.FailExpand(rig.InDestination("Quorvel.exe"), 1);
    rig.system.Answer({CopyAnswer::Retry});

    rig.Run();

    EXPECT_EQ(rig.trace.Matching("ask").size(), 1u);
    EXPECT_EQ(rig.ReadFile(rig.InDestination("Quorvel.exe")), InstallRig::PayloadData("Quorvel.exe"));
    EXPECT_EQ(rig.system.UnansweredBoxes(), 0u);
}

TEST(InstallSequence, TemporaryFileThatCannotBeCreatedStopsThePass) {
    InstallRig rig;
    rig.AddPayload();
    rig.system.FailSave(rig.InDestination("tmp.zip"));

    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);

    EXPECT_EQ(rig.trace.Matching("box"), (Lines{kTempError, NotRegistered(rig)}));
    EXPECT_TRUE(rig.trace.Matching("expand").empty());
    EXPECT_TRUE(rig.trace.Matching("position").empty());
    EXPECT_EQ(rig.SavedLog(), CompleteLog(rig, FirstNames(1)));
    EXPECT_EQ(rig.trace.Texts().back(), "finished");
}

TEST(InstallSequence, SecondInstallationKeepsTheUsersDataFiles) {
    InstallRig first;
    first.AddPayload("first");
    first.Run();

    InstallRig second(first.Drive());
    second.choices.desktopShortcut = false;
    second.AddPayload("second");
    EXPECT_EQ(second.Run(), InstallOutcome::Finished);

    for (const std::string& name : PayloadNames()) {
        const bool kept = name == "People.dat" || name == "Group.txt";
        EXPECT_EQ(second.ReadFile(second.InDestination(name)),
                  InstallRig::PayloadData(name, kept ? "first" : "second")) << name;
    }
    // A kept entry still goes through its temporary file and its progress step.
    EXPECT_TRUE(second.trace.Matching("expand " + second.InDestination("People.dat")).empty());
    EXPECT_EQ(second.trace.Matching("save " + second.InDestination("tmp.zip")).size(), 16u);
    EXPECT_EQ(second.trace.Matching("position"), Positions(1, 16));
    EXPECT_FALSE(second.FileExists(second.InDestination("tmp.zip")));
    // The log is this run's alone.
    EXPECT_EQ(second.SavedLog(), CompleteLog(second, PayloadNames()));
}

TEST(InstallSequence, KeepRuleLooksAtTheEntryNameNotAtThePath) {
    InstallRig rig;
    rig.choices.destination = "C:\\Program Files\\People.dat Group.txt";
    rig.MakeFolder(rig.choices.destination);
    rig.system.AddEntry(MakeEntry("Dates.dat", "new dates"));
    rig.system.AddEntry(MakeEntry("people.DAT", "new people"));
    rig.system.AddEntry(MakeEntry("Group.txt", "new groups"));
    WriteHostFile(rig.Host(rig.InDestination("Dates.dat")), "old dates");
    WriteHostFile(rig.Host(rig.InDestination("people.DAT")), "old people");

    rig.Run();

    EXPECT_EQ(rig.ReadFile(rig.InDestination("Dates.dat")), "new dates");
    EXPECT_EQ(rig.ReadFile(rig.InDestination("people.DAT")), "old people");
    EXPECT_EQ(rig.ReadFile(rig.InDestination("Group.txt")), "new groups");
}

TEST(InstallSequence, NoEntriesAtAll) {
    InstallRig rig;
    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);
    EXPECT_EQ(rig.trace.Matching("box"), Lines{NotRegistered(rig)});
    EXPECT_EQ(rig.ReadFile(rig.InDestination("lic.txt")), rig.choices.licenceText);
    EXPECT_EQ(rig.trace.Matching("range"), Lines{"range 0 0"});
    EXPECT_TRUE(rig.trace.Matching("position").empty());
    EXPECT_EQ(rig.SavedLog(), CompleteLog(rig, {}));
    EXPECT_EQ(rig.system.Shortcuts().size(), 4u);
}

TEST(InstallSequence, EntriesThatCannotBeLoadedOrReadArePassedOver) {
    InstallRig rig;
    rig.system.AddEntry(MakeEntry("a.dat", "a"));
    rig.system.AddUnloadableEntry();
    rig.system.AddEntry("too short");
    rig.system.AddEntry(std::string(20, 'n') + "no terminator in the name field");
    rig.system.AddEntry(std::string("..\\evil.dat") + std::string(9, '\0') + "stream");
    rig.system.AddEntry(MakeEntry("b.dat", "b"));

    rig.Run();

    ASSERT_EQ(rig.SavedLog().size(), 11u);
    EXPECT_EQ(rig.trace.Matching("range"), Lines{"range 0 6"});
    EXPECT_EQ(rig.trace.Matching("position"), Positions(1, 2));
    EXPECT_EQ(rig.SavedLog()[1], rig.InDestination("a.dat") + "=F");
    EXPECT_EQ(rig.SavedLog()[2], rig.InDestination("b.dat") + "=F");
    EXPECT_EQ(rig.SavedLog()[3], rig.InDestination("lic.txt") + "=F");
    EXPECT_FALSE(rig.FileExists("C:\\Program Files\\evil.dat"));
}

TEST(InstallSequence, DestinationEndingInABackslashIsUsedAsTyped) {
    InstallRig rig;
    rig.choices.destination = "C:\\Inst\\";
    rig.system.AddEntry(MakeEntry("Dates.dat", "dates"));
    rig.system.AddEntry(MakeEntry("UnInstall.exe", "MZ"));

    rig.Run();

    const Lines log = rig.SavedLog();
    ASSERT_EQ(log.size(), 11u);
    EXPECT_EQ(log[0], "C:\\Inst\\=D");
    EXPECT_EQ(log[1], "C:\\Inst\\\\Dates.dat=F");
    EXPECT_EQ(log[3], "C:\\Inst\\\\lic.txt=F");
    EXPECT_EQ(log[10], "C:\\Inst\\\\UnInstall.dat=F");
    EXPECT_EQ(rig.ReadFile("C:\\Inst\\Dates.dat"), "dates");
    ASSERT_EQ(rig.system.RegistryWrites().size(), 1u);
    EXPECT_EQ(std::get<std::string>(rig.system.RegistryWrites()[0].values[1].data), "C:\\Inst\\\\QuorVel.exe");
}

TEST(InstallSequence, GroupFolderThatIsTheDestinationHasOneLineAtTheTop) {
    InstallRig rig;
    rig.choices.programsPath = "C:\\Program Files";
    rig.choices.groupName = "quorvel v2.0";  // the destination, in other letters
    rig.AddPayload();

    rig.Run();

    const Lines log = rig.SavedLog();
    EXPECT_EQ(log.size(), 24u);
    EXPECT_EQ(log[0], "C:\\Program Files\\quorvel v2.0=D");
    int folders = 0;
    for (const std::string& line : log) folders += line.back() == 'D';
    EXPECT_EQ(folders, 1);
}

TEST(InstallSequence, EveryMissingLevelOfDestinationAndGroupIsCreated) {
    InstallRig rig;
    rig.choices.destination = "C:\\Apps\\Tools\\QuorVel";
    rig.choices.groupName = "Игры\\Справочники\\Кворвель";
    rig.system.AddEntry(MakeEntry("Dates.dat", "dates"));

    rig.Run();

    EXPECT_EQ(rig.trace.Matching("mkdir"),
              (Lines{"mkdir C:\\Apps", "mkdir C:\\Apps\\Tools", "mkdir C:\\Apps\\Tools\\QuorVel",
                     "mkdir C:\\Menu\\Programs\\Игры", "mkdir C:\\Menu\\Programs\\Игры\\Справочники",
                     "mkdir C:\\Menu\\Programs\\Игры\\Справочники\\Кворвель"}));
    EXPECT_EQ(rig.ReadFile("C:\\Apps\\Tools\\QuorVel\\Dates.dat"), "dates");
    ASSERT_EQ(rig.SavedLog().size(), 10u);
    EXPECT_TRUE(rig.FileExists("C:\\Menu\\Programs\\Игры\\Справочники\\Кворвель\\Кворвель 2.0.lnk"));
    EXPECT_EQ(rig.SavedLog()[3], "C:\\Menu\\Programs\\Игры\\Справочники\\Кворвель=D");
}

TEST(InstallSequence, EmptyGroupNameLogsTheProgramsFolderWithABackslash) {
    InstallRig rig;
    rig.choices.groupName = "";
    rig.Run();
    EXPECT_TRUE(rig.trace.Matching("mkdir C:\\Menu").empty());
    ASSERT_EQ(rig.SavedLog().size(), 9u);
    EXPECT_EQ(rig.SavedLog()[2], "C:\\Menu\\Programs\\=D");
    EXPECT_EQ(rig.SavedLog()[3], "C:\\Menu\\Programs\\\\Кворвель 2.0.lnk=F");
    EXPECT_TRUE(rig.FileExists("C:\\Menu\\Programs\\Кворвель 2.0.lnk"));
}

// A destination so long that even the temporary file does not fit: nothing
// is written under a shortened name, and each file that cannot be written
// is named in a box.
TEST(InstallSequence, DestinationTooLongForItsFilesWritesNothingShortened) {
    InstallRig rig;
    rig.choices.destination = "C:\\" + std::string(252, 'd');
    rig.AddPayload();

    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);

    EXPECT_EQ(rig.trace.Matching("box"),
              (Lines{TooLong(rig.InDestination("tmp.zip")), TooLong(rig.InDestination("lic.txt")),
                     TooLong(rig.InDestination("UnInstall.dat")) + kNoLogNote}));
    EXPECT_TRUE(rig.trace.Matching("save").empty());
    EXPECT_EQ(rig.log.Count(), 10u);
    EXPECT_EQ(rig.trace.Texts().back(), "finished");
}

TEST(InstallSequence, TargetTooLongIsPassedOverWithABox) {
    InstallRig rig;
    rig.choices.destination = "C:\\" + std::string(247, 'd');  // 250 characters
    rig.system.AddEntry(MakeEntry("a.dat", "a"));         // 256: fits
    rig.system.AddEntry(MakeEntry("Quorvel.exe", "q"));   // 262: does not

    rig.Run();

    EXPECT_EQ(rig.ReadFile(rig.InDestination("a.dat")), "a");
    EXPECT_EQ(rig.trace.Matching("box").front(), TooLong(rig.InDestination("Quorvel.exe")));
    EXPECT_TRUE(rig.trace.Matching("expand " + rig.InDestination("Quorvel.exe")).empty());
    EXPECT_EQ(rig.trace.Matching("position"), Positions(1, 2));
    EXPECT_FALSE(rig.FileExists(rig.InDestination("tmp.zip")));
    EXPECT_EQ(rig.log.Line(2), rig.InDestination("Quorvel.exe") + "=F");
}

TEST(InstallSequence, ShortcutsThatDoNotFitAreLeftOutButLogged) {
    InstallRig rig;
    // Group folder of 235 characters: the 17-character main shortcut name
    // fits, the help (28) and removal (25) names do not.
    rig.choices.programsPath = "C:\\" + std::string(100, 'p');
    rig.choices.groupName = std::string(235 - 104, 'g');
    rig.choices.desktopPath = "C:\\" + std::string(240, 'k');
    rig.MakeFolder(rig.choices.programsPath);
    rig.system.AddEntry(MakeEntry("UnInstall.exe", "MZ"));

    rig.Run();

    const std::string group = rig.choices.programsPath + "\\" + rig.choices.groupName;
    ASSERT_EQ(group.size(), 235u);
    EXPECT_EQ(rig.trace.Matching("shortcut C"), Lines{"shortcut " + group + "\\Кворвель 2.0.lnk"});
    EXPECT_TRUE(rig.trace.Matching("box").empty());
    EXPECT_EQ(rig.SavedLog(), CompleteLog(rig, {"UnInstall.exe"}));
}

TEST(InstallSequence, ShortcutsWhoseTargetDoesNotFitAreLeftOutButLogged) {
    // Destination of 245 characters: "\\QuorVel.exe" and "\\QuorVel.chm" make
    // 257-character targets that fit, "\\UnInstall.exe" one of 259 that fits;
    // at 247 the removal target (261) no longer does, at 249 none does.
    for (size_t length : {245u, 247u, 249u}) {
        InstallRig run;
        run.choices.destination = "C:\\" + std::string(length - 3, 'd');
        run.Run();
        const Lines made = run.trace.Matching("shortcut C");
        for (const std::string& line : made) {
            EXPECT_EQ(line.find("UnInstall"), std::string::npos) << length;  // never a target past the limit
        }
        const size_t expected = length == 245 ? 4u : length == 247 ? 3u : 0u;
        EXPECT_EQ(made.size(), expected) << length;
        // Every shortcut is logged all the same.
        const std::string log = run.log.Text();
        for (const char* name : {"\\Кворвель 2.0.lnk=F", "\\Справка по Кворвель 2.0.lnk=F",
                                 "\\Удалить Кворвель 2.0.lnk=F"}) {
            EXPECT_NE(log.find(name), std::string::npos) << length << name;
        }
    }
}

TEST(InstallSequence, FilesThatCannotBeSavedAreNamedAndTheInstallationGoesOn) {
    InstallRig rig;
    rig.AddPayload();
    rig.system.FailSave(rig.InDestination("lic.txt"));
    rig.system.FailSave(rig.InDestination("UnInstall.dat"));

    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);

    EXPECT_EQ(rig.trace.Matching("box"),
              (Lines{"box Ошибка записи файла: " + rig.InDestination("lic.txt"),
                     "box Ошибка записи файла: " + rig.InDestination("UnInstall.dat") + kNoLogNote}));
    EXPECT_EQ(rig.system.Shortcuts().size(), 4u);
    // Without its log the uninstaller could remove nothing: no registration.
    EXPECT_TRUE(rig.system.RegistryWrites().empty());
    EXPECT_FALSE(rig.report.registered);
    EXPECT_EQ(rig.log.Count(), 25u);
    EXPECT_EQ(rig.trace.Texts().back(), "finished");
}

TEST(InstallSequence, RegistryFailureIsShownAndTheInstallationFinishes) {
    InstallRig rig;
    rig.system.AddEntry(MakeEntry("UnInstall.exe", "MZ"));
    rig.system.FailRegistry();
    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);
    EXPECT_EQ(rig.trace.Matching("box"),
              Lines{"box Ошибка записи информации в реестр.\n\n"
                    "Программа не зарегистрирована в списке установленных программ."});
    EXPECT_FALSE(rig.report.registered);
    EXPECT_EQ(rig.trace.Texts().back(), "finished");
}

// The destination and the group as the pages take them.
TEST(InstallSequence, OnlyFullDestinationsAndGroupsInsideTheirFolderAreTaken) {
    for (const char* full : {"C:\\QuorVel", "d:/x", "\\\\server\\share\\QV"}) EXPECT_TRUE(IsFullPath(full)) << full;
    for (const char* partial : {"", "QV", "\\QuorVel", "C:QV", "\\\\"}) EXPECT_FALSE(IsFullPath(partial)) << partial;
    for (const char* inside : {"Кворвель 2.0", "Тест\\Кворвель", "a..b", ".", "a:b", "\\x"}) {
        EXPECT_TRUE(StaysInside(inside)) << inside;
    }
    for (const char* outside : {"..", "a\\..\\..", "../x", ".. "}) {
        EXPECT_FALSE(StaysInside(outside)) << outside;
    }
}

// A further value that fails is said, and the installation counts as one
// with errors, but the program stays registered with every other value.
TEST(InstallSequence, AFailingFurtherRegistryValueIsShownAndTheRestIsRegistered) {
    InstallRig rig;
    rig.system.AddEntry(MakeEntry("UnInstall.exe", "MZ"));
    rig.system.FailRegistryValue("Publisher");
    EXPECT_EQ(rig.Run(), InstallOutcome::Finished);
    EXPECT_EQ(rig.trace.Matching("box"), Lines{"box Ошибка записи информации в реестр.\n\nНе записаны значения: Publisher."});
    EXPECT_TRUE(rig.report.registered);
    ASSERT_EQ(rig.system.RegistryWrites().size(), 1u);
    EXPECT_EQ(rig.system.RegistryWrites()[0].values.size(), 13u);
    EXPECT_EQ(rig.report.unwrittenValues, std::vector<std::string>{"Publisher"});
    EXPECT_FALSE(rig.report.Complete());
}

}  // namespace
}  // namespace qv::test

namespace qv::test {
namespace {

// A folder typed without its drive is where the files really go; the log
// and the registration name it in full.
TEST(InstallSequence, ADestinationWithoutItsDriveIsLoggedWhereTheFilesGo) {
    const std::pair<const char*, const char*> rows[] = {
        {"foo", "C:\\Current\\foo"},
        {"\\QuorVel", "C:\\QuorVel"},
    };
    for (const auto& [typed, full] : rows) {
        SCOPED_TRACE(typed);
        InstallRig rig;
        rig.choices.destination = typed;
        rig.AddPayload();
        rig.Run();
        EXPECT_EQ(rig.log.Line(0), std::string(full) + "=D");
        EXPECT_EQ(rig.ReadFile(std::string(full) + "\\UnInstall.dat"), rig.log.Text());
        EXPECT_EQ(rig.ReadFile(std::string(full) + "\\Dates.dat"), InstallRig::PayloadData("Dates.dat"));
        EXPECT_EQ(rig.report.destination, full);
        ASSERT_EQ(rig.system.RegistryWrites().size(), 1u);
        EXPECT_EQ(std::get<std::string>(rig.system.RegistryWrites()[0].values[3].data),
                  "\"" + std::string(full) + "\\UnInstall.exe\"");
    }
}

// An entry that does not expand to exactly the file the build packed is a
// failed copy, named as damaged, and is not left in the destination.
TEST(InstallSequence, ADamagedEntryIsAFailedCopyNamedAsDamaged) {
    const std::string damagedBox = kCopyError + std::string("Dates.dat") +
                                   "\n\nФайл в программе установки повреждён: распакованный файл не совпадает с исходным.";
    const std::function<void(InstallRig&)> damages[] = {
        // The stream's signature broken: the library copies it as it is.
        [](InstallRig& rig) { rig.system.ReplaceEntry("Dates.dat", [](std::string& e) { e[20] = 'X'; }); },
        // The stream cut short: the library writes what it holds.
        [](InstallRig& rig) { rig.system.ReplaceEntry("Dates.dat", [](std::string& e) { e.resize(e.size() - 40); }); },
        // The right size, other bytes: only the digest tells.
        [](InstallRig& rig) {
            PayloadDigests table = *PayloadDigests::Parse(rig.system.PayloadDigestTable());
            PayloadDigests changed;
            for (const std::string& name : PayloadNames()) {
                FileDigest digest = *table.Find(name);
                if (name == "Dates.dat") digest.sha256 = std::string(64, '0');
                changed.Add(name, digest);
            }
            rig.system.SetDigestTable(changed.Format());
        },
    };
    int row = 0;
    for (const auto& damage : damages) {
        SCOPED_TRACE(row++);
        InstallRig rig;
        rig.AddPayload();
        damage(rig);
        rig.system.Answer({CopyAnswer::Ignore});
        rig.Run();
        EXPECT_EQ(rig.trace.Matching("ask"), Lines{damagedBox});
        EXPECT_FALSE(rig.FileExists(rig.InDestination("Dates.dat")));
        EXPECT_TRUE(rig.FileExists(rig.InDestination("Dates2.dat")));
        EXPECT_EQ(rig.report.leftOut, Lines{"Dates.dat"});
        EXPECT_EQ(rig.report.MissingFiles(), 1);
        EXPECT_FALSE(rig.report.Complete());
    }
}

// The registration names every folder level the installer had to make,
// and keeps those an earlier installation made that are still there and
// lead to this installation's folders.
TEST(InstallSequence, TheFolderLevelsItMadeAreRecordedForTheUninstaller) {
    InstallRig rig;
    rig.choices.destination = "C:\\a\\b\\c\\d";
    rig.choices.groupName = "A\\B";
    rig.MakeFolder("C:\\Old");
    rig.system.SetMachineStrings("CreatedFolders", {"C:\\Old", "C:\\Gone", "c:\\a"});
    rig.system.AddEntry(MakeEntry("UnInstall.exe", "MZ"));
    rig.Run();
    ASSERT_EQ(rig.system.RegistryWrites().size(), 1u);
    const std::vector<RegistryValue>& values = rig.system.RegistryWrites()[0].values;
    const auto found = std::find_if(values.begin(), values.end(),
                                       [](const RegistryValue& v) { return v.name == "CreatedFolders"; });
    ASSERT_NE(found, values.end());
    const RegistryValue& created = *found;
    const Lines expected = {"c:\\a", "C:\\a\\b", "C:\\a\\b\\c", "C:\\a\\b\\c\\d",
                            "C:\\Menu\\Programs\\A", "C:\\Menu\\Programs\\A\\B"};
    EXPECT_EQ(std::get<Lines>(created.data), expected);
}

// The longest destination the pages take leaves room for the longest file
// the installation writes, and not a character more.
TEST(InstallSequence, TheLongestDestinationHoldsEveryFileWhole) {
    ASSERT_EQ(LongestDestination(), 245u);  // "\\" + "Republics.dat" within 259
    InstallRig rig;
    rig.choices.destination = "C:\\" + std::string(LongestDestination() - 3, 'd');
    rig.AddPayload();
    rig.Run();
    EXPECT_TRUE(rig.trace.Matching("box").empty());
    EXPECT_TRUE(rig.report.Complete());
    EXPECT_FALSE(FitsMaxPath(rig.choices.destination + "x\\Republics.dat"));
}

// A write that fails on a full disk names the disk, whichever file it was.
TEST(InstallSequence, AFullDiskIsNamedWithItsDrive) {
    InstallRig rig;
    rig.AddPayload();
    rig.system.FillDisk(rig.InDestination("Dates.dat"));
    rig.system.FillDisk(rig.InDestination("lic.txt"));
    rig.system.Answer({CopyAnswer::Ignore});
    rig.Run();
    const std::string full = "\n\nНедостаточно места на диске C:.";
    EXPECT_EQ(rig.trace.Matching("ask"), Lines{kCopyError + std::string("Dates.dat") + full});
    EXPECT_EQ(rig.trace.Matching("box"), Lines{"box Ошибка записи файла: " + rig.InDestination("lic.txt") + full});

    EXPECT_EQ(DiskFullNote("\\\\srv\\share\\QV\\a.dat", kErrorHandleDiskFull),
              "\n\nНедостаточно места на диске \\\\srv\\share.");
    EXPECT_EQ(DiskFullNote("C:\\QV\\a.dat", 5), "");  // another error: said as before
    for (const char* none : {"", "QV\\a", "\\\\srv"}) EXPECT_EQ(DriveOf(none), "") << none;
}

// A link where the installation would write is neither followed nor
// replaced: the file is left out (the run did not complete), named in a
// box, and not logged for the removal; the pass goes on.
TEST(InstallSequence, ALinkInAFilesPlaceIsNamedAndLeftOut) {
    InstallRig rig;
    rig.AddPayload();
    rig.system.PlantLink(rig.InDestination("Descript.txt"));
    rig.system.PlantLink(rig.InDestination("lic.txt"));
    rig.Run();
    const std::string after =
        "\n\nНа его месте находится ссылка на другой файл или папку. Программа установки не записывает файлы "
        "через ссылки.";
    EXPECT_EQ(rig.trace.Matching("box"), (Lines{"box Файл не записан: " + rig.InDestination("Descript.txt") + after,
                                                "box Файл не записан: " + rig.InDestination("lic.txt") + after}));
    EXPECT_TRUE(rig.trace.Matching("ask").empty());
    EXPECT_EQ(rig.report.leftOut, Lines{"Descript.txt"});
    EXPECT_FALSE(rig.report.licenceSaved || rig.report.Complete());
    EXPECT_EQ(rig.report.entriesInPlace, 15);
    EXPECT_EQ(rig.log.Text().find("Descript.txt"), std::string::npos);
}

// Folder levels go into the uninstall key before they are made, so that a
// run that never reaches its registration leaves them to the next run's;
// a run that is taken back puts the key back as it found it.
TEST(InstallSequence, FolderLevelsAreRecordedBeforeTheyAreMade) {
    InstallRig killed;
    killed.choices.groupName = "A\\B";
    killed.trace.OnEvent([&](std::size_t index) {
        const std::string event = killed.trace.Texts()[index];
        if (event.rfind("mkdir ", 0) != 0) return;
        EXPECT_TRUE(ContainsNoCase(killed.system.ReadMachineStrings(kKey, "CreatedFolders"), event.substr(6))) << event;
    });
    killed.Run();
    const Lines record = killed.system.ReadMachineStrings(kKey, "CreatedFolders");
    EXPECT_EQ(record, (Lines{killed.choices.destination, "C:\\Menu\\Programs\\A", "C:\\Menu\\Programs\\A\\B"}));

    // The next run finds every folder there and makes none.
    InstallRig next(killed.Drive());
    next.choices.groupName = "A\\B";
    next.system.SetMachineStrings("CreatedFolders", record);
    next.system.AddEntry(MakeEntry("UnInstall.exe", "MZ"));
    next.Run();
    EXPECT_TRUE(next.trace.Matching("mkdir").empty());
    ASSERT_EQ(next.system.RegistryWrites().size(), 1u);
    for (const RegistryValue& value : next.system.RegistryWrites()[0].values) {
        if (value.name == "CreatedFolders") {
            EXPECT_EQ(std::get<Lines>(value.data), record);
        }
    }

    // Taken back: the key made for the record goes; an earlier list stays.
    for (const bool earlier : {false, true}) {
        InstallRig aborted;
        aborted.AddPayload();
        if (earlier) aborted.system.SetMachineStrings("CreatedFolders", {"C:\\Old"});
        aborted.system.FailExpand(aborted.InDestination("Dates.dat"), -1);
        aborted.system.Answer({CopyAnswer::Abort});
        aborted.Run();
        EXPECT_EQ(aborted.system.MachineKeyDeleted(), !earlier);
        EXPECT_EQ(aborted.system.ReadMachineStrings(kKey, "CreatedFolders"), earlier ? Lines{"C:\\Old"} : Lines{});
    }
}

// Without the shell's folders no shortcut is made anywhere, and none is logged.
TEST(InstallSequence, WithoutTheShellFoldersNoShortcutIsMade) {
    InstallRig rig;
    rig.choices.programsPath.clear();
    rig.choices.desktopPath.clear();
    rig.AddPayload();
    rig.Run();
    EXPECT_TRUE(rig.system.Shortcuts().empty());
    const Lines log = rig.SavedLog();
    ASSERT_EQ(log.size(), 20u);
    EXPECT_EQ(log[17], rig.InDestination("lic.txt") + "=F");
    EXPECT_EQ(log[18], rig.InDestination("Peoples.clm") + "=F");
    EXPECT_TRUE(rig.report.Complete());
}

}  // namespace
}  // namespace qv::test
