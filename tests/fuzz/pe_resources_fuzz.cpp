// Any bytes as a PE file: the resource reader stays in bounds, and every
// resource it lists lies within the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view image(reinterpret_cast<const char*>(data), size);
    std::vector<qv::PeResource> resources;
    if (qv::ReadPeResources(image, resources) != qv::PeStatus::kOk) {
        if (!resources.empty()) std::abort();
        return 0;
    }
    for (const qv::PeResource& r : resources) {
        if (r.data.data() < image.data() || r.data.data() + r.data.size() > image.data() + image.size()) std::abort();
        (void)r.type.Text();
        (void)r.name.Text();
    }
    (void)qv::ResourcesOfType(resources, "SETUP");
    return 0;
}
