#include "streams.h"

#include <algorithm>
#include <cstring>

namespace qor {

void ReadExactly(ByteSource& source, std::uint8_t* buffer, std::size_t size, const char* what) {
  while (size > 0) {
    const std::size_t got = source.Read(buffer, size);
    if (got == 0) Corrupt(std::string(what) + " ends early");
    buffer += got;
    size -= got;
  }
}

ArchiveRange::ArchiveRange(ArchiveInput& input, std::uint64_t offset, std::uint64_t size)
    : input_(input), offset_(offset), remaining_(size) {
  if (offset > input.Size() || size > input.Size() - offset)
    Corrupt("a packed stream lies past the end of the archive");
}

std::size_t ArchiveRange::Read(std::uint8_t* buffer, std::size_t size) {
  const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
  if (count == 0) return 0;
  input_.ReadAt(offset_, buffer, count);
  offset_ += count;
  remaining_ -= count;
  return count;
}

void MemoryInput::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  if (offset > bytes_.size() || size > bytes_.size() - offset) Corrupt("the archive ends early");
  std::memcpy(buffer, bytes_.data() + offset, size);
}

}  // namespace qor
