#pragma once
// The installation database a setup needs beside it before the run starts:
// until a project names its own, bwbuild makes an empty one with wixl.
#include <string>

namespace bw::authoring {

// Writes a minimal valid installation database (no files, one feature) for
// the product code at path, through Debian's wixl. Throws std::runtime_error
// when wixl is missing or fails.
void WritePlaceholderDatabase(const std::string& path, const std::string& productCode);

}  // namespace bw::authoring
