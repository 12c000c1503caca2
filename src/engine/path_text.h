#pragma once
// Windows paths as text: folder and file name parts, trailing backslashes.
#include <string>
#include <string_view>

namespace bw {

// The folder part of a path up to and including its last backslash or colon.
std::string FolderOf(std::string_view path);
// The part after the folder.
std::string FileNameOf(std::string_view path);
// The path without the extension of its file name (the folder's dots stay).
std::string WithoutExtension(std::string_view path);
// The folder with a trailing backslash; an empty folder stays empty.
std::string WithTrailingBackslash(std::string folder);

}  // namespace bw
