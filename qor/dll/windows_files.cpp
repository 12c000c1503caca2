#include "windows_files.h"

#include <algorithm>

#include "entry_path.h"

namespace qor {

namespace {

[[noreturn]] void DestinationFailure(const std::wstring& path) {
  throw ArchiveError(ArchiveFault::kWriteFailed, "cannot write " + AnsiFromWide(path));
}

// Creates the folder unless it exists as a folder.
void EnsureFolder(const std::wstring& path) {
  if (CreateDirectoryW(path.c_str(), nullptr)) return;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) DestinationFailure(path);
}

constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

class FileWriter final : public EntryWriter {
 public:
  FileWriter(std::wstring path, HANDLE file, std::optional<std::uint32_t> attributes)
      : path_(std::move(path)), file_(file), attributes_(attributes) {}
  ~FileWriter() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (!kept_) DeleteFileW(path_.c_str());
  }
  void Write(const std::uint8_t* data, std::size_t size) override {
    DWORD written = 0;
    if (!WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) || written != size) {
      DestinationFailure(path_);
    }
  }
  void Keep() override {
    const bool closed = CloseHandle(file_) != FALSE;
    file_ = INVALID_HANDLE_VALUE;
    if (!closed) DestinationFailure(path_);
    kept_ = true;
    if (attributes_ && (*attributes_ & kKeptAttributes))
      SetFileAttributesW(path_.c_str(), *attributes_ & kKeptAttributes);
  }

 private:
  std::wstring path_;
  HANDLE file_;
  std::optional<std::uint32_t> attributes_;
  bool kept_ = false;
};

// Takes the bytes of an entry whose existing file is kept.
class DiscardingWriter final : public EntryWriter {
 public:
  void Write(const std::uint8_t*, std::size_t) override {}
  void Keep() override {}
};

}  // namespace

std::wstring WideFromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string AnsiFromWide(const std::wstring& text) {
  if (text.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), length, nullptr, nullptr);
  return ansi;
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::string EntryPathText(const ArchiveEntry& entry) {
  std::wstring name = Wide(entry.name);
  std::replace(name.begin(), name.end(), L'/', L'\\');
  return AnsiFromWide(name);
}

FileInput::FileInput(const std::wstring& path)
    : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr)) {
  LARGE_INTEGER size{};
  if (file_ != INVALID_HANDLE_VALUE && GetFileSizeEx(file_, &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
}

FileInput::~FileInput() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

void FileInput::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  if (offset > size_ || size > size_ - offset) Corrupt("the archive ends early");
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file_, bytes, chunk, &got, &at) || got == 0) Corrupt("the archive cannot be read");
    bytes += got;
    offset += got;
    size -= got;
  }
}

FolderTarget::FolderTarget(std::wstring destination, std::function<bool(const ArchiveEntry&)> wanted,
                           Callbacks callbacks, int entryCount)
    : destination_(std::move(destination)), wanted_(std::move(wanted)), callbacks_(callbacks), entryCount_(entryCount) {
  if (!destination_.empty() && destination_.back() != L'\\' && destination_.back() != L'/') destination_ += L'\\';
}

void FolderTarget::Announce() {
  if (callbacks_.entry && callbacks_.entry(entryIndex_, entryCount_) == 0) {
    throw ArchiveError(ArchiveFault::kCancelled, "the extraction was stopped");
  }
  ++entryIndex_;
}

std::wstring FolderTarget::PrepareEntryPath(const ArchiveEntry& entry, bool isFolder) {
  // Names were checked when the archive was opened; a failure here is a bug.
  const auto components = SafeEntryComponents(entry.name);
  if (!components) throw ArchiveError(ArchiveFault::kCorrupt, "an illegal entry name");
  std::wstring path = destination_;
  for (std::size_t i = 0; i < components->size(); ++i) {
    path += Wide((*components)[i]);
    if (i + 1 < components->size() || isFolder) EnsureFolder(path);
    if (i + 1 < components->size()) path += L'\\';
  }
  return path;
}

void FolderTarget::CreateFolder(const ArchiveEntry& entry) {
  Announce();
  PrepareEntryPath(entry, true);
}

std::unique_ptr<EntryWriter> FolderTarget::CreateFile(const ArchiveEntry& entry) {
  Announce();
  const std::wstring path = PrepareEntryPath(entry, false);
  const DWORD existing = GetFileAttributesW(path.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES) {
    if (existing & FILE_ATTRIBUTE_DIRECTORY) DestinationFailure(path);
    if (!overwriteAll_ && callbacks_.overwrite) {
      WIN32_FILE_ATTRIBUTE_DATA data{};
      GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
      const std::string existingPath = AnsiFromWide(path);
      const std::string entryPath = EntryPathText(entry);
      const int answer = callbacks_.overwrite(existingPath.c_str(), data.nFileSizeLow, data.nFileSizeHigh,
                                              entryPath.c_str(), static_cast<std::uint32_t>(entry.size),
                                              static_cast<std::uint32_t>(entry.size >> 32), 0, 0, 0, 0);
      if (answer != kOverwriteAll) return std::make_unique<DiscardingWriter>();
      overwriteAll_ = true;
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) DestinationFailure(path);
  return std::make_unique<FileWriter>(path, file, entry.attributes);
}

bool FolderTarget::Progress(const ArchiveEntry& entry, std::uint64_t done, std::uint64_t total) {
  if (!callbacks_.progress) return true;
  const std::string path = EntryPathText(entry);
  return callbacks_.progress(path.c_str(), done, total) != 0;
}

}  // namespace qor
