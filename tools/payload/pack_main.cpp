// payload-pack: compresses the sixteen payload files of a folder into
// payload entries (name field + SZDD stream), one file per entry, and
// writes the resource script that carries them as "SETUP" resources.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <openssl/sha.h>

#include "engine/payload_digests.h"
#include "engine/payload_entry.h"
#include "engine/szdd.h"
#include "engine/text.h"
#include "tools/payload/inventory.h"
#include "tools/szdd/file_io.h"

namespace {

namespace fs = std::filesystem;
using qv::payload::InventoryItem;
using qv::payload::kInventory;

int Fail(const std::string& message) {
    std::fprintf(stderr, "payload-pack: %s\n", message.c_str());
    return 1;
}

// The file of the folder named `name`: that exact name, else the only one
// whose name matches without regard to case.
bool FindPayloadFile(const fs::path& dir, std::string_view name, fs::path& found) {
    const fs::path exact = dir / std::string(name);
    std::error_code ec;
    if (fs::is_regular_file(exact, ec)) {
        found = exact;
        return true;
    }
    int matches = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
        if (e.is_regular_file(ec) && qv::EqualNoCase(e.path().filename().string(), name)) {
            found = e.path();
            ++matches;
        }
    }
    return matches == 1;
}

// Leaves a file that already holds `bytes` untouched, so that the build
// does not redo the steps after packing when nothing changed.
bool WriteIfChanged(const fs::path& path, const std::string& bytes, std::string& error) {
    std::string current, ignored;
    if (qv::tools::ReadWholeFile(path.string(), current, ignored) && current == bytes) return true;
    return qv::tools::WriteWholeFile(path.string(), bytes, error);
}

std::string Sha256Hex(const std::string& data) {
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(data.data()), data.size(), digest);
    return qv::HexDigest(std::string_view(reinterpret_cast<const char*>(digest), sizeof digest));
}

bool PackOne(const fs::path& source, const InventoryItem& item, const fs::path& outDir, qv::PayloadDigests& digests,
             std::string& error) {
    std::string data;
    if (!qv::tools::ReadWholeFile(source.string(), data, error)) return false;
    digests.Add(std::string(item.fileName), qv::FileDigest{data.size(), Sha256Hex(data)});
    const std::string stream = qv::CompressSzdd(data);
    std::string check;
    if (qv::ExpandSzdd(stream, check) != qv::SzddStatus::kOk || check != data) {
        error = source.string() + ": the compressed stream does not expand back";
        return false;
    }
    std::string entry;
    const qv::EntryStatus status = qv::BuildPayloadEntry(item.fileName, stream, entry, item.afterNul);
    if (status != qv::EntryStatus::kOk) {
        error = std::string(item.fileName) + ": " + qv::EntryStatusText(status);
        return false;
    }
    return WriteIfChanged(outDir / (std::string(item.resource) + ".bin"), entry, error);
}

const char kDigestFileName[] = "digests.txt";

std::string ResourceScript(const fs::path& outDir) {
    // The language statement before every resource also keeps a file name
    // and the next resource's quoted name from reading as one string.
    std::string rc =
        "// Written by payload-pack: the payload entries, as resources of type\n"
        "// \"SETUP\" named by strings, in Russian.\n";
    for (const InventoryItem& item : kInventory) {
        const std::string file = fs::absolute(outDir / (std::string(item.resource) + ".bin")).generic_string();
        rc += "LANGUAGE 0x19, 0x01\n\"" + std::string(item.resource) + "\" " +
              std::string(qv::payload::kPayloadResourceType) + " \"" + file + "\"\n";
    }
    // The size and SHA-256 of every file as it must come out of its entry.
    const std::string digests = fs::absolute(outDir / kDigestFileName).generic_string();
    rc += "LANGUAGE 0x19, 0x01\n" + std::string(qv::kDigestResourceName) + " RCDATA \"" + digests + "\"\n";
    return rc;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: payload-pack PAYLOAD_DIR OUTDIR\n", stderr);
        return 2;
    }
    const fs::path payloadDir = argv[1];
    const fs::path outDir = argv[2];

    std::vector<fs::path> sources;
    std::string missing;
    for (const InventoryItem& item : kInventory) {
        fs::path found;
        if (!FindPayloadFile(payloadDir, item.fileName, found)) {
            missing += ' ';
            missing += item.fileName;
        }
        sources.push_back(found);
    }
    if (!missing.empty()) return Fail(payloadDir.string() + " lacks:" + missing);

    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec) return Fail("cannot create " + outDir.string() + ": " + ec.message());
    qv::PayloadDigests digests;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        std::string error;
        if (!PackOne(sources[i], kInventory[i], outDir, digests, error)) return Fail(error);
    }
    std::string error;
    if (!WriteIfChanged(outDir / kDigestFileName, digests.Format(), error)) return Fail(error);
    if (!WriteIfChanged(outDir / "payload.rc", ResourceScript(outDir), error)) {
        return Fail(error);
    }
    return 0;
}
