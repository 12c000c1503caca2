#pragma once
// Archives made at test time by Debian's 7z from a small tree of files, and
// what our reader and libarchive make of them.
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "seven_zip.h"

namespace qor::test {

// A folder of test files: text, an empty file, an empty folder, random bytes,
// code-like bytes full of E8/E9 branches, names outside ASCII.
class SourceTree {
 public:
  SourceTree();
  ~SourceTree();
  const std::filesystem::path& root() const { return root_; }
  // Runs 7z a with the switches on the tree; returns the archive's path.
  std::filesystem::path MakeArchive(const std::string& name, const std::vector<std::string>& switches) const;

 private:
  std::filesystem::path root_;
};

// The extracted content: files by path ("/"-separated, UTF-8) and folders.
struct Extracted {
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  bool operator==(const Extracted&) const = default;
};

std::string Utf8(const std::u16string& text);

// Our reader, into memory. Throws ArchiveError.
Extracted ExtractWithReader(const std::filesystem::path& archive, const std::u16string* password = nullptr);
Extracted ExtractBytes(std::string archive, const std::u16string* password = nullptr);
// libarchive, for archives without a password.
Extracted ExtractWithLibarchive(const std::filesystem::path& archive);
// Debian's 7z x -p into a folder, read back.
Extracted ExtractWith7z(const std::filesystem::path& archive, const std::string& password);

std::string ReadBytes(const std::filesystem::path& path);

// A password source that counts how often it was asked.
class FixedPassword final : public PasswordSource {
 public:
  explicit FixedPassword(const std::u16string* password) : password_(password) {}
  const std::u16string* Password() override {
    ++asked;
    return password_;
  }
  int asked = 0;

 private:
  const std::u16string* password_;
};

}  // namespace qor::test
