#pragma once
// Where DLLs come from. The process searches only the system folder for DLLs
// named without a path (so a DLL planted beside the setup or in the current
// folder is never picked up); a library the engine loads by its full path
// still finds the DLLs beside it.
#include <windows.h>

#include <string>

namespace bw {

// Restricts the DLL search of the process to the system folder. Called first
// thing; does nothing on systems without SetDefaultDllDirectories.
void RestrictDllSearchPath();

// Loads a library by its full path, its own folder and the system folder
// serving its dependencies. Null when it cannot be loaded.
HMODULE LoadLibraryByPath(const std::string& path);

}  // namespace bw
