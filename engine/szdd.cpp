#include "engine/szdd.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "toolkit/failure.h"

namespace qv {
namespace {

constexpr std::size_t kRingSize = 4096;
constexpr std::size_t kRingMask = kRingSize - 1;
constexpr std::size_t kRingStart = kRingSize - 16;  // first write position
constexpr unsigned char kRingFill = 0x20;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxFormatMatch = 18;

// The most output a run of n data bytes can yield: a group of 17 bytes
// (control byte and eight references) gives 8 x 18 bytes.
std::size_t MaxExpansion(std::size_t n) {
    return n / 17 * (8 * kMaxFormatMatch) + 8 * kMaxFormatMatch;
}

std::uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

const unsigned char* Bytes(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// ---------------------------------------------------------------- decoder

class RingDecoder {
public:
    RingDecoder(std::string_view data, std::size_t expandedSize, std::string& out,
                SzddStreamStats& stats)
        : in_(Bytes(data)), end_(in_ + data.size()), size_(expandedSize), out_(out),
          stats_(stats) {
        ring_.fill(kRingFill);
        // Never reserve more than the data can possibly produce, so that a
        // forged header cannot make us allocate gigabytes.
        out_.resize(std::min(size_, MaxExpansion(data.size())));
    }

    SzddStatus Run() {
        SzddStatus status = Decode();
        out_.resize(produced_);
        if (status == SzddStatus::kOk && in_ != end_) status = SzddStatus::kTrailingData;
        return status;
    }

private:
    SzddStatus Decode() {
        while (produced_ < size_) {
            if (in_ == end_) return SzddStatus::kTruncated;
            unsigned control = *in_++;
            for (int bit = 0; bit < 8 && produced_ < size_; ++bit, control >>= 1) {
                const SzddStatus status = (control & 1) ? Literal() : Reference();
                if (status != SzddStatus::kOk) return status;
            }
        }
        return SzddStatus::kOk;
    }

    SzddStatus Literal() {
        if (in_ == end_) return SzddStatus::kTruncated;
        Put(*in_++);
        ++stats_.literals;
        return SzddStatus::kOk;
    }

    SzddStatus Reference() {
        if (end_ - in_ < 2) return SzddStatus::kTruncated;
        const unsigned b0 = in_[0];
        const unsigned b1 = in_[1];
        in_ += 2;
        std::size_t from = b0 | ((b1 & 0xF0u) << 4);
        const std::size_t length = (b1 & 0x0Fu) + kMinMatch;
        if (length > size_ - produced_) return SzddStatus::kOverrun;
        // Byte by byte: a reference overlapping the write position repeats.
        for (std::size_t k = 0; k < length; ++k) {
            Put(ring_[from]);
            from = (from + 1) & kRingMask;
        }
        ++stats_.references;
        stats_.longestReference = std::max(stats_.longestReference, length);
        return SzddStatus::kOk;
    }

    void Put(unsigned char b) {
        out_[produced_++] = static_cast<char>(b);
        ring_[pos_] = b;
        pos_ = (pos_ + 1) & kRingMask;
    }

    const unsigned char* in_;
    const unsigned char* end_;
    std::size_t size_;
    std::string& out_;
    SzddStreamStats& stats_;
    std::array<unsigned char, kRingSize> ring_;
    std::size_t pos_ = kRingStart;
    std::size_t produced_ = 0;
};

// ---------------------------------------------------------------- encoder

// The history the decoder sees: the ring's initial spaces, then the data.
// A reference copies from a fixed distance back, 1 to kMaxDistance bytes;
// before the data the history is spaces. Distance 4096 (the write position
// itself) is left out, as some decoders get it wrong.
constexpr std::size_t kMaxDistance = kRingSize - 1;

struct Match {
    std::uint8_t length = 0;     // 0: no match of kMinMatch bytes or more
    std::uint16_t distance = 0;
};

// Hash chains over three-byte prefixes, bounded by the window; finds the
// longest match (up to kSzddMaxEncodedMatch) at each position in turn.
class MatchFinder {
public:
    explicit MatchFinder(const std::vector<unsigned char>& history)
        : h_(history), head_(kHashSize, kNone), prev_(kRingSize, kNone) {}

    // Makes position p a candidate for the positions after it.
    void Insert(std::size_t p) {
        if (p + kMinMatch > h_.size()) return;
        const std::size_t hash = Hash(p);
        prev_[p & kRingMask] = head_[hash];
        head_[hash] = static_cast<std::uint32_t>(p);
    }

    Match Longest(std::size_t p) const {
        Match best;
        const std::size_t limit = std::min(kSzddMaxEncodedMatch, h_.size() - p);
        if (limit < kMinMatch) return best;
        const unsigned char* cur = h_.data() + p;
        std::size_t bestLength = kMinMatch - 1;
        std::uint32_t c = head_[Hash(p)];
        for (unsigned depth = 0; c != kNone && depth < kMaxChain; ++depth) {
            const std::size_t distance = p - c;
            if (distance > kMaxDistance) break;
            const unsigned char* cand = h_.data() + c;
            if (cand[bestLength] == cur[bestLength]) {
                std::size_t len = 0;
                while (len < limit && cand[len] == cur[len]) ++len;
                if (len > bestLength) {
                    bestLength = len;
                    best.length = static_cast<std::uint8_t>(len);
                    best.distance = static_cast<std::uint16_t>(distance);
                    if (len == limit) break;
                }
            }
            c = prev_[c & kRingMask];
        }
        return best;
    }

private:
    static constexpr std::size_t kHashBits = 15;
    static constexpr std::size_t kHashSize = std::size_t{1} << kHashBits;
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    // The window holds at most 4095 candidates, so the chain walk is
    // bounded anyway; this keeps pathological inputs fast.
    static constexpr unsigned kMaxChain = 1024;

    std::size_t Hash(std::size_t p) const {
        const std::uint32_t v = h_[p] | static_cast<std::uint32_t>(h_[p + 1]) << 8 |
                                static_cast<std::uint32_t>(h_[p + 2]) << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const std::vector<unsigned char>& h_;
    std::vector<std::uint32_t> head_;
    std::vector<std::uint32_t> prev_;
};

// The longest match at every position of the data.
std::vector<Match> LongestMatches(std::string_view data) {
    // The history starts with the spaces the ring is filled with.
    const std::size_t base = kRingSize;
    std::vector<unsigned char> history(base + data.size(), kRingFill);
    if (!data.empty()) std::memcpy(history.data() + base, data.data(), data.size());

    std::vector<Match> matches(data.size());
    MatchFinder finder(history);
    for (std::size_t p = base - kMaxDistance; p < base; ++p) finder.Insert(p);
    for (std::size_t i = 0; i < data.size(); ++i) {
        matches[i] = finder.Longest(base + i);
        finder.Insert(base + i);
    }
    return matches;
}

// The fewest bits: a shortest path from the end, where a literal costs 9
// bits and a reference 17 whatever its length, and every prefix of a
// match is a match too. Gives the length of the item at each position on
// the path (1: literal).
std::vector<std::uint8_t> ShortestParse(const std::vector<Match>& matches) {
    constexpr std::uint64_t kLiteralBits = 9;
    constexpr std::uint64_t kReferenceBits = 17;
    const std::size_t n = matches.size();
    std::vector<std::uint64_t> cost(n + 1, 0);
    std::vector<std::uint8_t> steps(n, 1);
    for (std::size_t i = n; i-- > 0;) {
        std::uint64_t best = cost[i + 1] + kLiteralBits;
        for (std::size_t len = kMinMatch; len <= matches[i].length; ++len) {
            const std::uint64_t c = cost[i + len] + kReferenceBits;
            if (c <= best) {
                best = c;
                steps[i] = static_cast<std::uint8_t>(len);
            }
        }
        cost[i] = best;
    }
    return steps;
}

// Writes groups of a control byte and up to eight items.
class GroupWriter {
public:
    explicit GroupWriter(std::string& out) : out_(out) {}

    void Literal(unsigned char b) {
        Item(true);
        out_.push_back(static_cast<char>(b));
    }

    void Reference(std::size_t ringPos, std::size_t length) {
        Item(false);
        out_.push_back(static_cast<char>(ringPos & 0xFF));
        out_.push_back(static_cast<char>(((ringPos >> 4) & 0xF0) | (length - kMinMatch)));
    }

private:
    void Item(bool literal) {
        if (bit_ == 8) {
            control_ = out_.size();
            out_.push_back(0);
            bit_ = 0;
        }
        if (literal) out_[control_] = static_cast<char>(out_[control_] | (1 << bit_));
        ++bit_;
    }

    std::string& out_;
    std::size_t control_ = 0;
    int bit_ = 8;
};

void AppendHeader(std::string& out, std::uint32_t size) {
    out.append(kSzddSignature);
    out.push_back(kSzddModeA);
    out.push_back(0);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((size >> (8 * i)) & 0xFF));
}

}  // namespace

const char* SzddStatusText(SzddStatus status) {
    switch (status) {
    case SzddStatus::kOk: return "ok";
    case SzddStatus::kNotSzdd: return "not an SZDD stream";
    case SzddStatus::kUnsupportedMode: return "unsupported compression mode";
    case SzddStatus::kTruncated: return "stream is truncated";
    case SzddStatus::kOverrun: return "stream runs past its expanded size";
    case SzddStatus::kTrailingData: return "data after the end of the stream";
    }
    return "unknown status";
}

SzddStatus ReadSzddHeader(std::string_view stream, SzddHeader& header) {
    if (stream.size() < kSzddHeaderSize || stream.substr(0, kSzddSignature.size()) != kSzddSignature)
        return SzddStatus::kNotSzdd;
    const unsigned char* p = Bytes(stream);
    header.mode = static_cast<char>(p[8]);
    header.missingChar = static_cast<char>(p[9]);
    header.expandedSize = ReadLe32(p + 10);
    if (header.mode != kSzddModeA) return SzddStatus::kUnsupportedMode;
    return SzddStatus::kOk;
}

SzddStatus ExpandSzdd(std::string_view stream, std::string& out, SzddStreamStats* stats) {
    out.clear();
    SzddStreamStats local;
    SzddStreamStats& s = stats ? *stats : local;
    s = SzddStreamStats{};
    SzddHeader header;
    const SzddStatus status = ReadSzddHeader(stream, header);
    if (status != SzddStatus::kOk) return status;
    return RingDecoder(stream.substr(kSzddHeaderSize), header.expandedSize, out, s).Run();
}

std::string CompressSzdd(std::string_view data) {
    const std::size_t n = data.size();
    if (static_cast<std::uint64_t>(n) > 0xFFFFFFFFull - 2 * kRingSize)
        throw Failure("SZDD: data too large for the 32-bit size field");

    const std::vector<Match> matches = LongestMatches(data);
    const std::vector<std::uint8_t> steps = ShortestParse(matches);

    std::string out;
    out.reserve(kSzddHeaderSize + n + n / 8 + 1);
    AppendHeader(out, static_cast<std::uint32_t>(n));
    GroupWriter writer(out);
    for (std::size_t i = 0; i < n;) {
        const std::size_t len = steps[i];
        if (len == 1) {
            writer.Literal(static_cast<unsigned char>(data[i]));
        } else {
            writer.Reference((kRingStart + i - matches[i].distance) & kRingMask, len);
        }
        i += len;
    }
    return out;
}

}  // namespace qv
