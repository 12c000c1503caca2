#pragma once
// The byte streams the archive reader is built from: an archive is read
// through ArchiveInput (random access, owned by the caller), and every coder
// is a ByteSource that pulls from the one before it. No stream touches the OS.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace qor {

// Why reading an archive failed. Unsupported archives and wrong passwords
// read as kUnsupported: damaged data after a wrong key cannot be told apart.
enum class ArchiveFault { kUnsupported, kCorrupt, kWrongPassword, kCancelled, kWriteFailed };

class ArchiveError : public std::runtime_error {
 public:
  ArchiveError(ArchiveFault fault, const std::string& message) : std::runtime_error(message), fault_(fault) {}
  ArchiveFault fault() const { return fault_; }

 private:
  ArchiveFault fault_;
};

[[noreturn]] inline void Corrupt(const std::string& what) { throw ArchiveError(ArchiveFault::kCorrupt, what); }
[[noreturn]] inline void Unsupported(const std::string& what) { throw ArchiveError(ArchiveFault::kUnsupported, what); }

// Random access to the archive's bytes.
class ArchiveInput {
 public:
  virtual ~ArchiveInput() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads exactly size bytes at offset; throws ArchiveError when the archive
  // ends before or the read fails.
  virtual void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// A forward stream of decoded bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to size bytes; 0 only at the end of the stream.
  virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};

// Reads exactly size bytes or throws kCorrupt ("what" ended early).
void ReadExactly(ByteSource& source, std::uint8_t* buffer, std::size_t size, const char* what);

// A range of the archive as a stream.
class ArchiveRange final : public ByteSource {
 public:
  ArchiveRange(ArchiveInput& input, std::uint64_t offset, std::uint64_t size);
  std::size_t Read(std::uint8_t* buffer, std::size_t size) override;

 private:
  ArchiveInput& input_;
  std::uint64_t offset_;
  std::uint64_t remaining_;
};

// An archive held in memory (tests, fuzzing, headers).
class MemoryInput final : public ArchiveInput {
 public:
  explicit MemoryInput(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

 private:
  std::string bytes_;
};

}  // namespace qor
