// The payload in the test program's own resources (test_payload.rc), walked
// and expanded through the system's calls.
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/payload_entry.h"
#include "engine/win_install_system.h"
#include "engine/win_file_digest.h"
#include "engine/win_lz.h"
#include "engine/win_payload.h"
#include "tests/e2e/driver/system.h"

namespace qv {
namespace {

using e2e::ScratchFolder;

struct Expected {
    const char* name;
    const char* data;
};
const Expected kEntries[] = {
    {"Alpha.txt", "Hello, world!\r\n"},
    {"Group.txt", "group data\r\n"},
    {"Beta.dat", "abcabcabcabc"},
};

std::vector<std::string> AllEntries() {
    std::vector<std::string> entries;
    ForEachPayloadEntry([&](std::string_view entry) {
        entries.emplace_back(entry);
        return true;
    });
    return entries;
}

TEST(WinPayload, CountsOnlyTheSetupEntries) {
    EXPECT_EQ(CountPayloadEntries(), 3);
}

TEST(WinPayload, ShowsEachEntryWholeInNameOrder) {
    const std::vector<std::string> entries = AllEntries();
    ASSERT_EQ(entries.size(), 3u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        PayloadEntry entry;
        ASSERT_EQ(ParsePayloadEntry(entries[i], entry), EntryStatus::kOk);
        EXPECT_EQ(entry.name, kEntries[i].name);
        EXPECT_EQ(entry.stream.substr(0, 4), "SZDD");
    }
    // The bytes after the NUL of the name field are carried as they are.
    EXPECT_EQ(entries[1].substr(9, 4), std::string("\0dat", 4));
    EXPECT_EQ(entries[0].size(), 20u + 14u + 2u + 15u);
}

TEST(WinPayload, VisitorCanStopThePass) {
    int visited = 0;
    ForEachPayloadEntry([&](std::string_view) { return ++visited < 2; });
    EXPECT_EQ(visited, 2);
}

TEST(WinPayload, FailureInTheVisitorComesOutOfThePass) {
    int visited = 0;
    EXPECT_THROW(ForEachPayloadEntry([&](std::string_view) -> bool {
                     ++visited;
                     throw std::runtime_error("visitor failed");
                 }),
                 std::runtime_error);
    EXPECT_EQ(visited, 1);
}

class WinLzExpand : public ::testing::Test {
protected:
    // Writes each entry's stream to its own file; returns the paths.
    std::vector<std::string> WriteStreams(const std::string& folder) {
        std::vector<std::string> paths;
        int i = 0;
        for (const std::string& bytes : AllEntries()) {
            PayloadEntry entry;
            ParsePayloadEntry(bytes, entry);
            paths.push_back(folder + "\\stream" + std::to_string(i++) + ".zip");
            EXPECT_EQ(system.SaveFile(paths.back(), entry.stream), SaveResult::Saved);
        }
        return paths;
    }

    ScratchFolder scratch;
    WinInstallSystem system;
};

TEST_F(WinLzExpand, ExpandsEveryEntryToItsData) {
    const std::vector<std::string> streams = WriteStreams(scratch.Path());
    ASSERT_EQ(streams.size(), 3u);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::string target = scratch / kEntries[i].name;
        EXPECT_EQ(LzExpandFile(streams[i], target), ExpandResult::Expanded);
        EXPECT_EQ(e2e::ReadWhole(target).value_or(""), kEntries[i].data) << kEntries[i].name;
    }
}

TEST_F(WinLzExpand, ReplacesAnExistingLongerTarget) {
    const std::string stream = WriteStreams(scratch.Path())[0];
    const std::string target = scratch / "Alpha.txt";
    e2e::WriteWhole(target, std::string(5000, 'x'));
    EXPECT_EQ(LzExpandFile(stream, target), ExpandResult::Expanded);
    EXPECT_EQ(e2e::ReadWhole(target).value_or(""), "Hello, world!\r\n");
}

TEST_F(WinLzExpand, CopiesASourceThatIsNotCompressed) {
    const std::string source = scratch / "plain.txt";
    e2e::WriteWhole(source, "plain bytes");
    EXPECT_EQ(LzExpandFile(source, scratch / "copy.txt"), ExpandResult::Expanded);
    EXPECT_EQ(e2e::ReadWhole(scratch / "copy.txt").value_or(""), "plain bytes");
}

TEST_F(WinLzExpand, MissingSourceFailsToOpenAndLeavesTheTargetAlone) {
    const std::string target = scratch / "kept.txt";
    e2e::WriteWhole(target, "old");
    EXPECT_EQ(LzExpandFile(scratch / "missing.zip", target), ExpandResult::OpenFailed);
    EXPECT_EQ(e2e::ReadWhole(target).value_or(""), "old");
}

TEST_F(WinLzExpand, TargetInAMissingFolderFailsToOpen) {
    const std::string stream = WriteStreams(scratch.Path())[0];
    EXPECT_EQ(LzExpandFile(stream, scratch / "no such folder\\Alpha.txt"), ExpandResult::OpenFailed);
}

// Paths of 128 characters and more, which the LZ library's own open does
// not take, expand all the same.
TEST_F(WinLzExpand, LongPathsExpandWhole) {
    std::string folder = scratch.Path();
    while (folder.size() < 200) {
        folder += "\\" + std::string(30, 'f');
        ASSERT_TRUE(system.MakeFolder(folder));
    }
    const std::vector<std::string> streams = WriteStreams(folder);
    ASSERT_GE(streams[2].size(), 200u);
    const std::string target = folder + "\\Beta.dat";
    EXPECT_EQ(LzExpandFile(streams[2], target), ExpandResult::Expanded);
    EXPECT_EQ(e2e::ReadWhole(target).value_or(""), "abcabcabcabc");
    EXPECT_EQ(LzExpandFile(streams[2], folder + "\\missing\\Beta.dat"), ExpandResult::OpenFailed);
}

// The system's SHA-256 of a file, against the standard's own test vector,
// and of one larger than a read chunk.
TEST_F(WinLzExpand, FilesAreHashedWithSha256) {
    const FileHasher hasher;
    const std::string small = scratch / "abc.txt";
    ASSERT_TRUE(e2e::WriteWhole(small, "abc"));
    EXPECT_EQ(hasher.Sha256(small), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string large = scratch / "million.txt";
    ASSERT_TRUE(e2e::WriteWhole(large, std::string(1000000, 'a')));
    EXPECT_EQ(hasher.Sha256(large), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_FALSE(hasher.Sha256(scratch / "missing.txt"));
}

}  // namespace
}  // namespace qv
