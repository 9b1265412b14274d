#include "engine/install_sequence.h"

#include <algorithm>

#include "engine/install_contract.h"
#include "engine/paths.h"
#include "engine/payload_entry.h"
#include "engine/szdd.h"
#include "engine/text.h"

namespace qv {

const char kInstallCaption[] = "Программа установки Кворвель";

namespace {

using contract::kFileKind;
using contract::kFolderKind;
using contract::kLogFileName;
using contract::kTempFileName;
using contract::kUninstallerFileName;

using contract::kLicenceFileName;
using contract::kApplicationFileName;

const char kTempFileError[] = "Ошибка создания временного файла.";
const char kCopyError[] = "Ошибка копирования файла: ";
const char kDamagedNote[] = "\n\nФайл в программе установки повреждён: распакованный файл не совпадает с исходным.";
const char kSaveError[] = "Ошибка записи файла: ";
const char kPathTooLong[] = "Слишком длинный путь к файлу: ";
const char kPathLimitNote[] = "\n\nПуть к файлу должен быть не длиннее 259 символов.";
const char kDiskFull[] = "Недостаточно места на диске";
const char kLinkedBefore[] = "Файл не записан: ";
const char kLinkedAfter[] =
    "\n\nНа его месте находится ссылка на другой файл или папку. Программа установки не записывает файлы через "
    "ссылки.";
const char kNoLogNote[] =
    "\n\nПрограмма не будет зарегистрирована в списке установленных программ: без этого файла её нельзя удалить.";

const unsigned kEntryPauseMs = 100;

// Entries whose file the user may have changed: an existing one is kept.
bool IsKeptOnReinstall(std::string_view name) { return ContainsNoCase(contract::kUserDataFiles, name); }

std::string PathTooLongText(const std::string& path) { return kPathTooLong + path + kPathLimitNote; }

std::string Bytes(std::uint64_t size) { return std::to_string(size) + " байт"; }

NoRunLog gNoRunLog;

}  // namespace

bool FitsMaxPath(std::string_view path) { return Utf16Length(path) < kMaxPath; }

std::size_t LongestDestination() {
    std::size_t longest = 0;
    for (std::string_view name : contract::DestinationFileNames()) longest = std::max(longest, name.size());
    // The folder, a backslash and the name, within the limit (which counts
    // the terminator).
    return kMaxPath - 1 - 1 - longest;
}

std::string DriveOf(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':' && !IsSeparator(path[0])) return std::string(path.substr(0, 2));
    if (path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return std::string();
    // \\server\share
    std::size_t end = 2;
    for (int part = 0; part < 2; ++part) {
        end = path.find_first_of("\\/", end + (part == 0 ? 0 : 1));
        if (end == std::string_view::npos) return part == 0 ? std::string() : std::string(path);
    }
    return std::string(path.substr(0, end));
}

std::string DiskFullNote(std::string_view path, unsigned long error) {
    if (error != kErrorDiskFull && error != kErrorHandleDiskFull) return std::string();
    const std::string drive = DriveOf(path);
    return std::string("\n\n") + kDiskFull + (drive.empty() ? "" : " " + drive) + ".";
}

std::string LinkedText(std::string_view path) {
    std::string text = kLinkedBefore;
    text += path;
    return text += kLinkedAfter;
}

std::string InFolder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '\\';
    path += name;
    return path;
}

CopyAnswer UnattendedCopyAnswer(int attempt) { return attempt <= 3 ? CopyAnswer::Retry : CopyAnswer::Abort; }

std::string QuotedCommand(std::string_view path, std::string_view arguments) {
    std::string command = "\"";
    command += path;
    command += '"';
    if (!arguments.empty()) {
        command += ' ';
        command += arguments;
    }
    return command;
}

const InstallSequence::Step InstallSequence::kSteps[] = {
    &InstallSequence::CountEntries,      &InstallSequence::SetProgressRange,
    &InstallSequence::LogDestination,    &InstallSequence::RemoveEarlierInstallation,
    &InstallSequence::InstallEntries,
    &InstallSequence::SaveLicence,       &InstallSequence::AnnounceShortcuts,
    &InstallSequence::MakeShortcuts,     &InstallSequence::LogUserData,
    &InstallSequence::LogUninstallLog,   &InstallSequence::SaveUninstallLog,
    &InstallSequence::AnnounceRegistration, &InstallSequence::Register,
    &InstallSequence::Finish,
};

InstallSequence::InstallSequence(const InstallChoices& choices, InstallSystem& system, ProgressSink& progress,
                                 InstallGate& gate, UninstallLog& log, RunLog& runLog)
    : choices_(choices), system_(system), progress_(progress), gate_(gate), log_(log), runLog_(runLog) {}

