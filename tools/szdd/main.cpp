// szdd: compress, expand and inspect SZDD streams, and list or extract the
// payload entries a setup program carries as "SETUP" resources.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/payload_entry.h"
#include "engine/pe_resources.h"
#include "engine/szdd.h"
#include "toolkit/picture_rows.h"
#include "tools/szdd/file_io.h"

namespace {

using qv::tools::ReadWholeFile;
using qv::tools::WriteWholeFile;

constexpr int kFailure = 1;
constexpr int kUsage = 2;

int Fail(const std::string& message) {
    std::fprintf(stderr, "szdd: %s\n", message.c_str());
    return kFailure;
}

int Usage() {
    std::fputs(
        "usage: szdd compress IN OUT     compress a file into an SZDD stream\n"
        "       szdd compress-picture IN.bmp OUT  the same for a 24-bit BMP, its rows delta-coded first\n"
        "       szdd expand IN OUT       expand an SZDD stream\n"
        "       szdd info FILE           show an SZDD stream's header and contents\n"
        "       szdd list SETUP.EXE      list the payload entries a program carries\n"
        "       szdd extract SETUP.EXE DIR  expand every payload entry into DIR\n",
        stderr);
    return kUsage;
}

int Compress(const std::string& in, const std::string& out, bool picture) {
    std::string data, error;
    if (!ReadWholeFile(in, data, error)) return Fail(error);
    if (picture && !qv::DeltaCodeBmpRows(data)) return Fail(in + ": not a BMP file of 24 bits per pixel");
    std::string stream;
    try {
        stream = qv::CompressSzdd(data);
    } catch (const std::exception& e) {
        return Fail(in + ": " + e.what());
    }
    if (!WriteWholeFile(out, stream, error)) return Fail(error);
    return 0;
}

int Expand(const std::string& in, const std::string& out) {
    std::string stream, error;
    if (!ReadWholeFile(in, stream, error)) return Fail(error);
    std::string data;
    const qv::SzddStatus status = qv::ExpandSzdd(stream, data);
    if (status != qv::SzddStatus::kOk) return Fail(in + ": " + qv::SzddStatusText(status));
    if (!WriteWholeFile(out, data, error)) return Fail(error);
    return 0;
}

int Info(const std::string& path) {
    std::string stream, error;
    if (!ReadWholeFile(path, stream, error)) return Fail(error);
    qv::SzddHeader header;
    qv::SzddStatus status = qv::ReadSzddHeader(stream, header);
    if (status == qv::SzddStatus::kNotSzdd) return Fail(path + ": " + qv::SzddStatusText(status));
    std::printf("mode:               '%c' (0x%02X)\n", header.mode >= 0x20 && header.mode < 0x7F ? header.mode : '?',
                static_cast<unsigned char>(header.mode));
    std::printf("missing character:  0x%02X\n", static_cast<unsigned char>(header.missingChar));
    std::printf("expanded size:      %lu\n", static_cast<unsigned long>(header.expandedSize));
    std::printf("stream size:        %zu\n", stream.size());
    if (status != qv::SzddStatus::kOk) return Fail(path + ": " + qv::SzddStatusText(status));

    std::string data;
    qv::SzddStreamStats stats;
    status = qv::ExpandSzdd(stream, data, &stats);
    std::printf("literals:           %zu\n", stats.literals);
    std::printf("references:         %zu\n", stats.references);
    std::printf("longest reference:  %zu\n", stats.longestReference);
    if (header.expandedSize != 0) {
        std::printf("ratio:              %.2f%%\n", 100.0 * stream.size() / header.expandedSize);
    }
    if (status != qv::SzddStatus::kOk) return Fail(path + ": " + qv::SzddStatusText(status));
    std::printf("status:             ok\n");
    return 0;
}

// The payload entries of a program file, parsed; fails on the first bad one.
struct Entry {
    std::string resource;
    std::uint16_t language;
    std::size_t storedSize;
    qv::PayloadEntry entry;
};

bool LoadEntries(const std::string& path, std::string& image, std::vector<Entry>& entries,
                 std::string& error) {
    if (!ReadWholeFile(path, image, error)) return false;
    std::vector<qv::PeResource> all;
    const qv::PeStatus status = qv::ReadPeResources(image, all);
    if (status != qv::PeStatus::kOk) {
        error = path + ": " + qv::PeStatusText(status);
        return false;
    }
    for (const qv::PeResource& r : qv::ResourcesOfType(all, "SETUP")) {
        Entry e{r.name.Text(), r.language, r.data.size(), {}};
        const qv::EntryStatus parsed = qv::ParsePayloadEntry(r.data, e.entry);
        if (parsed != qv::EntryStatus::kOk) {
            error = path + ": resource " + e.resource + ": " + qv::EntryStatusText(parsed);
            return false;
        }
        entries.push_back(std::move(e));
    }
    if (entries.empty()) {
        error = path + ": no \"SETUP\" resources";
        return false;
    }
    return true;
}

int List(const std::string& path) {
    std::string image, error;
    std::vector<Entry> entries;
    if (!LoadEntries(path, image, entries, error)) return Fail(error);
    std::printf("%-8s %-5s %-20s %12s %12s\n", "resource", "lang", "file", "stored", "expanded");
    for (const Entry& e : entries) {
        qv::SzddHeader header;
        const bool ok = qv::ReadSzddHeader(e.entry.stream, header) == qv::SzddStatus::kOk;
        std::printf("%-8s %-5u %-20s %12zu %12s\n", e.resource.c_str(), e.language,
                    e.entry.name.c_str(), e.storedSize,
                    ok ? std::to_string(header.expandedSize).c_str() : "(not SZDD)");
    }
    return 0;
}

int Extract(const std::string& path, const std::string& dir) {
    std::string image, error;
    std::vector<Entry> entries;
    if (!LoadEntries(path, image, entries, error)) return Fail(error);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return Fail("cannot create " + dir + ": " + ec.message());
    for (const Entry& e : entries) {
        std::string data;
        const qv::SzddStatus status = qv::ExpandSzdd(e.entry.stream, data);
        if (status != qv::SzddStatus::kOk) {
            return Fail(path + ": " + e.entry.name + ": " + qv::SzddStatusText(status));
        }
        const std::string target = (std::filesystem::path(dir) / e.entry.name).string();
        if (!WriteWholeFile(target, data, error)) return Fail(error);
        std::printf("%s\n", target.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    const std::string& command = args[0];
    if (command == "compress" && args.size() == 3) return Compress(args[1], args[2], false);
    if (command == "compress-picture" && args.size() == 3) return Compress(args[1], args[2], true);
    if (command == "expand" && args.size() == 3) return Expand(args[1], args[2]);
    if (command == "info" && args.size() == 2) return Info(args[1]);
    if (command == "list" && args.size() == 2) return List(args[1]);
    if (command == "extract" && args.size() == 3) return Extract(args[1], args[2]);
    return Usage();
}
