#pragma once
// A portable reader of the resources of a PE file (PE32 or PE32+): walks
// the three levels of the resource directory (type, name, language) of a
// file image held in memory. Every offset is checked against the image;
// a malformed file gives an error, never a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A resource type or name: a number, or a string (UTF-16, as stored).
struct ResourceId {
    bool named = false;
    std::uint16_t id = 0;
    std::u16string name;

    // "SETUP" (UTF-8) for a string, "#5" for a number.
    std::string Text() const;
    // Compares with an ASCII string without regard to letter case, as the
    // system does for resource names given as strings.
    bool IsNamed(std::string_view ascii) const;
};

struct PeResource {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    std::string_view data;  // into the image
};

enum class PeStatus {
    kOk,
    kNotPe,         // no MZ / PE signature, or headers cut short
    kUnsupported,   // an optional header that is neither PE32 nor PE32+
    kMalformed,     // an offset, size or structure of the resources is invalid
    kTooLarge,      // more directory entries than a sane file has
};

const char* PeStatusText(PeStatus status);

// Lists every resource of the image in directory order (the order in
// which the system enumerates them). A file without a resource directory
// gives kOk and an empty list.
PeStatus ReadPeResources(std::string_view image, std::vector<PeResource>& resources);

// The resources whose type is the string `typeName`, in order.
std::vector<PeResource> ResourcesOfType(const std::vector<PeResource>& resources,
                                        std::string_view typeName);

}  // namespace qv
