#include "engine/szdd.h"

#include <algorithm>
#include <array>

namespace qv {
namespace {

// The most output a run of n data bytes can yield: a group of 17 bytes
// (control byte and eight references) gives 8 x 18 bytes.
std::size_t MaxExpansion(std::size_t n) {
    return n / 17 * (8 * kSzddMaxFormatMatch) + 8 * kSzddMaxFormatMatch;
}

std::uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

const unsigned char* Bytes(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

class RingDecoder {
public:
    RingDecoder(std::string_view data, std::size_t expandedSize, std::string& out,
                SzddStreamStats& stats)
        : in_(Bytes(data)), end_(in_ + data.size()), size_(expandedSize), out_(out),
          stats_(stats) {
        ring_.fill(kSzddRingFill);
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
        const std::size_t length = (b1 & 0x0Fu) + kSzddMinMatch;
        if (length > size_ - produced_) return SzddStatus::kOverrun;
        // Byte by byte: a reference overlapping the write position repeats.
        for (std::size_t k = 0; k < length; ++k) {
            Put(ring_[from]);
            from = (from + 1) & kSzddRingMask;
        }
        ++stats_.references;
        stats_.longestReference = std::max(stats_.longestReference, length);
        return SzddStatus::kOk;
    }

    void Put(unsigned char b) {
        out_[produced_++] = static_cast<char>(b);
        ring_[pos_] = b;
        pos_ = (pos_ + 1) & kSzddRingMask;
    }

    const unsigned char* in_;
    const unsigned char* end_;
    std::size_t size_;
    std::string& out_;
    SzddStreamStats& stats_;
    std::array<unsigned char, kSzddRingSize> ring_;
    std::size_t pos_ = kSzddRingStart;
    std::size_t produced_ = 0;
};

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

}  // namespace qv
