#pragma once
// A reader of 7z archives: the container, its folders of coders (Copy, LZMA,
// LZMA2, x86 BCJ, Deflate, AES-256) in simple chains, solid and not, with
// encrypted or compressed headers. Every size and count is checked against
// the archive's own bytes before it is used.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coders.h"
#include "streams.h"

namespace qor {

struct ArchiveEntry {
  std::u16string name;  // as stored, either separator
  bool isDirectory = false;
  bool hasData = false;  // false: an empty file or a folder
  bool isLink = false;   // a symbolic link or reparse point: extracted as a plain file
  std::uint64_t size = 0;
  std::optional<std::uint32_t> crc;
  std::optional<std::uint32_t> attributes;
};

// Receives one file's bytes. Destroyed without Keep, it removes what it wrote.
class EntryWriter {
 public:
  virtual ~EntryWriter() = default;
  virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
  virtual void Keep() = 0;
};

// Where and what to extract.
class ExtractTarget {
 public:
  virtual ~ExtractTarget() = default;
  virtual bool Wanted(const ArchiveEntry& entry) = 0;
  virtual void CreateFolder(const ArchiveEntry& entry) = 0;
  virtual std::unique_ptr<EntryWriter> CreateFile(const ArchiveEntry& entry) = 0;
  // done of total bytes of the entry; false stops the extraction.
  virtual bool Progress(const ArchiveEntry& entry, std::uint64_t done, std::uint64_t total) = 0;
};

class SevenZipArchive {
 public:
  // Reads the headers. passwords is asked when encrypted headers need it and
  // kept for extraction; both must outlive the archive. Throws ArchiveError.
  SevenZipArchive(ArchiveInput& input, PasswordSource& passwords);
  ~SevenZipArchive();
  SevenZipArchive(SevenZipArchive&&) noexcept;

  const std::vector<ArchiveEntry>& Entries() const;

  // Extracts the wanted entries: folders and empty files first, then the
  // files with data in archive order, checking each file's CRC before
  // keeping it. Throws ArchiveError (a wrong password, damaged data,
  // a failed CRC, a stop from Progress).
  void Extract(ExtractTarget& target);

  struct Model;

 private:
  ArchiveInput& input_;
  PasswordSource& passwords_;
  std::unique_ptr<Model> model_;
};

// True when the bytes start with the 7z signature.
bool HasSevenZipSignature(ArchiveInput& input);

}  // namespace qor
