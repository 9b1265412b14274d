// Our SZDD streams under the system's LZ expansion library, and the
// payload resources a program carries when it links qv_payload.
#include <windows.h>
#include <lzexpand.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/payload_entry.h"
#include "engine/szdd.h"
#include "tests/e2e/driver/system.h"
#include "tools/payload/inventory.h"

namespace {

using qv::payload::kInventory;

// ------------------------------------------------------------- helpers

class LzFile {
public:
    LzFile(const std::string& path, WORD mode) {
        OFSTRUCT of{};
        handle_ = LZOpenFileA(const_cast<char*>(path.c_str()), &of, mode);
    }
    ~LzFile() {
        if (handle_ >= 0) LZClose(handle_);
    }
    LzFile(const LzFile&) = delete;
    LzFile& operator=(const LzFile&) = delete;

    bool ok() const { return handle_ >= 0; }
    INT get() const { return handle_; }

private:
    INT handle_;
};

// Expands `source` into `target` as the installer does: LZOpenFileA,
// LZCopy, LZClose. Returns LZCopy's result (the bytes written, or a
// negative error), or -1000 when an open failed.
LONG LzExpand(const std::string& source, const std::string& target) {
    LzFile in(source, OF_READ);
    LzFile out(target, OF_CREATE | OF_WRITE);
    if (!in.ok() || !out.ok()) return -1000;
    return LZCopy(in.get(), out.get());
}

using e2e::ReadWhole;
using e2e::WriteWhole;

std::string MixedData(std::size_t n, std::uint32_t seed) {
    std::string s;
    while (s.size() < n) {
        seed = seed * 1664525u + 1013904223u;
        switch (seed >> 29) {
        case 0: s.append((seed >> 8) % 40, ' '); break;
        case 1: s.append((seed >> 8) % 40, '\0'); break;
        case 2: s += "\xCA\xE2\xEE\xF0\xE2\xE5\xEB\xFC 2.0\r\n"; break;
        case 3:
            if (!s.empty()) s += s.substr((seed >> 4) % s.size(), (seed >> 16) % 24);
            break;
        default: s.push_back(static_cast<char>(seed >> 13)); break;
        }
    }
    s.resize(n);
    return s;
}

// ------------------------------------------------------------- LZ library

TEST(PayloadUnderLz, ExpandsOurStreamsOfManySizes) {
    e2e::ScratchFolder dir;
    const std::string stream = dir / "data.sz";
    const std::string expanded = dir / "data.out";
    std::vector<std::size_t> sizes;
    for (std::size_t n = 0; n <= 64; ++n) sizes.push_back(n);
    for (std::size_t n : {100u, 4095u, 4096u, 4097u, 8200u, 65536u, 300000u}) sizes.push_back(n);
    for (std::size_t n : sizes) {
        for (const std::string& data :
             {MixedData(n, static_cast<std::uint32_t>(n)), std::string(n, ' '), std::string(n, 'q')}) {
            ASSERT_TRUE(WriteWhole(stream, qv::CompressSzdd(data)));
            ASSERT_EQ(LzExpand(stream, expanded), static_cast<LONG>(n)) << "size " << n;
            ASSERT_EQ(ReadWhole(expanded).value_or(""), data) << "size " << n;
        }
    }
}

// ------------------------------------------------------------- resources

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(param);
    if (IS_INTRESOURCE(name)) {
        names->push_back(std::to_string(reinterpret_cast<ULONG_PTR>(name)).insert(0, 1, '#'));
    } else {
        names->push_back(name);
    }
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

std::string_view ResourceBytes(const char* name, const char* type) {
    HRSRC found = FindResourceA(nullptr, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const char*>(data), SizeofResource(nullptr, found)};
}

TEST(PayloadResources, SixteenNamesInOrderEachInRussianOnly) {
    std::vector<std::string> names;
    EnumResourceNamesA(nullptr, "SETUP", CollectName, reinterpret_cast<LONG_PTR>(&names));
    ASSERT_EQ(names.size(), 16u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], std::string(kInventory[i].resource));
        std::vector<WORD> languages;
        EnumResourceLanguagesA(nullptr, "SETUP", names[i].c_str(), CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, std::vector<WORD>{1049}) << names[i];
    }
}

TEST(PayloadResources, EachEntryExpandsToItsPayloadFile) {
    e2e::ScratchFolder dir;
    const std::string tmp = dir / "tmp.zip";
    const std::string out = dir / "entry.out";
    const std::string sources = e2e::WinePath(QV_PAYLOAD_FILES_DIR);
    for (const qv::payload::InventoryItem& item : kInventory) {
        const std::string resource(item.resource);
        SCOPED_TRACE(resource);
        const std::string_view bytes = ResourceBytes(resource.c_str(), "SETUP");
        qv::PayloadEntry entry;
        ASSERT_EQ(qv::ParsePayloadEntry(bytes, entry), qv::EntryStatus::kOk);
        EXPECT_EQ(entry.name, item.fileName);
        if (!item.afterNul.empty()) {
            EXPECT_EQ(bytes.substr(entry.name.size() + 1, item.afterNul.size()), item.afterNul);
        }

        const std::string original = ReadWhole(sources + "\\" + std::string(item.fileName)).value_or("");
        ASSERT_FALSE(original.empty()) << "payload file not found in " << sources;
        ASSERT_TRUE(WriteWhole(tmp, std::string(entry.stream)));
        ASSERT_EQ(LzExpand(tmp, out), static_cast<LONG>(original.size()));
        EXPECT_TRUE(ReadWhole(out).value_or("") == original) << "expanded bytes differ";
    }
}

TEST(PayloadResources, ProgramKeepsItsOtherResources) {
    const std::string_view other = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10));  // RT_RCDATA
    EXPECT_EQ(other.substr(0, 15), "other resources");
}

}  // namespace
