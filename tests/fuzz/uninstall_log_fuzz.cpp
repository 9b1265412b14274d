// Any bytes as UnInstall.dat: reading stays in bounds; every line is used,
// set aside or found to name nothing, each once; a used line holds a full
// path in plain form; and the removal plan names only used paths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "engine/uninstall_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qv::LogReading reading = qv::ReadUninstallLog(bytes);
    if (!reading.ok()) {
        if (!reading.lines.empty()) std::abort();
        return 0;
    }
    std::set<std::string> listed;
    for (const qv::LogLine& line : reading.lines) {
        if (!qv::IsInstallerPath(line.path, line.kind)) std::abort();
        listed.insert(line.path);
    }
    std::size_t lineCount = 0;
    for (std::size_t at = 0; at < bytes.size(); at = bytes.find('\n', at) + 1) {
        ++lineCount;
        if (bytes.find('\n', at) == std::string_view::npos) break;
    }
    if (reading.lines.size() + reading.rejected.size() + reading.namingNothing.size() != lineCount) std::abort();

    qv::PlanContext context;
    context.selfPath = "C:\\Program Files\\QuorVel V2.0\\UnInstall.exe";
    context.logPath = "C:\\Program Files\\QuorVel V2.0\\UnInstall.dat";
    const qv::RemovalPlan plan = qv::PlanRemoval(reading.lines, context);
    for (const std::string& file : plan.files) {
        if (!listed.count(file)) std::abort();
    }
    for (const std::string& folder : plan.folders) {
        if (!listed.count(folder)) std::abort();
    }
    for (const std::string& file : plan.userData) {
        if (!listed.count(file)) std::abort();
    }
    return 0;
}
