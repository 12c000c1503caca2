#pragma once
// The archive reader's streams and target on Windows files, through the wide
// file API so that every entry keeps its true name.
#include <windows.h>

#include <functional>
#include <string>

#include "qor_api.h"
#include "seven_zip.h"

namespace qor {

// UTF-16 from the system code page, and back (characters the code page
// lacks become "?").
std::wstring WideFromAnsi(const std::string& text);
std::string AnsiFromWide(const std::wstring& text);
std::wstring Wide(const std::u16string& text);
// An entry's name as the 8-bit interface shows it: "\"-separated, in the
// system code page.
std::string EntryPathText(const ArchiveEntry& entry);

// An archive file opened for reading; throws ArchiveError(kUnsupported) for
// read failures after opening.
class FileInput final : public ArchiveInput {
 public:
  // Opens the file; operator bool tells whether it opened.
  explicit FileInput(const std::wstring& path);
  ~FileInput() override;
  explicit operator bool() const { return file_ != INVALID_HANDLE_VALUE; }
  std::uint64_t Size() const override { return size_; }
  void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

 private:
  HANDLE file_;
  std::uint64_t size_ = 0;
};

// Extracts below a destination folder; entries are chosen by a predicate.
class FolderTarget final : public ExtractTarget {
 public:
  struct Callbacks {
    ProgressCallback progress = nullptr;
    EntryCallback entry = nullptr;
    OverwriteCallback overwrite = nullptr;
  };
  FolderTarget(std::wstring destination, std::function<bool(const ArchiveEntry&)> wanted, Callbacks callbacks,
               int entryCount);

  bool Wanted(const ArchiveEntry& entry) override { return wanted_(entry); }
  void CreateFolder(const ArchiveEntry& entry) override;
  std::unique_ptr<EntryWriter> CreateFile(const ArchiveEntry& entry) override;
  bool Progress(const ArchiveEntry& entry, std::uint64_t done, std::uint64_t total) override;

 private:
  // The entry's full path, creating the folders above it.
  std::wstring PrepareEntryPath(const ArchiveEntry& entry, bool isFolder);
  void Announce();

  std::wstring destination_;
  std::function<bool(const ArchiveEntry&)> wanted_;
  Callbacks callbacks_;
  int entryCount_;
  int entryIndex_ = 0;
  bool overwriteAll_ = false;
};

}  // namespace qor
