#include "media/archive_library.h"

#include <cstring>

namespace bw {

namespace {

constexpr char kGeneralFailure[] = "General failure opening archive";

// The state of the call in progress on this thread, for the callbacks, which
// the library calls without a context of ours.
struct CallState {
  std::string password;
  bool passwordGiven = false;
  bool overwriteAll = false;
  const ArchiveProgress* progress = nullptr;
};
thread_local CallState* currentCall = nullptr;

// Hands the password over once; then, or without one, answers 0.
int QOR_CALL PasswordAnswer(char* buffer) {
  CallState* call = currentCall;
  if (!call || call->passwordGiven || call->password.empty() || !buffer) return 0;
  call->passwordGiven = true;
  const std::size_t length = std::min<std::size_t>(call->password.size(), qor::kPasswordBufferSize - 1);
  std::memcpy(buffer, call->password.data(), length);
  buffer[length] = '\0';
  return 1;
}

int QOR_CALL ProgressAnswer(const char* entryPath, std::uint64_t done, std::uint64_t total) {
  CallState* call = currentCall;
  if (!call || !call->progress || !*call->progress) return 1;
  try {
    return (*call->progress)(entryPath ? entryPath : "", done, total) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int QOR_CALL EntryAnswer(int, int) { return 1; }

int QOR_CALL OverwriteAnswer(const char*, std::uint32_t, std::uint32_t, const char*, std::uint32_t, std::uint32_t, int,
                             int, int, int) {
  return currentCall && currentCall->overwriteAll ? qor::kOverwriteAll : 1;
}

// Sets the thread's call state for the length of one library call.
class CallScope {
 public:
  explicit CallScope(CallState& state) : previous_(currentCall) { currentCall = &state; }
  ~CallScope() { currentCall = previous_; }

 private:
  CallState* previous_;
};

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

std::string ListingErrorText(int code) {
  switch (code) {
    case qor::kArchiveNotFound:
      return "The archive file was not found";
    case qor::kIllegalEntryPath:
      return "Illegal path used in a wildcard expression";
    case qor::kUnsupportedArchive:
      return "The archive cannot be opened: unsupported archive or incorrect password";
    default:
      return kGeneralFailure;
  }
}

ArchiveLibrary::ArchiveLibrary(HMODULE module) : module_(module) {
  openList_ = Lookup<qor::OpenListArchiveFunction>(module_, "OpenListArchive");
  closeList_ = Lookup<qor::CloseListArchiveFunction>(module_, "CloseListArchive");
  extract_ = Lookup<qor::ExtractArchiveFunction>(module_, "ExtractArchive");
  lastError_ = Lookup<qor::GetLastArchiveErrorFunction>(module_, "GetLastArchiveError");
}

ArchiveLibrary::~ArchiveLibrary() {
  if (module_) FreeLibrary(module_);
}

ArchiveListing ArchiveLibrary::List(const std::string& archive, const std::string& password) const {
  ArchiveListing listing;
  try {
    if (!openList_ || !closeList_ || !lastError_) {
      listing.error = kGeneralFailure;
      return listing;
    }
    CallState state{password};
    const CallScope scope(state);
    qor::ListEntry* entries = nullptr;
    int count = 0;
    void* handle = openList_(archive.c_str(), 0, PasswordAnswer, 0, 0, 0, password.c_str(), &entries, &count);
    if (!handle) {
      listing.error = ListingErrorText(lastError_(0));
      return listing;
    }
    for (int i = 0; i < count && entries; ++i) listing.entries.emplace_back(entries[i].path ? entries[i].path : "");
    closeList_(handle);
    listing.ok = true;
  } catch (const std::exception& error) {
    listing = {false, {}, error.what()};
  }
  return listing;
}

ArchiveExtraction ArchiveLibrary::Extract(const std::string& archive, const std::string& password,
                                          const std::string& destination, bool overwriteAll, bool flag,
                                          const ArchiveProgress& progress,
                                          const std::vector<std::string>* entries) const {
  ArchiveExtraction result;
  try {
    if (!extract_ || !lastError_) {
      result.error = kGeneralFailure;
      return result;
    }
    ArchiveListing listing;
    if (!entries) {
      listing = List(archive, password);
      if (!listing.ok) {
        result.error = listing.error;
        return result;
      }
      entries = &listing.entries;
    }
    std::vector<const char*> targets;
    for (const std::string& entry : *entries) targets.push_back(entry.c_str());
    CallState state{password, false, overwriteAll, &progress};
    const CallScope scope(state);
    if (extract_(archive.c_str(), 1, destination.c_str(), targets.data(), static_cast<int>(targets.size()),
                 flag ? 0 : 1, password.c_str(), PasswordAnswer, ProgressAnswer, EntryAnswer, OverwriteAnswer)) {
      result.ok = true;
    } else {
      result.error.assign(1, '#').append(std::to_string(lastError_(0)));
    }
  } catch (const std::exception& error) {
    result = {false, error.what()};
  }
  return result;
}

}  // namespace bw