InstallSequence::InstallSequence(const InstallChoices& choices, InstallSystem& system, ProgressSink& progress,
                                 InstallGate& gate, UninstallLog& log)
    : InstallSequence(choices, system, progress, gate, log, gNoRunLog) {}

InstallOutcome InstallSequence::Run() {
    for (Step step : kSteps) {
        if (!gate_.Pass()) {
            runLog_.Write("Установка прервана пользователем.");
            TakeBack();
            return InstallOutcome::Abandoned;
        }
        (this->*step)();
        if (report_.abortAnswered) {
            TakeBack();
            Finish();
            break;
        }
    }
    return InstallOutcome::Finished;
}

void InstallSequence::CountEntries() {
    report_.entryCount = system_.CountEntries();
    const std::string table = system_.PayloadDigestTable();
    if (!table.empty()) {
        if (std::optional<PayloadDigests> parsed = PayloadDigests::Parse(table)) {
            digests_ = std::move(*parsed);
        }
        // A table that cannot be read checks every file as damaged.
        haveDigests_ = true;
    }
    runLog_.Write("Файлов в программе установки: " + std::to_string(report_.entryCount) + ".");
}

void InstallSequence::SetProgressRange() { progress_.SetRange(0, report_.entryCount); }

void InstallSequence::LogDestination() {
    // A folder typed without its drive is where the files really go, made
    // full, so that every path the log holds names it wherever it is read.
    destination_ = IsFullPath(choices_.destination) ? choices_.destination : system_.FullPath(choices_.destination);
    report_.destination = destination_;
    log_.Set(destination_, kFolderKind);
    if (destination_ != choices_.destination) {
        runLog_.Write("Папка установки указана не полностью: файлы устанавливаются в " + destination_);
    }
}

void InstallSequence::InstallEntries() {
    system_.ForEachEntry([this](std::string_view entry) { return gate_.Pass() && InstallEntry(entry); });
}

void InstallSequence::LeaveOut(const std::string& name) {
    report_.leftOut.push_back(name);
    runLog_.Write("Файл не установлен: " + InDestination(name));
}

bool InstallSequence::InstallEntry(std::string_view entry) {
    // An entry whose name field is not a plain file name ended by a NUL
    // could not be put into the destination folder under its own name; it
    // is passed over like one that cannot be loaded.
    PayloadEntry parsed;
    if (ParsePayloadEntry(entry, parsed) != EntryStatus::kOk) {
        runLog_.Write("Запись программы установки повреждена (имя файла не читается): пропущена.");
        return true;
    }
    const std::string& name = parsed.name;

    EnsureDestination();

    const std::string target = InDestination(name);
    log_.Set(target, kFileKind);
    progress_.SetFileName(target);

    const std::string tmp = InDestination(kTempFileName);
    if (!FitsMaxPath(tmp)) {
        system_.ShowError(PathTooLongText(tmp));
        report_.passStopped = report_.tempFileFailed = true;
        return false;
    }
    if (const SaveOutcome saved = system_.SaveFile(tmp, parsed.stream); saved != SaveResult::Saved) {
        ShowSaveError(kTempFileError, tmp, saved);
        report_.passStopped = report_.tempFileFailed = true;
        return false;
    }

    // What the entry must expand to, as its own header says; a stream whose
    // header cannot be read (its signature broken) expands to nothing right.
    SzddHeader header;
    const std::optional<std::uint64_t> expectedSize =
        ReadSzddHeader(parsed.stream, header) == SzddStatus::kOk ? std::optional<std::uint64_t>(header.expandedSize)
                                                                : std::nullopt;

    written_.AddFile(tmp);
    const bool existed = system_.Exists(target);
    const bool keep = IsKeptOnReinstall(name) && existed;
    Placed placed = keep ? Placed::Yes : Placed::No;
    // A file that was there before and that this run did not write is not
    // this installation's: its removal must never take it; nor is a link
    // that stood in the file's place.
    const auto notOurs = [&] {
        if (existed || placed == Placed::Linked) log_.Remove(target);
    };
    const bool goOn = keep || ExpandEntry(tmp, target, name, expectedSize, placed);
    if (!existed && placed != Placed::Linked) written_.AddFile(target);
    if (!goOn) {
        report_.passStopped = true;
        notOurs();
        LeaveOut(name);
        return false;
    }

    system_.RemoveFile(tmp);
    if (placed == Placed::Yes) {
        ++report_.entriesInPlace;
        inPlace_.push_back(name);
        const std::uint64_t size = system_.FileSize(target).value_or(0);
        installedBytes_ += size;
        runLog_.Write((keep ? "Оставлен имеющийся файл с данными пользователя " : "Установлен файл ") + target +
                      " (" + Bytes(size) + ").");
    } else {
        notOurs();
        LeaveOut(name);
    }
    ++entriesDone_;
    progress_.SetPosition(entriesDone_);
    system_.Delay(kEntryPauseMs);
    return true;
}

