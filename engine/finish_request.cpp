#include "engine/finish_request.h"

#include "engine/install_contract.h"
#include "engine/paths.h"
#include "engine/text.h"
#include "engine/uninstall_log_reader.h"

namespace qv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view& rest) {
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
}

// A command line's next argument: quoted (no escapes) or up to white space.
std::optional<std::string_view> NextArgument(std::string_view& rest) {
    SkipBlanks(rest);
    if (rest.empty()) return std::nullopt;
    if (rest.front() == '"') {
        const size_t close = rest.find('"', 1);
        if (close == std::string_view::npos) return std::nullopt;
        const std::string_view arg = rest.substr(1, close - 1);
        rest.remove_prefix(close + 1);
        return arg;
    }
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    const std::string_view arg = rest.substr(0, end);
    rest.remove_prefix(end);
    return arg;
}

std::optional<unsigned long> ParseHandle(std::string_view digits) {
    if (digits.empty() || digits.size() > 10) return std::nullopt;
    unsigned long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<unsigned long>(value);
}

}  // namespace

std::string FormatFinishArguments(const FinishRequest& request) {
    std::string out = std::string(contract::kFinishSwitch) + " " + std::to_string(request.processHandle) +
                      " \"" + request.self + "\"";
    for (const std::string& folder : request.folders) out += " \"" + folder + "\"";
    return out;
}

std::optional<FinishRequest> ParseFinishCommandLine(std::string_view commandLine) {
    std::string_view rest = commandLine;
    if (!NextArgument(rest)) return std::nullopt;  // the program's own name
    const std::optional<std::string_view> word = NextArgument(rest);
    if (!word || *word != contract::kFinishSwitch) return std::nullopt;

    FinishRequest request;
    const std::optional<std::string_view> handleText = NextArgument(rest);
    const std::optional<unsigned long> handle =
        handleText ? ParseHandle(*handleText) : std::nullopt;
    if (!handle) return std::nullopt;
    request.processHandle = *handle;

    const std::optional<std::string_view> self = NextArgument(rest);
    if (!self || !IsInstallerPath(*self, LogKind::File) ||
        !EqualNoCase(LastName(*self), contract::kUninstallerFileName)) {
        return std::nullopt;
    }
    request.self = std::string(*self);

    while (true) {
        SkipBlanks(rest);
        if (rest.empty()) break;
        const std::optional<std::string_view> folder = NextArgument(rest);
        if (!folder || !IsInstallerPath(*folder, LogKind::Folder) || !IsInside(request.self, *folder)) {
            return std::nullopt;
        }
        request.folders.emplace_back(*folder);
    }
    return request;
}

}  // namespace qv
