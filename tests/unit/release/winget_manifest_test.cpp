// The package manager's manifest the build writes beside setup.exe: what a
// deployment tool reads from it must match the program that was built.
#include <openssl/sha.h>

#include <cctype>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/install_contract.h"
#include "engine/payload_digests.h"
#include "tests/unit/release/built_file.h"
#include "wizard/exit_code.h"

namespace {

// The manifest files are flat enough to read as "key: value" lines; list
// items ("- key: value") and nested keys are read the same way, in order.
std::multimap<std::string, std::string> Fields(const std::string& text) {
    std::multimap<std::string, std::string> fields;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::size_t start = line.find_first_not_of(" -");
        const std::size_t colon = line.find(": ", start);
        if (start == std::string::npos || colon == std::string::npos) continue;
        std::string value = line.substr(colon + 2);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        fields.emplace(line.substr(start, colon - start), value);
    }
    return fields;
}

std::string One(const std::multimap<std::string, std::string>& fields, const std::string& key) {
    const auto range = fields.equal_range(key);
    return range.first == range.second ? "<missing>" : range.first->second;
}

const std::string kId = "QuorVelSoft.QuorVel";

std::string Sha256Upper(const std::string& path) {
    const std::string program = ReadFile(path);
    if (program.empty()) return "<no " + path + ">";
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(program.data()), program.size(), digest);
    std::string hex = qv::HexDigest(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
    for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return hex;
}

TEST(WingetManifest, DescribesTheBuiltSetupProgram) {
    const auto version = Fields(ReadFile(QV_WINGET_DIR "/" + kId + ".yaml"));
    const auto installer = Fields(ReadFile(QV_WINGET_DIR "/" + kId + ".installer.yaml"));
    const auto locale = Fields(ReadFile(QV_WINGET_DIR "/" + kId + ".locale.ru-RU.yaml"));
    ASSERT_FALSE(installer.empty()) << "no installer manifest in " << QV_WINGET_DIR;

    for (const auto* file : {&version, &installer, &locale}) {
        EXPECT_EQ(One(*file, "PackageIdentifier"), kId);
        EXPECT_EQ(One(*file, "PackageVersion"), "2.0");
        EXPECT_EQ(One(*file, "ManifestVersion"), One(version, "ManifestVersion"));
    }
    EXPECT_EQ(One(version, "ManifestType"), "version");
    EXPECT_EQ(One(locale, "ManifestType"), "defaultLocale");
    EXPECT_EQ(One(installer, "ManifestType"), "installer");

    EXPECT_EQ(One(installer, "InstallerType"), "exe");
    EXPECT_EQ(One(installer, "Scope"), "machine");
    EXPECT_EQ(One(installer, "Silent"), "/VERYSILENT /SUPPRESSMSGBOXES /NORESTART");
    EXPECT_EQ(One(installer, "SilentWithProgress"), "/SILENT /SUPPRESSMSGBOXES /NORESTART");
    EXPECT_EQ(One(installer, "Log"), "/LOG=\"<LOGPATH>\"");
    EXPECT_EQ(One(installer, "InstallLocation"), "/DIR=\"<INSTALLPATH>\"");

    // The uninstall key's name is the product code.
    const std::string key = qv::contract::kUninstallKey;
    EXPECT_EQ(One(installer, "ProductCode"), key.substr(key.rfind('\\') + 1));

    // The exit codes and what they mean to the package manager.
    std::map<std::string, std::string> responses;
    const auto codes = installer.equal_range("InstallerReturnCode");
    const auto answers = installer.equal_range("ReturnResponse");
    for (auto c = codes.first, a = answers.first; c != codes.second && a != answers.second; ++c, ++a) {
        responses[c->second] = a->second;
    }
    using qv::SetupExit;
    const auto code = [](SetupExit e) { return std::to_string(static_cast<int>(e)); };
    EXPECT_EQ(responses, (std::map<std::string, std::string>{{code(SetupExit::CouldNotStart), "invalidParameter"},
                                                            {code(SetupExit::AlreadyRunning), "installInProgress"},
                                                            {code(SetupExit::NoRights), "blockedByPolicy"},
                                                            {code(SetupExit::CancelledBefore), "cancelledByUser"},
                                                            {code(SetupExit::Failed), "contactSupport"},
                                                            {code(SetupExit::Cancelled), "cancelledByUser"}}));

    // Both installers, each with the digest of its program as it was built.
    const auto architectures = installer.equal_range("Architecture");
    const auto digests = installer.equal_range("InstallerSha256");
    std::vector<std::pair<std::string, std::string>> listed;
    for (auto a = architectures.first, d = digests.first; a != architectures.second && d != digests.second; ++a, ++d) {
        listed.emplace_back(a->second, d->second);
    }
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, std::string>>{{"x86", Sha256Upper(QV_SETUP_X86_EXE)},
                                                                        {"x64", Sha256Upper(QV_SETUP_X64_EXE)}}));
}

}  // namespace
