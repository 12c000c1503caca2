#pragma once
// Runs a tool the authoring tool relies on (wixl, 7z).
#include <string>
#include <vector>

namespace bw::authoring {

// Runs arguments[0] (searched on PATH) in folder (the current one when
// empty), its output discarded. True when it ran and exited with status 0.
bool RunProgram(const std::vector<std::string>& arguments, const std::string& folder = {});

}  // namespace bw::authoring
