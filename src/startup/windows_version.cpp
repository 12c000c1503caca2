#include "startup/windows_version.h"

#include <windows.h>

namespace bw {

bool IsNtFamily() {
  static const bool ntFamily = [] {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return !GetVersionExA(&version) || version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }();
  return ntFamily;
}

}  // namespace bw
