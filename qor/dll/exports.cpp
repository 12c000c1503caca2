// The exported functions of "qor.lib". No exception leaves them: every
// failure becomes a result and the code of GetLastArchiveError.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "entry_path.h"
#include "qor_api.h"
#include "seven_zip.h"
#include "windows_files.h"

namespace qor {

namespace {

std::atomic<int> lastError{0};

int ErrorCodeOf(ArchiveFault fault) {
  switch (fault) {
    case ArchiveFault::kWriteFailed:
      return kDestinationFailure;
    case ArchiveFault::kCancelled:
      return kExtractionStopped;
    default:
      return kUnsupportedArchive;
  }
}

// The password of a call: from the callback, asked once when an encrypted
// stream first needs it, else the password text.
class CallPassword final : public PasswordSource {
 public:
  CallPassword(PasswordCallback callback, const char* text) : callback_(callback), text_(text ? text : "") {}
  const std::u16string* Password() override {
    if (!asked_) {
      asked_ = true;
      std::string ansi = text_;
      if (callback_) {
        char buffer[kPasswordBufferSize] = {};
        ansi = callback_(buffer) != 0 ? std::string(buffer, strnlen(buffer, sizeof buffer)) : std::string();
      }
      if (!ansi.empty()) {
        const std::wstring wide = WideFromAnsi(ansi);
        password_ = std::u16string(wide.begin(), wide.end());
      }
    }
    return password_ ? &*password_ : nullptr;
  }

 private:
  PasswordCallback callback_;
  std::string text_;
  bool asked_ = false;
  std::optional<std::u16string> password_;
};

// An open archive whose entry names all passed the name rules.
struct OpenedArchive {
  std::unique_ptr<FileInput> input;
  std::unique_ptr<CallPassword> password;
  std::unique_ptr<SevenZipArchive> archive;
};

// Opens and checks; sets the error code and returns false on failure.
bool OpenArchive(const char* archivePath, PasswordCallback callback, const char* passwordText, OpenedArchive& opened) {
  opened.input = std::make_unique<FileInput>(WideFromAnsi(archivePath ? archivePath : ""));
  if (!*opened.input) {
    lastError = kArchiveNotFound;
    return false;
  }
  opened.password = std::make_unique<CallPassword>(callback, passwordText);
  opened.archive = std::make_unique<SevenZipArchive>(*opened.input, *opened.password);
  for (const ArchiveEntry& entry : opened.archive->Entries()) {
    if (!SafeEntryComponents(entry.name)) {
      lastError = kIllegalEntryPath;
      return false;
    }
  }
  return true;
}

// A listing handed out until CloseListArchive.
struct Listing {
  std::vector<std::string> paths;
  std::vector<std::wstring> widePaths;
  std::vector<ListEntry> entries;
};

}  // namespace

}  // namespace qor

using namespace qor;

extern "C" void* QOR_CALL OpenListArchive(const char* archivePath, int, PasswordCallback password, int, int, int,
                                          const char* passwordText, ListEntry** entries, int* count) {
  try {
    if (entries) *entries = nullptr;
    if (count) *count = 0;
    OpenedArchive opened;
    if (!OpenArchive(archivePath, password, passwordText, opened)) return nullptr;
    auto listing = std::make_unique<Listing>();
    const std::vector<ArchiveEntry>& archiveEntries = opened.archive->Entries();
    for (const ArchiveEntry& entry : archiveEntries) {
      listing->paths.push_back(EntryPathText(entry));
      listing->widePaths.push_back(Wide(entry.name));
    }
    for (std::size_t i = 0; i < archiveEntries.size(); ++i) {
      const ArchiveEntry& entry = archiveEntries[i];
      ListEntry record{};
      record.path = listing->paths[i].c_str();
      record.widePath = listing->widePaths[i].c_str();
      record.attributes = entry.attributes.value_or(entry.isDirectory ? FILE_ATTRIBUTE_DIRECTORY : 0);
      record.flags = (entry.isDirectory ? kEntryDirectory : 0) | (entry.crc ? kEntryHasCrc : 0);
      record.size = entry.size;
      record.crc = entry.crc.value_or(0);
      listing->entries.push_back(record);
    }
    if (entries) *entries = listing->entries.data();
    if (count) *count = static_cast<int>(listing->entries.size());
    lastError = 0;
    return listing.release();
  } catch (const ArchiveError& error) {
    lastError = ErrorCodeOf(error.fault());
  } catch (...) {
    lastError = kUnsupportedArchive;
  }
  return nullptr;
}

extern "C" void QOR_CALL CloseListArchive(void* handle) { delete static_cast<Listing*>(handle); }

extern "C" int QOR_CALL ExtractArchive(const char* archivePath, int, const char* destination,
                                       const char* const* targets, int targetCount, int, const char* passwordText,
                                       PasswordCallback password, ProgressCallback progress, EntryCallback entry,
                                       OverwriteCallback overwrite) {
  try {
    OpenedArchive opened;
    if (!OpenArchive(archivePath, password, passwordText, opened)) return 0;
    // Targets name entries as a listing shows them.
    std::vector<std::string> wanted;
    for (int i = 0; targets && i < targetCount; ++i) {
      if (targets[i]) wanted.emplace_back(targets[i]);
    }
    const auto isWanted = [&](const ArchiveEntry& candidate) {
      if (wanted.empty()) return true;
      const std::string path = EntryPathText(candidate);
      return std::any_of(wanted.begin(), wanted.end(), [&](const std::string& target) {
        return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, target.c_str(), -1, path.c_str(), -1) ==
               CSTR_EQUAL;
      });
    };
    const auto& entries = opened.archive->Entries();
    const int count = static_cast<int>(std::count_if(entries.begin(), entries.end(), isWanted));
    const std::wstring folder = WideFromAnsi(destination ? destination : "");
    if (!folder.empty()) CreateDirectoryW(folder.c_str(), nullptr);
    FolderTarget target(folder, isWanted, {progress, entry, overwrite}, count);
    opened.archive->Extract(target);
    lastError = 0;
    return 1;
  } catch (const ArchiveError& error) {
    lastError = ErrorCodeOf(error.fault());
  } catch (...) {
    lastError = kUnsupportedArchive;
  }
  return 0;
}

extern "C" int QOR_CALL GetLastArchiveError(int) { return lastError; }
