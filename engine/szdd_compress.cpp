// The SZDD encoder, used by the build's tools; the programs only expand.
#include "engine/szdd.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "toolkit/failure.h"

namespace qv {
namespace {

// The history the decoder sees: the ring's initial spaces, then the data.
// A reference copies from a fixed distance back, 1 to kMaxDistance bytes;
// before the data the history is spaces. Distance 4096 (the write position
// itself) is left out, as some decoders get it wrong.
constexpr std::size_t kMaxDistance = kSzddRingSize - 1;

struct Match {
    std::uint8_t length = 0;     // 0: no match of kSzddMinMatch bytes or more
    std::uint16_t distance = 0;
};

// Hash chains over three-byte prefixes, bounded by the window; finds the
// longest match (up to kSzddMaxEncodedMatch) at each position in turn.
class MatchFinder {
public:
    explicit MatchFinder(const std::vector<unsigned char>& history)
        : h_(history), head_(kHashSize, kNone), prev_(kSzddRingSize, kNone) {}

    // Makes position p a candidate for the positions after it.
    void Insert(std::size_t p) {
        if (p + kSzddMinMatch > h_.size()) return;
        const std::size_t hash = Hash(p);
        prev_[p & kSzddRingMask] = head_[hash];
        head_[hash] = static_cast<std::uint32_t>(p);
    }

    Match Longest(std::size_t p) const {
        Match best;
        const std::size_t limit = std::min(kSzddMaxEncodedMatch, h_.size() - p);
        if (limit < kSzddMinMatch) return best;
        const unsigned char* cur = h_.data() + p;
        std::size_t bestLength = kSzddMinMatch - 1;
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
            c = prev_[c & kSzddRingMask];
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
    const std::size_t base = kSzddRingSize;
    std::vector<unsigned char> history(base + data.size(), kSzddRingFill);
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
        for (std::size_t len = kSzddMinMatch; len <= matches[i].length; ++len) {
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
        out_.push_back(static_cast<char>(((ringPos >> 4) & 0xF0) | (length - kSzddMinMatch)));
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

std::string CompressSzdd(std::string_view data) {
    const std::size_t n = data.size();
    if (static_cast<std::uint64_t>(n) > 0xFFFFFFFFull - 2 * kSzddRingSize)
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
            writer.Reference((kSzddRingStart + i - matches[i].distance) & kSzddRingMask, len);
        }
        i += len;
    }
    return out;
}

}  // namespace qv
