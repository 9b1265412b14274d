// The shipped programs of both architectures, read as files: a machine that
// cannot run one of the builds still checks what it made.
#include <cstdint>
#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/payload_entry.h"
#include "engine/pe_resources.h"
#include "engine/szdd.h"
#include "tests/unit/release/built_file.h"

namespace {

template <typename T>
T At(const std::string& image, std::size_t offset) {
    T value{};
    if (offset + sizeof value <= image.size()) std::memcpy(&value, image.data() + offset, sizeof value);
    return value;
}

struct Header {
    std::uint16_t machine = 0;
    std::uint16_t subsystem = 0;
};

// The machine of the file header and the subsystem of the optional header,
// which sits at the same offset in PE32 and PE32+.
Header ReadHeader(const std::string& image) {
    const auto pe = At<std::uint32_t>(image, 0x3c);
    if (image.compare(0, 2, "MZ") != 0 || image.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return {};
    return {At<std::uint16_t>(image, pe + 4), At<std::uint16_t>(image, pe + 24 + 68)};
}

struct Build {
    const char* name;
    std::string folder;
    std::uint16_t machine;
    std::string manifestArchitecture;
};

void PrintTo(const Build& build, std::ostream* out) { *out << build.name; }

class ShippedPrograms : public testing::TestWithParam<Build> {};

TEST_P(ShippedPrograms, AreGuiProgramsOfTheirArchitectureWithMatchingManifests) {
    const Build& build = GetParam();
    for (const char* program : {"setup.exe", "payload/app/QuorVel.exe", "payload/uninstaller/UnInstall.exe"}) {
        SCOPED_TRACE(program);
        const std::string image = ReadFile(build.folder + "/" + program);
        ASSERT_FALSE(image.empty());
        const Header header = ReadHeader(image);
        EXPECT_EQ(header.machine, build.machine);
        EXPECT_EQ(header.subsystem, 2) << "not a GUI program";

        std::vector<qv::PeResource> resources;
        ASSERT_EQ(qv::ReadPeResources(image, resources), qv::PeStatus::kOk);
        std::string manifest;
        for (const qv::PeResource& resource : resources) {
            if (!resource.type.named && resource.type.id == 24) manifest = resource.data;
        }
        // The program's own identity and the common controls it asks for.
        std::size_t named = 0;
        for (std::size_t at = manifest.find("processorArchitecture=\""); at != std::string::npos;
             at = manifest.find("processorArchitecture=\"", at + 1)) {
            const std::size_t value = at + std::strlen("processorArchitecture=\"");
            EXPECT_EQ(manifest.substr(value, manifest.find('"', value) - value), build.manifestArchitecture);
            ++named;
        }
        EXPECT_EQ(named, 2u) << manifest;
    }
}

TEST_P(ShippedPrograms, SetupCarriesTheProgramsOfItsOwnBuild) {
    if (!QV_CARRIES_OWN_PROGRAMS) GTEST_SKIP() << "the payload is a vendor's folder (QV_PAYLOAD_DIR)";
    const Build& build = GetParam();
    const std::string image = ReadFile(build.folder + "/setup.exe");
    std::vector<qv::PeResource> resources;
    ASSERT_EQ(qv::ReadPeResources(image, resources), qv::PeStatus::kOk);
    std::map<std::string, std::string> carried;
    for (const qv::PeResource& resource : qv::ResourcesOfType(resources, "SETUP")) {
        qv::PayloadEntry entry;
        ASSERT_EQ(qv::ParsePayloadEntry(resource.data, entry), qv::EntryStatus::kOk);
        std::string expanded;
        ASSERT_EQ(qv::ExpandSzdd(entry.stream, expanded), qv::SzddStatus::kOk) << entry.name;
        carried[entry.name] = expanded;
    }
    EXPECT_EQ(carried.size(), 16u);
    EXPECT_TRUE(carried["Quorvel.exe"] == ReadFile(build.folder + "/payload/app/QuorVel.exe"));
    EXPECT_TRUE(carried["UnInstall.exe"] == ReadFile(build.folder + "/payload/uninstaller/UnInstall.exe"));
}

INSTANTIATE_TEST_SUITE_P(Builds, ShippedPrograms,
                         testing::Values(Build{"x86", QV_TARGET_DIR_X86, 0x14c, "x86"},
                                         Build{"x64", QV_TARGET_DIR_X64, 0x8664, "amd64"}),
                         [](const testing::TestParamInfo<Build>& info) { return std::string(info.param.name); });

}  // namespace
