#pragma once
// The numbered support folder in the temporary folder, and its removal.
#include <string>

namespace bw {

// Creates the first "qorN" (N = 1, 2, ...) in the temporary folder that the
// creation itself finds free: a folder that exists, or appears meanwhile, is
// never adopted. When the process runs elevated the folder is created with a
// protected DACL granting only Administrators, SYSTEM and the current user.
// Returns the folder with a trailing backslash; throws std::runtime_error
// when a creation fails for any reason but an existing name.
std::string CreateSupportFolder(const std::string& temporaryFolder);

// Deletes the folder's content (attributes made normal first), three passes,
// then the folder. A junction or symbolic link inside is removed itself; what
// it points to is left alone.
void RemoveFolderTree(const std::string& folder);

}  // namespace bw
