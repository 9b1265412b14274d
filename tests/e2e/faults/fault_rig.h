#pragma once
// What the fault scenarios share: a clean system before each case, the
// installation's own boxes, and the uninstall log of an installation whose
// installing pass stopped early.
#include <string>
#include <vector>

#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/system_checks.h"

namespace e2e {

// The payload entry the copy faults are made on, and the contents another
// program left in it.
inline constexpr char kHeldEntry[] = "Dates.dat";
inline constexpr char kHeldText[] = "открыт другой программой";
// When the LZ library cannot open a file it tries the same name with the
// last character replaced by "_"; with OF_CREATE it makes that file.
inline constexpr char kHeldFallback[] = "Dates.da_";
inline constexpr char kHeldCopyError[] = "Ошибка копирования файла: Dates.dat";

// What the installation adds when the program cannot be registered.
inline constexpr char kNoLogNote[] =
    "\n\nПрограмма не будет зарегистрирована в списке установленных программ: без этого файла её нельзя удалить.";
inline constexpr char kNotRegisteredNote[] = "\n\nПрограмма не зарегистрирована в списке установленных программ.";
inline constexpr char kNoUninstaller[] =
    "Программа не зарегистрирована в списке установленных программ: не установлена программа удаления\n\n";
inline constexpr char kFinishedWithErrors[] = "Установка Кворвель завершена с ошибками";

// Dates.dat in the destination held open by another program; its fallback
// name is held too, so that the entry cannot be written under it either.
class HeldTarget {
public:
    HeldTarget();
    bool held() const { return target_.held() && fallback_.held(); }
    void Release();
    // Both files as the test made them.
    void ExpectUntouched() const;

private:
    HeldFile target_;
    HeldFile fallback_;
};

// Whether the uninstall key registers a program (its name or its removal
// command); a run that ends unregistered may leave the key with only the
// folder levels it made, for the next run to take over.
bool Registered();

// A file system of 1 MB mounted at kFolder for the life of the object; it
// needs root, and mounted() says whether it is there.
class SmallDisk {
public:
    static constexpr char kFolder[] = "C:\\QVFull";
    SmallDisk();
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }

private:
    bool mounted_ = false;
};

// Cleans up on construction: a fixture's first member, so that the wizard
// (a later member) starts on a clean system.
struct CleanSystem {
    CleanSystem();
};

// Next on the tasks page; waits until the progress page is on screen.
void StartInstallation(const Wizard& wizard);
// Waits for one of the installation's own boxes (no owner, caption of the
// installation) and checks those two things.
void WaitInstallBox(const Wizard& wizard, Box& box, std::chrono::milliseconds limit = 90s);

// The progress page's updates reach it through its message queue: these
// wait a moment for the label or the bar to show the value.
void ExpectLabel(const Wizard& wizard, const char* label, const std::string& text);
void ExpectPosition(const Wizard& wizard, int position);

// The log of an installation whose installing pass stopped at `lastEntry`
// (a payload name), with the desktop shortcut.
std::vector<std::string> LogLinesStoppedAt(const std::string& lastEntry,
                                           const std::string& destination = kDefaultDestination);
// The lines without the held entry's: a file that was there before the run
// and that setup did not write is not in UnInstall.dat.
std::vector<std::string> WithoutTheHeldEntry(std::vector<std::string> lines);

// Each payload file that is present in the destination: byte for byte the
// packed one; `expectPresent` names those that must be there, the others
// must not (except `untouched`, which is left as the test made it).
void ExpectPayloadFiles(const std::vector<std::string>& expectPresent, const std::string& untouched = "",
                        const std::string& destination = kDefaultDestination);

// Opens the uninstall key that was closed to writing again and checks that
// it holds no value while every file and the whole log are there.
void ExpectInstalledButNotRegistered(DeniedRegistryKey& denied);

// The payload names after `last`.
std::vector<std::string> PayloadNamesAfter(const std::string& last);

}  // namespace e2e