bool InstallSequence::ExpandEntry(const std::string& tmp, const std::string& target, const std::string& name,
                                  std::optional<std::uint64_t> expectedSize, Placed& placed) {
    placed = Placed::No;
    if (!FitsMaxPath(target)) {
        // No shorter name would be the file asked for: the entry is passed over.
        system_.ShowError(PathTooLongText(target));
        return gate_.Pass();
    }
    for (int attempt = 1;; ++attempt) {
        std::string failure = kCopyError + name;
        const ExpandOutcome expanded = system_.ExpandFile(tmp, target);
        if (expanded == ExpandResult::Linked) {
            // Neither followed nor replaced: the file is left out.
            placed = Placed::Linked;
            system_.ShowError(LinkedText(target));
            return gate_.Pass();
        }
        if (expanded == ExpandResult::Expanded) {
            const std::string damage = DamageOf(target, name, expectedSize);
            if (damage.empty()) {
                placed = Placed::Yes;
                return true;
            }
            runLog_.Write("Файл повреждён: " + target + ": " + damage);
            system_.RemoveFile(target);  // never left behind as if it were the right one
            failure += kDamagedNote;
        } else {
            failure += DiskFullNote(target, expanded.error);
        }
        const CopyAnswer answer = system_.AskCopyFailed(failure, attempt);
        // The user may have left the installation while the box was open.
        if (!gate_.Pass()) return false;
        if (answer == CopyAnswer::Abort) {
            report_.abortAnswered = true;
            return false;
        }
        if (answer == CopyAnswer::Ignore) return true;
    }
}

std::string InstallSequence::DamageOf(const std::string& target, const std::string& name,
                                      std::optional<std::uint64_t> expectedSize) {
    if (!expectedSize) return "заголовок сжатого файла не читается";
    const std::optional<std::uint64_t> size = system_.FileSize(target);
    if (size != expectedSize) {
        return "размер " + (size ? std::to_string(*size) : std::string("неизвестен")) + " вместо " +
               std::to_string(*expectedSize);
    }
    if (!haveDigests_) return std::string();
    const FileDigest* expected = digests_.Find(name);
    if (!expected || expected->size != *expectedSize) return "файла нет в таблице контрольных сумм";
    const std::optional<std::string> digest = system_.FileSha256(target);
    if (digest != expected->sha256) return "контрольная сумма SHA-256 не совпадает";
    return std::string();
}

void InstallSequence::SaveLicence() {
    // With no entry installed the destination may not be there yet.
    EnsureDestination();
    const std::string path = InDestination(kLicenceFileName);
    report_.licenceSaved = Save(path, system_.TextFileBytes(choices_.licenceText));
    log_.Set(path, kFileKind);
}

void InstallSequence::LogUserData() { log_.Set(InDestination(contract::kApplicationDataFileName), kFileKind); }

void InstallSequence::LogUninstallLog() { log_.Set(InDestination(kLogFileName), kFileKind); }

void InstallSequence::SaveUninstallLog() {
    EnsureDestination();
    const std::string path = InDestination(kLogFileName);
    if (!FitsMaxPath(path)) {
        system_.ShowError(PathTooLongText(path) + kNoLogNote);
        return;
    }
    const std::string bytes = system_.TextFileBytes(log_.Text());
    NoteIfNew(path);
    if (const SaveOutcome saved = system_.SaveFile(path, bytes); saved != SaveResult::Saved) {
        ShowSaveError(kSaveError + path, path, saved, kNoLogNote);
        return;
    }
    report_.logSaved = true;
    installedBytes_ += bytes.size();
    runLog_.Write("Сохранён журнал удаления " + path + " (строк: " + std::to_string(log_.Count()) + ").");
}

void InstallSequence::Finish() {
    report_.applicationInPlace = !report_.takenBack && IsInPlace(kApplicationFileName);
    report_.finished = true;
    if (report_.takenBack) {
        runLog_.Write("Установка прервана.");
    } else if (report_.Complete()) {
        runLog_.Write("Установка завершена.");
    } else {
        runLog_.Write("Установка завершена с ошибками; не установлено файлов: " +
                      std::to_string(report_.MissingFiles()) + ".");
    }
    progress_.Finished(report_);
}

