#include <gtest/gtest.h>

#include <string>

#include "engine/payload_entry.h"

namespace qv {
namespace {

using namespace std::string_literals;

TEST(PayloadEntry, NameEndsAtTheFirstNul) {
    // The field of "Group.txt" carries "dat" after its terminator.
    const std::string bytes = "Group.txt\0dat\0\0\0\0\0\0\0"s + "SZDD-stream";
    ASSERT_EQ(bytes.size(), kEntryNameFieldSize + 11);
    PayloadEntry entry;
    ASSERT_EQ(ParsePayloadEntry(bytes, entry), EntryStatus::kOk);
    EXPECT_EQ(entry.name, "Group.txt");
    EXPECT_EQ(entry.stream, "SZDD-stream");
}

TEST(PayloadEntry, FieldAloneHasAnEmptyStream) {
    PayloadEntry entry;
    ASSERT_EQ(ParsePayloadEntry("People.dat"s + std::string(10, '\0'), entry), EntryStatus::kOk);
    EXPECT_EQ(entry.name, "People.dat");
    EXPECT_TRUE(entry.stream.empty());
}

TEST(PayloadEntry, RejectsEntriesShorterThanTheField) {
    PayloadEntry entry;
    for (std::size_t n = 0; n < kEntryNameFieldSize; ++n) {
        EXPECT_EQ(ParsePayloadEntry(std::string(n, '\0'), entry), EntryStatus::kTooShort) << n;
    }
    // A short entry whose only NUL lies beyond its end is still short.
    EXPECT_EQ(ParsePayloadEntry("a.txt", entry), EntryStatus::kTooShort);
}

TEST(PayloadEntry, RejectsAFieldWithoutTerminator) {
    PayloadEntry entry;
    const std::string full(kEntryNameFieldSize, 'x');
    EXPECT_EQ(ParsePayloadEntry(full, entry), EntryStatus::kNoTerminator);
    // A NUL in the stream does not end the name.
    EXPECT_EQ(ParsePayloadEntry(full + "\0SZDD"s, entry), EntryStatus::kNoTerminator);
    // Nineteen characters and the NUL fill the field exactly.
    ASSERT_EQ(ParsePayloadEntry(std::string(19, 'y') + '\0', entry), EntryStatus::kOk);
    EXPECT_EQ(entry.name, std::string(19, 'y'));
}

TEST(PayloadEntry, RejectsNamesThatAreNotPlainFileNames) {
    PayloadEntry entry;
    const std::string field(kEntryNameFieldSize, '\0');
    EXPECT_EQ(ParsePayloadEntry(field, entry), EntryStatus::kEmptyName);
    for (const std::string name : {"..", ".", "..\\win.ini", "a/b.txt", "C:x.dat", "sub\\x.dat", "tab\there"}) {
        std::string bytes = name;
        bytes.resize(kEntryNameFieldSize, '\0');
        EXPECT_EQ(ParsePayloadEntry(bytes, entry), EntryStatus::kUnsafeName) << name;
    }
    // Letters beyond ASCII are fine (UTF-8: "Опись.txt", 14 bytes).
    const std::string name = "\xD0\x9E\xD0\xBF\xD0\xB8\xD1\x81\xD1\x8C.txt";
    std::string russian = name;
    russian.resize(kEntryNameFieldSize, '\0');
    ASSERT_EQ(ParsePayloadEntry(russian, entry), EntryStatus::kOk);
    EXPECT_EQ(entry.name, name);
}

TEST(PayloadEntry, BuildLaysOutTheField) {
    std::string bytes;
    ASSERT_EQ(BuildPayloadEntry("Group.txt", "STREAM", bytes, "dat"), EntryStatus::kOk);
    EXPECT_EQ(bytes, "Group.txt\0dat"s + std::string(7, '\0') + "STREAM");
    PayloadEntry entry;
    ASSERT_EQ(ParsePayloadEntry(bytes, entry), EntryStatus::kOk);
    EXPECT_EQ(entry.name, "Group.txt");
    EXPECT_EQ(entry.stream, "STREAM");

    ASSERT_EQ(BuildPayloadEntry("Quorvel.exe", "", bytes), EntryStatus::kOk);
    EXPECT_EQ(bytes, "Quorvel.exe"s + std::string(9, '\0'));
}

TEST(PayloadEntry, BuildRefusesWhatTheFieldCannotHold) {
    std::string bytes = "untouched";
    EXPECT_EQ(BuildPayloadEntry(std::string(20, 'n'), "s", bytes), EntryStatus::kNameTooLong);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(BuildPayloadEntry(std::string(19, 'n'), "s", bytes), EntryStatus::kOk);
    EXPECT_EQ(BuildPayloadEntry("Group.txt", "s", bytes, "0123456789A"), EntryStatus::kNameTooLong);
    EXPECT_EQ(BuildPayloadEntry("", "s", bytes), EntryStatus::kEmptyName);
    EXPECT_EQ(BuildPayloadEntry("a\0b"s, "s", bytes), EntryStatus::kUnsafeName);
    EXPECT_EQ(BuildPayloadEntry("..\\x", "s", bytes), EntryStatus::kUnsafeName);
}

}  // namespace
}  // namespace qv
