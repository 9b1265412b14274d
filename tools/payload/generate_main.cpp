// payload-gen: writes stand-ins for the sixteen payload files, each of its
// inventory size, into a folder. The same bytes every time.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/payload/content.h"
#include "tools/payload/inventory.h"
#include "tools/szdd/file_io.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: payload-gen OUTDIR\n", stderr);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "payload-gen: cannot create %s: %s\n", dir.string().c_str(), ec.message().c_str());
        return 1;
    }
    for (const qv::payload::InventoryItem& item : qv::payload::kInventory) {
        const std::string bytes = qv::payload::GenerateFile(item.fileName, item.expandedSize);
        const std::string path = (dir / std::string(item.fileName)).string();
        std::string error;
        if (bytes.size() != item.expandedSize || !qv::tools::WriteWholeFile(path, bytes, error)) {
            std::fprintf(stderr, "payload-gen: %s\n", error.empty() ? path.c_str() : error.c_str());
            return 1;
        }
    }
    return 0;
}
