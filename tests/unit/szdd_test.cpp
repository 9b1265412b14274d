#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/szdd.h"

namespace qv {
namespace {

using namespace std::string_literals;

// The classic stream of "This is a test file.": header, then three groups.
const std::string kClassicStream =
    "SZDD\x88\xF0\x27\x33" "A\x00\x14\x00\x00\x00"
    "\xDF" "This " "\xF2\xF0" "a "
    "\xFF" "test fil"
    "\x03" "e."s;

std::string Header(std::uint32_t size) {
    std::string h = std::string(kSzddSignature) + "A" + std::string(1, '\0');
    for (int i = 0; i < 4; ++i) h.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
    return h;
}

// Deterministic test data of several kinds.
std::uint32_t NextRandom(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

std::string Random(std::size_t n, std::uint32_t seed) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s.push_back(static_cast<char>(NextRandom(seed)));
    return s;
}

// Runs, repeats at many distances, text, random stretches and spaces.
std::string Mixed(std::size_t n, std::uint32_t seed) {
    std::string s;
    while (s.size() < n) {
        switch (NextRandom(seed) % 6) {
        case 0: s.append(NextRandom(seed) % 40, static_cast<char>(NextRandom(seed) % 3 ? 0 : ' ')); break;
        case 1: s += Random(NextRandom(seed) % 50, NextRandom(seed)); break;
        case 2: s += "the quick brown fox jumps over the lazy dog "; break;
        case 3:
            if (!s.empty()) {
                const std::size_t from = NextRandom(seed) % s.size();
                s += s.substr(from, NextRandom(seed) % 30);
            }
            break;
        case 4: s += "\xCA\xE2\xEE\xF0\xE2\xE5\xEB\xFC 2.0\r\n"; break;
        default: s.push_back(static_cast<char>('a' + NextRandom(seed) % 4)); break;
        }
    }
    s.resize(n);
    return s;
}

// Walks a stream's groups as the format defines them and checks what the
// encoder promises: no reference longer than 16 bytes, the data ending
// exactly with the item that completes it, unused control bits clear.
void ExpectWellFormed(const std::string& stream, std::size_t size) {
    ASSERT_GE(stream.size(), kSzddHeaderSize);
    std::size_t at = kSzddHeaderSize;
    std::size_t produced = 0;
    while (produced < size) {
        ASSERT_LT(at, stream.size());
        const unsigned control = static_cast<unsigned char>(stream[at++]);
        int bit = 0;
        for (; bit < 8 && produced < size; ++bit) {
            if (control & (1u << bit)) {
                ++at;
                ++produced;
            } else {
                ASSERT_LE(at + 2, stream.size());
                const std::size_t length = (static_cast<unsigned char>(stream[at + 1]) & 0x0F) + 3;
                EXPECT_LE(length, kSzddMaxEncodedMatch);
                EXPECT_LE(produced + length, size) << "reference past the expanded size";
                at += 2;
                produced += length;
            }
        }
        if (produced >= size) {
            EXPECT_EQ(control >> bit, 0u) << "unused control bits must be zero";
        }
    }
    EXPECT_EQ(at, stream.size()) << "stream must end with its last item";
}

void ExpectRoundTrip(const std::string& data) {
    const std::string stream = CompressSzdd(data);
    SzddHeader header;
    ASSERT_EQ(ReadSzddHeader(stream, header), SzddStatus::kOk);
    EXPECT_EQ(header.mode, 'A');
    EXPECT_EQ(header.missingChar, 0);
    EXPECT_EQ(header.expandedSize, data.size());
    ExpectWellFormed(stream, data.size());
    std::string out;
    SzddStreamStats stats;
    ASSERT_EQ(ExpandSzdd(stream, out, &stats), SzddStatus::kOk) << data.size();
    EXPECT_EQ(out, data) << data.size();
    EXPECT_LE(stats.longestReference, kSzddMaxEncodedMatch);
}

TEST(Szdd, ExpandsTheClassicStream) {
    ASSERT_EQ(kClassicStream.size(), 36u);
    std::string out;
    SzddStreamStats stats;
    ASSERT_EQ(ExpandSzdd(kClassicStream, out, &stats), SzddStatus::kOk);
    EXPECT_EQ(out, "This is a test file.");
    EXPECT_EQ(stats.literals, 17u);
    EXPECT_EQ(stats.references, 1u);
}

TEST(Szdd, CompressesTheClassicTextAsTightly) {
    const std::string stream = CompressSzdd("This is a test file.");
    EXPECT_LE(stream.size(), kClassicStream.size());
    ExpectRoundTrip("This is a test file.");
}

TEST(Szdd, EmptyDataIsAHeaderAlone) {
    EXPECT_EQ(CompressSzdd(""), Header(0));
    std::string out = "stale";
    EXPECT_EQ(ExpandSzdd(Header(0), out), SzddStatus::kOk);
    EXPECT_TRUE(out.empty());
}

TEST(Szdd, RoundTripsEverySmallSize) {
    for (std::size_t n = 1; n <= 300; ++n) {
        ExpectRoundTrip(std::string(n, ' '));
        ExpectRoundTrip(std::string(n, '\0'));
        ExpectRoundTrip(Random(n, static_cast<std::uint32_t>(n)));
        ExpectRoundTrip(Mixed(n, static_cast<std::uint32_t>(n) * 7));
        if (HasFatalFailure()) return;
    }
}

TEST(Szdd, RoundTripsLargeMixedData) {
    ExpectRoundTrip(Mixed(300000, 1));
    ExpectRoundTrip(Random(70000, 2));
    // Repeats at the edge of the window: distances 4094 to 4097.
    for (std::size_t distance : {4094u, 4095u, 4096u, 4097u}) {
        const std::string block = Random(distance, static_cast<std::uint32_t>(distance));
        ExpectRoundTrip(block + block + block.substr(0, 100));
    }
}

TEST(Szdd, UsesTheRingsInitialSpaces) {
    // Sixteen spaces are one reference into the ring's initial contents.
    const std::string stream = CompressSzdd(std::string(16, ' '));
    EXPECT_EQ(stream.size(), kSzddHeaderSize + 3);
    ExpectRoundTrip("   leading spaces, then       more");
}

TEST(Szdd, CompressesRepetitiveDataWell) {
    const std::string data(100000, 'x');
    // 16 bytes per 17 bits, plus the first literal.
    EXPECT_LT(CompressSzdd(data).size(), kSzddHeaderSize + 100000 * 17 / 16 / 8 + 4);
}

TEST(Szdd, RejectsWhatIsNotSzdd) {
    std::string out;
    EXPECT_EQ(ExpandSzdd("", out), SzddStatus::kNotSzdd);
    EXPECT_EQ(ExpandSzdd(Header(0).substr(0, 13), out), SzddStatus::kNotSzdd);
    std::string bad = kClassicStream;
    bad[4] = 'X';
    EXPECT_EQ(ExpandSzdd(bad, out), SzddStatus::kNotSzdd);
    std::string mode = kClassicStream;
    mode[8] = 'B';
    EXPECT_EQ(ExpandSzdd(mode, out), SzddStatus::kUnsupportedMode);
}

TEST(Szdd, ReportsEveryTruncation) {
    const std::string stream = CompressSzdd(Mixed(5000, 3));
    std::string out;
    for (std::size_t cut = kSzddHeaderSize; cut < stream.size(); ++cut) {
        ASSERT_EQ(ExpandSzdd(std::string_view(stream).substr(0, cut), out), SzddStatus::kTruncated) << cut;
        EXPECT_LE(out.size(), 5000u);
    }
}

TEST(Szdd, RejectsAReferencePastTheExpandedSize) {
    // Expanded size 5, one reference of 18 bytes.
    std::string out;
    EXPECT_EQ(ExpandSzdd(Header(5) + "\x00\xF0\xFF"s, out), SzddStatus::kOverrun);
    // The same reference is fine when the size allows it.
    EXPECT_EQ(ExpandSzdd(Header(18) + "\x00\xF0\xFF"s, out), SzddStatus::kOk);
    EXPECT_EQ(out, std::string(18, ' '));
}

TEST(Szdd, RejectsTrailingBytes) {
    std::string out;
    EXPECT_EQ(ExpandSzdd(kClassicStream + "\x00"s, out), SzddStatus::kTrailingData);
    EXPECT_EQ(out, "This is a test file.");
    EXPECT_EQ(ExpandSzdd(Header(0) + "\xFF"s, out), SzddStatus::kTrailingData);
}

TEST(Szdd, ForgedSizeDoesNotAllocateIt) {
    std::string out;
    EXPECT_EQ(ExpandSzdd(Header(0xFFFFFFFFu) + "\xFF" "ab"s, out), SzddStatus::kTruncated);
    EXPECT_EQ(out, "ab");
    EXPECT_LT(out.capacity(), 1u << 20);
}

TEST(Szdd, OverlappingReferenceRepeatsBytes) {
    // A literal 'a' at ring position 4080, then 18 bytes from 4080.
    std::string out;
    ASSERT_EQ(ExpandSzdd(Header(19) + "\x01" "a" "\xF0\xFF"s, out), SzddStatus::kOk);
    EXPECT_EQ(out, std::string(19, 'a'));
    // A reference that wraps from the ring's end to its start: position
    // 4094 (written: nothing yet, so spaces) and on into 0.
    ASSERT_EQ(ExpandSzdd(Header(5) + "\x00\xFE\xF2"s, out), SzddStatus::kOk);
    EXPECT_EQ(out, "     ");
}

}  // namespace
}  // namespace qv
