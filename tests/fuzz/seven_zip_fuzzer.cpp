// Any bytes as a 7z archive: reading the headers and extracting everything
// (with a password at hand for encrypted streams) must fail only with
// ArchiveError, never crash, hang or run out of memory.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "seven_zip.h"

namespace {

class FuzzPassword final : public qor::PasswordSource {
 public:
  const std::u16string* Password() override { return &password_; }

 private:
  std::u16string password_ = u"fuzz";
};

class Discard final : public qor::ExtractTarget {
 public:
  bool Wanted(const qor::ArchiveEntry&) override { return true; }
  void CreateFolder(const qor::ArchiveEntry&) override {}
  std::unique_ptr<qor::EntryWriter> CreateFile(const qor::ArchiveEntry&) override {
    return std::make_unique<Writer>();
  }
  bool Progress(const qor::ArchiveEntry&, std::uint64_t, std::uint64_t) override { return true; }

 private:
  struct Writer final : qor::EntryWriter {
    void Write(const std::uint8_t*, std::size_t) override {}
    void Keep() override {}
  };
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qor::MemoryInput input(std::string(reinterpret_cast<const char*>(data), size));
  FuzzPassword password;
  try {
    qor::SevenZipArchive archive(input, password);
    Discard target;
    archive.Extract(target);
  } catch (const qor::ArchiveError&) {
  }
  return 0;
}
