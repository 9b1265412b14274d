#include "engine/pe_resources.h"

#include <optional>

namespace qv {
namespace {

// Bounds-checked little-endian reads from the file image.
class Image {
public:
    explicit Image(std::string_view bytes) : b_(bytes) {}

    bool Has(std::uint64_t offset, std::uint64_t size) const {
        return offset <= b_.size() && size <= b_.size() - offset;
    }
    std::optional<std::uint16_t> U16(std::uint64_t off) const {
        if (!Has(off, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(Byte(off) | Byte(off + 1) << 8);
    }
    std::optional<std::uint32_t> U32(std::uint64_t off) const {
        if (!Has(off, 4)) return std::nullopt;
        return static_cast<std::uint32_t>(Byte(off) | Byte(off + 1) << 8 | Byte(off + 2) << 16 |
                                          static_cast<std::uint32_t>(Byte(off + 3)) << 24);
    }
    std::string_view Slice(std::uint64_t off, std::uint64_t size) const {
        return b_.substr(static_cast<std::size_t>(off), static_cast<std::size_t>(size));
    }

private:
    unsigned Byte(std::uint64_t off) const { return static_cast<unsigned char>(b_[off]); }
    std::string_view b_;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawPointer;
};

constexpr std::uint32_t kHighBit = 0x80000000u;
// A directory walk visits at most this many entries; shared subdirectories
// could otherwise multiply a small file into billions of resources.
constexpr std::size_t kMaxVisitedEntries = 1u << 20;

class ResourceWalker {
public:
    ResourceWalker(const Image& image, std::vector<Section> sections, std::uint32_t rootRva)
        : img_(image), sections_(std::move(sections)), root_(rootRva) {}

    PeStatus Walk(std::vector<PeResource>& out) {
        PeResource current;
        return Directory(0, 0, current, out);
    }

private:
    // File offset of `size` bytes at `rva`, when all of them are in the file.
    std::optional<std::uint64_t> Map(std::uint64_t rva, std::uint64_t size) const {
        for (const Section& s : sections_) {
            if (rva < s.virtualAddress) continue;
            const std::uint64_t delta = rva - s.virtualAddress;
            if (delta + size > s.rawSize) continue;
            const std::uint64_t off = s.rawPointer + delta;
            if (img_.Has(off, size)) return off;
        }
        return std::nullopt;
    }

    std::optional<std::uint64_t> MapInResources(std::uint32_t offset, std::uint64_t size) const {
        return Map(static_cast<std::uint64_t>(root_) + offset, size);
    }

    PeStatus Directory(std::uint32_t offset, int level, PeResource& current,
                       std::vector<PeResource>& out) {
        const auto header = MapInResources(offset, 16);
        if (!header) return PeStatus::kMalformed;
        const std::uint32_t count = *img_.U16(*header + 12) + *img_.U16(*header + 14);
        const auto entries = MapInResources(offset, 16 + 8ull * count);
        if (!entries) return PeStatus::kMalformed;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (++visited_ > kMaxVisitedEntries) return PeStatus::kTooLarge;
            const std::uint64_t e = *entries + 16 + 8ull * i;
            const PeStatus status = Entry(*img_.U32(e), *img_.U32(e + 4), level, current, out);
            if (status != PeStatus::kOk) return status;
        }
        return PeStatus::kOk;
    }

    PeStatus Entry(std::uint32_t nameField, std::uint32_t dataField, int level,
                   PeResource& current, std::vector<PeResource>& out) {
        ResourceId id;
        if (!ReadId(nameField, id)) return PeStatus::kMalformed;
        const bool subdirectory = (dataField & kHighBit) != 0;
        if (level < 2) {
            if (!subdirectory) return PeStatus::kMalformed;
            (level == 0 ? current.type : current.name) = std::move(id);
            return Directory(dataField & ~kHighBit, level + 1, current, out);
        }
        if (subdirectory || id.named) return PeStatus::kMalformed;
        current.language = id.id;
        return Leaf(dataField, current, out);
    }

    PeStatus Leaf(std::uint32_t offset, const PeResource& current, std::vector<PeResource>& out) {
        const auto entry = MapInResources(offset, 16);
        if (!entry) return PeStatus::kMalformed;
        const std::uint32_t dataRva = *img_.U32(*entry);
        const std::uint32_t size = *img_.U32(*entry + 4);
        const auto data = Map(dataRva, size);
        if (!data) return PeStatus::kMalformed;
        PeResource r = current;
        r.codePage = *img_.U32(*entry + 8);
        r.data = img_.Slice(*data, size);
        out.push_back(std::move(r));
        return PeStatus::kOk;
    }

    bool ReadId(std::uint32_t field, ResourceId& id) const {
        if (!(field & kHighBit)) {
            if (field > 0xFFFF) return false;
            id.id = static_cast<std::uint16_t>(field);
            return true;
        }
        const std::uint32_t offset = field & ~kHighBit;
        const auto lengthAt = MapInResources(offset, 2);
        if (!lengthAt) return false;
        const std::uint16_t length = *img_.U16(*lengthAt);
        const auto chars = MapInResources(offset, 2 + 2ull * length);
        if (!chars) return false;
        id.named = true;
        id.name.reserve(length);
        for (std::uint16_t k = 0; k < length; ++k) {
            id.name.push_back(static_cast<char16_t>(*img_.U16(*chars + 2 + 2ull * k)));
        }
        return true;
    }

    const Image& img_;
    std::vector<Section> sections_;
    std::uint32_t root_;
    std::size_t visited_ = 0;
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - (u'a' - u'A') : c; }

struct Headers {
    std::vector<Section> sections;
    std::uint32_t resourceRva = 0;  // 0: no resource directory
};

PeStatus ReadHeaders(const Image& img, Headers& h) {
    const auto mz = img.U16(0);
    const auto peOffset = img.U32(0x3C);
    if (!mz || *mz != 0x5A4D || !peOffset) return PeStatus::kNotPe;
    const std::uint64_t pe = *peOffset;
    const auto signature = img.U32(pe);
    if (!signature || *signature != 0x00004550) return PeStatus::kNotPe;
    const std::uint64_t coff = pe + 4;
    const auto sectionCount = img.U16(coff + 2);
    const auto optionalSize = img.U16(coff + 16);
    const std::uint64_t opt = coff + 20;
    const auto magic = img.U16(opt);
    if (!sectionCount || !optionalSize || !magic) return PeStatus::kNotPe;

    std::uint64_t countAt = 0;
    if (*magic == 0x10B) {
        countAt = 92;
    } else if (*magic == 0x20B) {
        countAt = 108;
    } else {
        return PeStatus::kUnsupported;
    }
    const std::uint64_t resourceDir = countAt + 4 + 2 * 8;  // data directory 2
    if (resourceDir + 8 <= *optionalSize) {
        const auto count = img.U32(opt + countAt);
        const auto rva = img.U32(opt + resourceDir);
        if (!count || !rva) return PeStatus::kNotPe;
        if (*count > 2) h.resourceRva = *rva;
    }

    const std::uint64_t table = opt + *optionalSize;
    if (!img.Has(table, 40ull * *sectionCount)) return PeStatus::kNotPe;
    for (std::uint16_t i = 0; i < *sectionCount; ++i) {
        const std::uint64_t s = table + 40ull * i;
        h.sections.push_back({*img.U32(s + 12), *img.U32(s + 8), *img.U32(s + 16), *img.U32(s + 20)});
    }
    return PeStatus::kOk;
}

}  // namespace

std::string ResourceId::Text() const {
    if (!named) return std::to_string(id).insert(0, 1, '#');
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t c = name[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
            name[i + 1] < 0xE000) {
            const char32_t full = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00);
            out.push_back(static_cast<char>(0xF0 | (full >> 18)));
            out.push_back(static_cast<char>(0x80 | ((full >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((full >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (full & 0x3F)));
            ++i;
            continue;
        }
        if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
        AppendUtf8(out, c);
    }
    return out;
}

bool ResourceId::IsNamed(std::string_view ascii) const {
    if (!named || name.size() != ascii.size()) return false;
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        if (UpperAscii(name[i]) != UpperAscii(static_cast<unsigned char>(ascii[i]))) return false;
    }
    return true;
}

const char* PeStatusText(PeStatus status) {
    switch (status) {
    case PeStatus::kOk: return "ok";
    case PeStatus::kNotPe: return "not a PE file";
    case PeStatus::kUnsupported: return "unsupported optional header";
    case PeStatus::kMalformed: return "malformed resource directory";
    case PeStatus::kTooLarge: return "resource directory too large";
    }
    return "unknown status";
}

PeStatus ReadPeResources(std::string_view bytes, std::vector<PeResource>& resources) {
    resources.clear();
    const Image img(bytes);
    Headers headers;
    const PeStatus status = ReadHeaders(img, headers);
    if (status != PeStatus::kOk || headers.resourceRva == 0) return status;
    ResourceWalker walker(img, std::move(headers.sections), headers.resourceRva);
    const PeStatus walked = walker.Walk(resources);
    if (walked != PeStatus::kOk) resources.clear();
    return walked;
}

std::vector<PeResource> ResourcesOfType(const std::vector<PeResource>& resources,
                                        std::string_view typeName) {
    std::vector<PeResource> out;
    for (const PeResource& r : resources) {
        if (r.type.IsNamed(typeName)) out.push_back(r);
    }
    return out;
}

}  // namespace qv