void InstallSequence::NoteIfNew(const std::string& path) {
    if (!system_.Exists(path)) written_.AddFile(path);
}

void InstallSequence::TakeBack() {
    if (report_.registered) return;
    report_.takenBack = true;
    report_.notTakenBack = written_.TakeBack(system_);
    RestoreFolderRecord();
    for (const std::string& path : report_.notTakenBack) runLog_.Write("Не удалось удалить " + path);
    runLog_.Write(report_.notTakenBack.empty() ? "Всё, что записала установка, удалено."
                                               : "Не всё, что записала установка, удалось удалить.");
}

void InstallSequence::EnsureDestination() {
    if (!system_.Exists(destination_)) MakeFolders(destination_);
}

void InstallSequence::MakeFolders(const std::string& path) {
    // Every missing level, from the outermost in; a level that cannot be
    // made shows up later, when something is written into it. The levels
    // made are recorded, for the uninstaller to remove once empty.
    std::vector<std::string> missing;
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i])) continue;
        if (IsSeparator(path[i - 1])) continue;
        std::string level = path.substr(0, i);
        if (!FitsMaxPath(level)) break;
        if (!system_.Exists(level)) missing.push_back(std::move(level));
    }
    if (missing.empty()) return;
    RecordFolders(missing);
    bool allMade = true;
    for (const std::string& level : missing) {
        if (system_.MakeFolder(level)) {
            written_.AddFolder(level);
        } else {
            allMade = false;
        }
    }
    if (allMade) return;
    // The record keeps only the levels that are there.
    if (written_.Folders().empty()) {
        RestoreFolderRecord();
        recordBefore_.reset();
        return;
    }
    std::vector<std::string> recorded = *recordBefore_;
    for (const std::string& level : written_.Folders()) {
        if (!ContainsNoCase(recorded, level)) recorded.push_back(level);
    }
    system_.WriteMachineStrings(contract::kUninstallKey, contract::kCreatedFolders, recorded);
}

void InstallSequence::RecordFolders(const std::vector<std::string>& levels) {
    std::vector<std::string> recorded = system_.ReadMachineStrings(contract::kUninstallKey, contract::kCreatedFolders);
    if (!recordBefore_) recordBefore_ = recorded;
    const std::size_t before = recorded.size();
    for (const std::string& level : levels) {
        if (!ContainsNoCase(recorded, level)) recorded.push_back(level);
    }
    if (recorded.size() != before) {
        system_.WriteMachineStrings(contract::kUninstallKey, contract::kCreatedFolders, recorded);
    }
}

void InstallSequence::RestoreFolderRecord() {
    if (!recordBefore_) return;
    if (!recordBefore_->empty()) {
        system_.WriteMachineStrings(contract::kUninstallKey, contract::kCreatedFolders, *recordBefore_);
    } else if (system_.ReadMachineString(contract::kUninstallKey, contract::kUninstallString).empty()) {
        // No installation is registered there: the key was made for the record.
        system_.DeleteMachineKey(contract::kUninstallKey);
    } else {
        system_.DeleteMachineValue(contract::kUninstallKey, contract::kCreatedFolders);
    }
}

void InstallSequence::ShowSaveError(const std::string& text, const std::string& path, const SaveOutcome& saved,
                                    std::string_view note) {
    std::string box = saved == SaveResult::Linked ? LinkedText(path) : text + DiskFullNote(path, saved.error);
    box += note;
    system_.ShowError(box);
}

bool InstallSequence::Save(const std::string& path, std::string_view bytes) {
    if (!FitsMaxPath(path)) {
        system_.ShowError(PathTooLongText(path));
        return false;
    }
    NoteIfNew(path);
    if (const SaveOutcome saved = system_.SaveFile(path, bytes); saved != SaveResult::Saved) {
        ShowSaveError(kSaveError + path, path, saved);
        return false;
    }
    installedBytes_ += bytes.size();
    runLog_.Write("Сохранён файл " + path + " (" + Bytes(bytes.size()) + ").");
    return true;
}

bool InstallSequence::IsMissing(std::string_view name) {
    return (ContainsNoCase(report_.leftOut, name) || report_.passStopped) && !IsInPlace(name);
}

bool InstallSequence::IsInPlace(std::string_view name) {
    return ContainsNoCase(inPlace_, name) || system_.Exists(InDestination(name));
}

std::string InstallSequence::InDestination(std::string_view name) const { return InFolder(destination_, name); }

}  // namespace qv
