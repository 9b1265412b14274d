// Any bytes as UnInstall.dat: reading stays in bounds; an accepted log
// holds only installer-form paths, writes back to the same bytes through
// the installer's own log, and its removal plan names only listed paths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "engine/uninstall_log.h"
#include "engine/uninstall_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qv::LogReading reading = qv::ReadUninstallLog(bytes);
    if (!reading.ok()) {
        if (!reading.lines.empty()) std::abort();
        return 0;
    }
    std::set<std::string> listed;
    std::string written;
    for (const qv::LogLine& line : reading.lines) {
        if (!qv::IsInstallerPath(line.path, line.kind)) std::abort();
        listed.insert(line.path);
        written += line.path + (line.kind == qv::LogKind::File ? "=F\r\n" : "=D\r\n");
    }
    if (written != bytes) std::abort();  // nothing lost or added in reading

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
    return 0;
}
