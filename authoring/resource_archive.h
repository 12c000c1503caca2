#pragma once
// The setup resource archive: the support files a setup unpacks into its
// support folder at start-up, as a 7z archive made by Debian's 7z.
#include <string>
#include <vector>

namespace bw::authoring {

// Archives the support paths (files or folders, relative to baseFolder; a
// folder brings its whole content under its own name) into archivePath. No
// paths give an empty archive. Throws std::runtime_error naming a path the
// engine would refuse to extract (absolute, "..", ":", device names, a
// trailing dot or blank ...) or a failure of 7z; nothing is left behind then.
void WriteResourceArchive(const std::string& baseFolder, const std::vector<std::string>& supportPaths,
                          const std::string& archivePath);

}  // namespace bw::authoring
