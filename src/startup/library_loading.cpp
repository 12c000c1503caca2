#include "startup/library_loading.h"

#include "startup/system_function.h"

namespace bw {

namespace {

bool searchRestricted = false;

}  // namespace

void RestrictDllSearchPath() {
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  if (const auto set = SystemFunction<SetDefaultDirectories>("kernel32.dll", "SetDefaultDllDirectories")) {
    searchRestricted = set(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
  }
}

HMODULE LoadLibraryByPath(const std::string& path) {
  // The search flags exist where SetDefaultDllDirectories does.
  const DWORD flags = searchRestricted ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                       : LOAD_WITH_ALTERED_SEARCH_PATH;
  return LoadLibraryExA(path.c_str(), nullptr, flags);
}

}  // namespace bw
