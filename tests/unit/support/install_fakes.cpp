#include "support/install_fakes.h"

#include <openssl/sha.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "engine/payload_digests.h"
#include "engine/payload_entry.h"
#include "engine/szdd.h"
#include "engine/text.h"

namespace qv::test {

void Trace::Add(std::string text) {
    std::size_t index;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::size_t passed = gate_ ? gate_->Passed() : 0;
        events_.push_back(Event{std::move(text), passed});
        index = events_.size() - 1;
    }
    if (hook_) hook_(index);
}

std::vector<Trace::Event> Trace::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

std::vector<std::string> Trace::Texts() const {
    std::vector<std::string> texts;
    for (const Event& e : Events()) texts.push_back(e.text);
    return texts;
}

std::size_t Trace::Size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_.size();
}

std::vector<std::string> Trace::Matching(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const Event& e : Events()) {
        if (e.text.compare(0, prefix.size(), prefix) == 0) found.push_back(e.text);
    }
    return found;
}

std::string FakeInstallSystem::HostPath(const std::string& path) const {
    std::string host;
    std::string rest;
    if (path.size() >= 2 && EqualNoCase(path.substr(0, 2), "C:")) {
        host = root_;
        rest = path.substr(2);
    } else {
        host = root_ + "/not-on-drive-c";
        rest = path;
    }
    for (char c : rest) host += (c == '\\') ? '/' : c;
    return host;
}

void FakeInstallSystem::ReplaceEntry(const std::string& name, const std::function<void(std::string&)>& change) {
    for (Entry& entry : entries_) {
        if (entry.bytes.compare(0, name.size() + 1, name + '\0') == 0) change(entry.bytes);
    }
}

void FakeInstallSystem::FailExpand(const std::string& target, int times) {
    failExpand_.emplace_back(target, times);
}

