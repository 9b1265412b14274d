#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pe_resources.h"

namespace qv {
namespace {

using namespace std::string_literals;

// A resource type or name for the builder: a string, or a number when
// the string is empty.
struct Key {
    std::u16string name;
    std::uint16_t id = 0;
};

struct TestResource {
    Key type;
    Key name;
    std::uint16_t language;
    std::string data;
};

class Bytes {
public:
    std::string b;
    std::size_t Size() const { return b.size(); }
    void U16(unsigned v) {
        b.push_back(static_cast<char>(v & 0xFF));
        b.push_back(static_cast<char>((v >> 8) & 0xFF));
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void PutU32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    void Zeros(std::size_t n) { b.append(n, '\0'); }
    void AlignTo(std::size_t n) { Zeros((n - b.size() % n) % n); }
};

// A resource section holding `resources`, grouped by type and name in the
// order given (named keys must come before numbered ones of each level).
class ResourceSectionBuilder {
public:
    explicit ResourceSectionBuilder(std::uint32_t rva) : rva_(rva) {}

    std::string Build(const std::vector<TestResource>& rs) {
        std::vector<std::vector<std::vector<const TestResource*>>> types;
        for (const TestResource& r : rs) {
            if (types.empty() || !Same(types.back()[0][0]->type, r.type)) types.emplace_back();
            auto& names = types.back();
            if (names.empty() || !Same(names.back()[0]->name, r.name)) names.emplace_back();
            names.back().push_back(&r);
        }
        const std::size_t root = Directory(Counted(types, [](const auto& t) { return t[0][0]->type; }));
        for (std::size_t t = 0; t < types.size(); ++t) {
            const auto& names = types[t];
            const std::size_t typeDir = Directory(Counted(names, [](const auto& n) { return n[0]->name; }));
            Link(root, t, names[0][0]->type, typeDir);
            for (std::size_t n = 0; n < names.size(); ++n) {
                const std::size_t nameDir = Directory({0, names[n].size()});
                Link(typeDir, n, names[n][0]->name, nameDir);
                for (std::size_t l = 0; l < names[n].size(); ++l) {
                    const std::size_t leaf = out_.Size();
                    out_.Zeros(16);
                    SetEntry(nameDir, l, names[n][l]->language, static_cast<std::uint32_t>(leaf));
                    data_.push_back({leaf, names[n][l]->data});
                }
            }
        }
        for (const auto& [at, text] : strings_) {
            out_.AlignTo(2);
            out_.PutU32(at, 0x80000000u | static_cast<std::uint32_t>(out_.Size()));
            out_.U16(static_cast<unsigned>(text.size()));
            for (char16_t c : text) out_.U16(c);
        }
        for (const auto& [leaf, bytes] : data_) {
            out_.AlignTo(4);
            out_.PutU32(leaf, rva_ + static_cast<std::uint32_t>(out_.Size()));
            out_.PutU32(leaf + 4, static_cast<std::uint32_t>(bytes.size()));
            out_.PutU32(leaf + 8, 1251);
            out_.b += bytes;
        }
        return out_.b;
    }

private:
    static bool Same(const Key& a, const Key& b) { return a.name == b.name && a.id == b.id; }

    template <class List, class KeyOf>
    static std::pair<std::size_t, std::size_t> Counted(const List& list, KeyOf keyOf) {
        std::size_t named = 0;
        for (const auto& item : list) named += keyOf(item).name.empty() ? 0 : 1;
        return {named, list.size() - named};
    }

    std::size_t Directory(std::pair<std::size_t, std::size_t> counts) {
        const std::size_t at = out_.Size();
        out_.Zeros(12);
        out_.U16(static_cast<unsigned>(counts.first));
        out_.U16(static_cast<unsigned>(counts.second));
        out_.Zeros(8 * (counts.first + counts.second));
        return at;
    }

    void SetEntry(std::size_t dir, std::size_t index, std::uint32_t nameField, std::uint32_t dataField) {
        out_.PutU32(dir + 16 + 8 * index, nameField);
        out_.PutU32(dir + 16 + 8 * index + 4, dataField);
    }

