#include "tools/szdd/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace qv::tools {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Reason() { return std::strerror(errno); }

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        error = "cannot open " + path + ": " + Reason();
        return false;
    }
    char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) bytes.append(chunk, got);
    if (std::ferror(f.get())) {
        error = "cannot read " + path + ": " + Reason();
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& error) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        error = "cannot create " + path + ": " + Reason();
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    const bool closed = std::fclose(f.release()) == 0;
    if (!written || !closed) {
        error = "cannot write " + path + ": " + Reason();
        return false;
    }
    return true;
}

}  // namespace qv::tools
