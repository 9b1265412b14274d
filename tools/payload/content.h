#pragma once
// Stand-in contents for the payload files: deterministic, of exactly the
// requested size, and shaped like real data of each kind (text and record
// files in code page 1251 with CRLF lines, program images, a compiled help
// file, a TrueType font), so that they compress like the real ones.
#include <cstddef>
#include <string>
#include <string_view>

#include "tools/payload/rng.h"

namespace qv::payload {

// The contents of the payload file `fileName`, `size` bytes long, from a
// seed fixed by the file name. Empty for a name with no generator.
std::string GenerateFile(std::string_view fileName, std::size_t size);

// Text-like contents (content_text.cpp).
std::string MakeDescriptions(Rng& rng, std::size_t size);
std::string MakeDateVariants(Rng& rng, std::size_t size);
std::string MakeTimeTable(Rng& rng, std::size_t size);
std::string MakeDateRecords(Rng& rng, std::size_t size);
std::string MakeCities(Rng& rng, std::size_t size);
std::string MakeRegions(Rng& rng, std::size_t size);
std::string MakeRepublics(Rng& rng, std::size_t size);
std::string MakeGroup(Rng& rng, std::size_t size);
std::string MakePeople(Rng& rng, std::size_t size);

// Program images (content_program.cpp).
std::string MakeProgram(Rng& rng, std::size_t size);
std::string MakeUninstaller(Rng& rng, std::size_t size);
// Other binary contents (content_binary.cpp).
std::string MakeHelpFile(Rng& rng, std::size_t size);
std::string MakeFont(Rng& rng, std::size_t size);

// Cuts or completes generated text to exactly `size` bytes, ending with a
// line break where there is room for one.
std::string FitText(std::string text, std::size_t size);

}  // namespace qv::payload