void FakeInstallSystem::Answer(std::initializer_list<CopyAnswer> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

int FakeInstallSystem::CountEntries() {
    trace_.Add("count");
    return static_cast<int>(entries_.size());
}

void FakeInstallSystem::ForEachEntry(const EntryVisitor& visit) {
    for (const Entry& entry : entries_) {
        if (!entry.loadable) continue;
        if (!visit(entry.bytes)) return;
    }
}

bool FakeInstallSystem::Exists(const std::string& path) {
    struct stat st;
    return ::stat(HostPath(path).c_str(), &st) == 0;
}

bool FakeInstallSystem::MakeFolder(const std::string& path) {
    trace_.Add("mkdir " + path);
    return ::mkdir(HostPath(path).c_str(), 0755) == 0;
}

SaveOutcome FakeInstallSystem::SaveFile(const std::string& path, std::string_view bytes) {
    trace_.Add("save " + path);
    if (failSave_.count(path)) return SaveResult::NotCreated;
    if (linked_.count(path)) return SaveResult::Linked;
    if (diskFull_.count(path)) return {SaveResult::Incomplete, kErrorDiskFull};
    std::ofstream out(HostPath(path), std::ios::binary | std::ios::trunc);
    if (!out) return SaveResult::NotCreated;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out ? SaveResult::Saved : SaveResult::Incomplete;
}

ExpandOutcome FakeInstallSystem::ExpandFile(const std::string& source, const std::string& target) {
    trace_.Add("expand " + target);
    if (linked_.count(target)) return ExpandResult::Linked;
    if (diskFull_.count(target)) return {ExpandResult::CopyFailed, kErrorHandleDiskFull};
    for (auto& [path, times] : failExpand_) {
        if (path == target && times != 0) {
            if (times > 0) --times;
            return ExpandResult::OpenFailed;
        }
    }
    std::ifstream in(HostPath(source), std::ios::binary);
    if (!in) return ExpandResult::OpenFailed;
    const std::string stream((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(HostPath(target), std::ios::binary | std::ios::trunc);
    if (!out) return ExpandResult::OpenFailed;
    std::string data;
    if (stream.compare(0, kSzddSignature.size(), kSzddSignature) == 0) {
        // As the LZ library does, a stream cut short gives what it holds.
        const SzddStatus status = ExpandSzdd(stream, data);
        if (status != SzddStatus::kOk && status != SzddStatus::kTruncated) return ExpandResult::CopyFailed;
    } else {
        data = stream;  // not compressed: copied as it is
    }
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return out ? ExpandResult::Expanded : ExpandResult::CopyFailed;
}

bool FakeInstallSystem::RemoveFile(const std::string& path) {
    trace_.Add("remove " + path);
    return std::remove(HostPath(path).c_str()) == 0;
}

bool FakeInstallSystem::RemoveFolder(const std::string& path) {
    trace_.Add("rmdir " + path);
    return ::rmdir(HostPath(path).c_str()) == 0;
}

std::optional<std::uint64_t> FakeInstallSystem::FileSize(const std::string& path) {
    struct stat st;
    if (::stat(HostPath(path).c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::string> FakeInstallSystem::FileSha256(const std::string& path) {
    if (!Exists(path)) return std::nullopt;
    return Sha256Hex(ReadHostFile(HostPath(path)));
}

std::string FakeInstallSystem::FullPath(const std::string& path) {
    if (!path.empty() && (path[0] == '\\' || path[0] == '/')) return "C:" + path;
    return currentFolder_ + "\\" + path;
}

void FakeInstallSystem::ShowError(const std::string& text) { trace_.Add("box " + text); }

CopyAnswer FakeInstallSystem::AskCopyFailed(const std::string& text, int) {
    trace_.Add("ask " + text);
    if (answers_.empty()) {
        ++unanswered_;
        return CopyAnswer::Abort;
    }
    const CopyAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void FakeInstallSystem::Delay(unsigned milliseconds) {
    trace_.Add("delay " + std::to_string(milliseconds));
}

void FakeInstallSystem::BeginShortcuts() {
    trace_.Add("shortcuts begin");
    inShortcutStage_ = true;
}

bool FakeInstallSystem::MakeShortcut(const Shortcut& shortcut) {
    trace_.Add("shortcut " + shortcut.file);
    EXPECT_TRUE(inShortcutStage_) << "shortcut made outside the shortcut stage";
    shortcuts_.push_back(shortcut);
    // The real shell link object fails when the folder is missing.
    std::ofstream out(HostPath(shortcut.file), std::ios::binary | std::ios::trunc);
    out << "link to " << shortcut.target;
    return static_cast<bool>(out);
}

void FakeInstallSystem::EndShortcuts() {
    trace_.Add("shortcuts end");
    inShortcutStage_ = false;
}

std::vector<std::string> FakeInstallSystem::WriteMachineValues(const std::string& key,
                                                               const std::vector<RegistryValue>& values) {
    trace_.Add("registry " + key);
    std::vector<std::string> failed;
    std::vector<RegistryValue> written;
    for (const RegistryValue& value : values) {
        if (failRegistry_ || value.name == failedValue_) {
            failed.push_back(value.name);
        } else {
            written.push_back(value);
        }
    }
    if (!failRegistry_) registry_.push_back(RegistryWrite{key, written});
    return failed;
}

std::vector<std::string> FakeInstallSystem::ReadMachineStrings(const std::string&, const std::string& name) {
    const auto found = machineStrings_.find(name);
    return found == machineStrings_.end() ? std::vector<std::string>() : found->second;
}

std::string FakeInstallSystem::ReadMachineString(const std::string&, const std::string& name) {
    const auto found = machineTexts_.find(name);
    return found == machineTexts_.end() ? std::string() : found->second;
}

bool FakeInstallSystem::WriteMachineStrings(const std::string&, const std::string& name,
                                            const std::vector<std::string>& strings) {
    if (failRegistry_) return false;
    machineStrings_[name] = strings;
    keyDeleted_ = false;
    return true;
}

bool FakeInstallSystem::DeleteMachineValue(const std::string&, const std::string& name) {
    machineStrings_.erase(name);
    return true;
}

bool FakeInstallSystem::DeleteMachineKey(const std::string&) {
    machineStrings_.clear();
    machineTexts_.clear();
    keyDeleted_ = true;
    return true;
}

std::optional<unsigned long> FakeInstallSystem::RunAndWait(const std::string& commandLine) {
    trace_.Add("run " + commandLine);
    if (!onRun_) return std::nullopt;
    return onRun_();
}

void RecordingSink::SetAction(const std::string& text) { trace_.Add("action " + text); }
void RecordingSink::SetFileName(const std::string& text) { trace_.Add("file " + text); }
void RecordingSink::SetRange(int minimum, int maximum) {
    trace_.Add("range " + std::to_string(minimum) + " " + std::to_string(maximum));
}
void RecordingSink::SetPosition(int position) { trace_.Add("position " + std::to_string(position)); }
void RecordingSink::Finished(const InstallReport&) { trace_.Add("finished"); }
void RecordingSink::Failed(const std::string& what) { trace_.Add("failed " + what); }

TempFolder::TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qv_install_XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteHostFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool HostExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string Sha256Hex(std::string_view bytes) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), digest);
    return HexDigest(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
}

std::string MakeEntry(const std::string& name, const std::string& data) {
    std::string entry;
    if (BuildPayloadEntry(name, CompressSzdd(data), entry) != EntryStatus::kOk) {
        throw std::invalid_argument("bad entry name: " + name);
    }
    return entry;
}

}  // namespace qv::test
