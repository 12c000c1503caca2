#pragma once
// The engine's side of the archive library "qor.lib": listing and extracting
// archives, with the library's codes turned into the texts the engine shows.
// Neither operation throws.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "qor_api.h"

namespace bw {

// Bytes done of total for an entry; false asks the library to stop.
using ArchiveProgress = std::function<bool(const std::string& entryPath, std::uint64_t done, std::uint64_t total)>;

struct ArchiveListing {
  bool ok = false;
  std::vector<std::string> entries;
  std::string error;  // when not ok
};

struct ArchiveExtraction {
  bool ok = false;
  std::string error;  // when not ok: "#" and the library's code, or the listing's text
};

class ArchiveLibrary {
 public:
  // Takes ownership of the loaded library (freed with the object); a null
  // module, or one without the four functions, makes every operation fail
  // with "General failure opening archive".
  explicit ArchiveLibrary(HMODULE module);
  ~ArchiveLibrary();
  ArchiveLibrary(const ArchiveLibrary&) = delete;
  ArchiveLibrary& operator=(const ArchiveLibrary&) = delete;

  ArchiveListing List(const std::string& archive, const std::string& password) const;
  // Extracts the entries (all, listed first, when entries is null) below the
  // destination. overwriteAll answers the library's overwrite question;
  // flag false passes option 1.
  ArchiveExtraction Extract(const std::string& archive, const std::string& password, const std::string& destination,
                            bool overwriteAll, bool flag, const ArchiveProgress& progress,
                            const std::vector<std::string>* entries = nullptr) const;

 private:
  HMODULE module_ = nullptr;
  qor::OpenListArchiveFunction openList_ = nullptr;
  qor::CloseListArchiveFunction closeList_ = nullptr;
  qor::ExtractArchiveFunction extract_ = nullptr;
  qor::GetLastArchiveErrorFunction lastError_ = nullptr;
};

// The text of a listing failure code.
std::string ListingErrorText(int code);

}  // namespace bw
