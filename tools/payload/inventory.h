#pragma once
// The sixteen files a setup program carries, in container order: resource
// name, entry name, size of the vendor's entry (name field included) and
// expanded size.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qv::payload {

struct InventoryItem {
    std::string_view resource;   // "101" .. "116", a resource name given as a string
    std::string_view fileName;   // the entry name in the name field
    std::uint32_t storedSize;    // of the vendor's entry
    std::uint32_t expandedSize;  // of the vendor's file
    std::string_view afterNul;   // bytes the name field holds after its NUL
};

inline constexpr std::string_view kPayloadResourceType = "SETUP";
inline constexpr std::uint16_t kPayloadLanguage = 1049;  // Russian

inline constexpr InventoryItem kInventory[] = {
    {"101", "Quorvel.exe", 1394037, 2737152, {}},
    {"102", "Descript.txt", 461262, 986631, {}},
    {"103", "DateVar.dat", 353, 522, {}},
    {"104", "TimeVar.dat", 1292, 5643, {}},
    {"105", "Dates.dat", 1642, 2392, {}},
    {"106", "Dates2.dat", 38543, 65224, {}},
    {"107", "Dates3.dat", 15601, 25480, {}},
    {"108", "Dates4.dat", 11111, 18154, {}},
    {"109", "Cityes.dat", 98800, 214903, {}},
    {"110", "Regions.dat", 3246, 8458, {}},
    {"111", "Republics.dat", 1896, 3449, {}},
    {"112", "Group.txt", 105, 70, "dat"},
    {"113", "UnInstall.exe", 376780, 612352, {}},
    {"114", "QuorVel.chm", 999463, 901931, {}},
    {"115", "People.dat", 3012, 9778, {}},
    {"116", "QuorVel.TTF", 34875, 51340, {}},
};

inline constexpr std::size_t kInventorySize = sizeof kInventory / sizeof kInventory[0];

}  // namespace qv::payload