    void Link(std::size_t dir, std::size_t index, const Key& key, std::size_t child) {
        SetEntry(dir, index, key.id, 0x80000000u | static_cast<std::uint32_t>(child));
        if (!key.name.empty()) strings_.push_back({dir + 16 + 8 * index, key.name});
    }

    std::uint32_t rva_;
    Bytes out_;
    std::vector<std::pair<std::size_t, std::u16string>> strings_;
    std::vector<std::pair<std::size_t, std::string>> data_;
};

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::uint32_t kSectionRaw = 0x200;

// A minimal PE32 image with one section, ".rsrc", holding `resources`.
std::string TinyPe(const std::vector<TestResource>& resources, bool withResourceDirectory = true) {
    const std::string section = ResourceSectionBuilder(kSectionRva).Build(resources);
    Bytes pe;
    pe.U16(0x5A4D);
    pe.Zeros(0x3C - pe.Size());
    pe.U32(0x40);
    pe.U32(0x00004550);                             // "PE\0\0"
    pe.U16(0x14C);                                  // i386
    pe.U16(1);                                      // one section
    pe.Zeros(12);
    pe.U16(0xE0);                                   // optional header size
    pe.U16(0x0102);
    const std::size_t opt = pe.Size();
    pe.U16(0x10B);                                  // PE32
    pe.Zeros(90);
    pe.U32(16);                                     // data directories
    for (int d = 0; d < 16; ++d) {
        const bool resourceDir = d == 2 && withResourceDirectory;
        pe.U32(resourceDir ? kSectionRva : 0);
        pe.U32(resourceDir ? static_cast<std::uint32_t>(section.size()) : 0);
    }
    EXPECT_EQ(pe.Size() - opt, 0xE0u);
    pe.b += std::string(".rsrc\0\0\0", 8);
    pe.U32(static_cast<std::uint32_t>(section.size()));
    pe.U32(kSectionRva);
    pe.U32(static_cast<std::uint32_t>(section.size()));
    pe.U32(kSectionRaw);
    pe.Zeros(12);
    pe.U32(0x40000040);
    pe.Zeros(kSectionRaw - pe.Size());
    pe.b += section;
    return pe.b;
}

std::vector<TestResource> SetupResources() {
    return {
        {{u"SETUP"}, {u"101"}, 1049, "Quorvel.exe\0entry-1"s},
        {{u"SETUP"}, {u"102"}, 1049, "Descript.txt\0entry-2"s},
        {{u"SETUP"}, {u"103"}, 1049, ""},
        {{u"SETUP"}, {u"103"}, 1033, "english"},
        {{{}, 10}, {{}, 5}, 1049, "numbered"},
    };
}

TEST(PeResources, ListsResourcesInDirectoryOrder) {
    const std::string image = TinyPe(SetupResources());
    std::vector<PeResource> all;
    ASSERT_EQ(ReadPeResources(image, all), PeStatus::kOk);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].type.Text(), "SETUP");
    EXPECT_EQ(all[0].name.Text(), "101");
    EXPECT_TRUE(all[0].name.named);
    EXPECT_EQ(all[0].language, 1049);
    EXPECT_EQ(all[0].codePage, 1251u);
    EXPECT_EQ(all[0].data, "Quorvel.exe\0entry-1"s);
    EXPECT_EQ(all[1].name.Text(), "102");
    EXPECT_TRUE(all[2].data.empty());
    EXPECT_EQ(all[3].language, 1033);
    EXPECT_EQ(all[4].type.Text(), "#10");
    EXPECT_EQ(all[4].name.Text(), "#5");
    EXPECT_FALSE(all[4].name.named);
}

TEST(PeResources, SelectsATypeByNameWithoutRegardToCase) {
    std::vector<PeResource> all;
    ASSERT_EQ(ReadPeResources(TinyPe(SetupResources()), all), PeStatus::kOk);
    EXPECT_EQ(ResourcesOfType(all, "SETUP").size(), 4u);
    EXPECT_EQ(ResourcesOfType(all, "setup").size(), 4u);
    EXPECT_TRUE(ResourcesOfType(all, "SETUPX").empty());
    EXPECT_TRUE(ResourcesOfType(all, "#10").empty()) << "numbered types are not named";
}

TEST(PeResources, ImageWithoutResourcesIsEmpty) {
    std::vector<PeResource> all;
    EXPECT_EQ(ReadPeResources(TinyPe({}, false), all), PeStatus::kOk);
    EXPECT_TRUE(all.empty());
}

TEST(PeResources, RejectsWhatIsNotPe) {
    std::vector<PeResource> all;
    EXPECT_EQ(ReadPeResources("", all), PeStatus::kNotPe);
    EXPECT_EQ(ReadPeResources("MZ", all), PeStatus::kNotPe);
    EXPECT_EQ(ReadPeResources(std::string(4096, '\xFF'), all), PeStatus::kNotPe);
    std::string image = TinyPe(SetupResources());
    image[0x58] = 0x07;  // optional header magic
    EXPECT_EQ(ReadPeResources(image, all), PeStatus::kUnsupported);
}

TEST(PeResources, SurvivesEveryTruncation) {
    const std::string image = TinyPe(SetupResources());
    std::vector<PeResource> all;
    for (std::size_t n = 0; n < image.size(); ++n) {
        const PeStatus status = ReadPeResources(image.substr(0, n), all);
        EXPECT_NE(status, PeStatus::kOk) << n;
        EXPECT_TRUE(all.empty());
    }
}

TEST(PeResources, SurvivesCorruptedBytes) {
    const std::string image = TinyPe(SetupResources());
    std::vector<PeResource> all;
    for (std::size_t at = 0; at < image.size(); ++at) {
        for (char v : {'\x00', '\x7F', '\x80', '\xFF'}) {
            std::string bad = image;
            bad[at] = v;
            if (ReadPeResources(bad, all) != PeStatus::kOk) continue;
            for (const PeResource& r : all) {
                // Every data view lies within the image.
                EXPECT_GE(r.data.data(), bad.data());
                EXPECT_LE(r.data.data() + r.data.size(), bad.data() + bad.size());
            }
        }
    }
}

std::uint32_t ReadU32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

void PutU32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(PeResources, RejectsBadOffsetsAndLoops) {
    const std::string image = TinyPe(SetupResources());
    const std::size_t rootEntry = kSectionRaw + 16;
    std::vector<PeResource> all;

    std::string outside = image;
    PutU32(outside, rootEntry + 4, 0x80000000u | 0x7FFFFFF0u);
    EXPECT_EQ(ReadPeResources(outside, all), PeStatus::kMalformed);

    // The type directory points back at the root: the walk still ends.
    std::string loop = image;
    const std::uint32_t typeDir = ReadU32(image, rootEntry + 4) & 0x7FFFFFFFu;
    PutU32(loop, kSectionRaw + typeDir + 16 + 4, 0x80000000u);
    EXPECT_NE(ReadPeResources(loop, all), PeStatus::kOk);

    // A name string whose length runs past the section.
    std::string name = image;
    const std::uint32_t nameAt = ReadU32(image, rootEntry) & 0x7FFFFFFFu;
    name[kSectionRaw + nameAt] = '\xFF';
    name[kSectionRaw + nameAt + 1] = '\x7F';
    EXPECT_EQ(ReadPeResources(name, all), PeStatus::kMalformed);
}

TEST(PeResources, RejectsHugeDataSizes) {
    std::string image = TinyPe(SetupResources());
    std::vector<PeResource> all;
    ASSERT_EQ(ReadPeResources(image, all), PeStatus::kOk);
    const std::size_t leaf = static_cast<std::size_t>(all[0].data.data() - image.data());
    // Find the data entry that points at the first resource and grow its size.
    for (std::size_t at = kSectionRaw; at + 8 <= image.size(); at += 4) {
        if (ReadU32(image, at) == kSectionRva + (leaf - kSectionRaw)) {
            PutU32(image, at + 4, 0xFFFFFFF0u);
            break;
        }
    }
    EXPECT_EQ(ReadPeResources(image, all), PeStatus::kMalformed);
}

}  // namespace
}  // namespace qv
