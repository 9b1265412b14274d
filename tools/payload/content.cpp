#include "tools/payload/content.h"

namespace qv::payload {
namespace {

using Maker = std::string (*)(Rng&, std::size_t);

struct Generator {
    std::string_view fileName;
    Maker make;
};

const Generator kGenerators[] = {
    {"Quorvel.exe", MakeProgram},      {"Descript.txt", MakeDescriptions},
    {"DateVar.dat", MakeDateVariants}, {"TimeVar.dat", MakeTimeTable},
    {"Dates.dat", MakeDateRecords},    {"Dates2.dat", MakeDateRecords},
    {"Dates3.dat", MakeDateRecords},   {"Dates4.dat", MakeDateRecords},
    {"Cityes.dat", MakeCities},        {"Regions.dat", MakeRegions},
    {"Republics.dat", MakeRepublics},  {"Group.txt", MakeGroup},
    {"UnInstall.exe", MakeUninstaller},    {"QuorVel.chm", MakeHelpFile},
    {"People.dat", MakePeople},        {"QuorVel.TTF", MakeFont},
};

// The seed of a file: a fixed value mixed with its name (FNV-1a).
std::uint64_t SeedOf(std::string_view fileName) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (char c : fileName) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return h ^ 0x51A7E5EEDull;
}

}  // namespace

std::string GenerateFile(std::string_view fileName, std::size_t size) {
    for (const Generator& g : kGenerators) {
        if (g.fileName == fileName) {
            Rng rng(SeedOf(fileName));
            std::string bytes = g.make(rng, size);
            bytes.resize(size);
            return bytes;
        }
    }
    return {};
}

}  // namespace qv::payload
