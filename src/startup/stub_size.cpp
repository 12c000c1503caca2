#include "stub_size.h"

#include <algorithm>

namespace bw {

namespace {
std::optional<std::uint32_t> ReadU32(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 4) return std::nullopt;
  return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}
std::optional<std::uint16_t> ReadU16(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 2) return std::nullopt;
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

constexpr std::uint16_t kDosSignature = 0x5A4D;     // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint64_t kNewHeaderOffsetField = 0x3C;
constexpr std::uint64_t kFileHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kSizeOfRawDataField = 16;
constexpr std::uint64_t kPointerToRawDataField = 20;
}  // namespace

std::optional<std::uint64_t> StubSizeFromHeaders(std::span<const std::uint8_t> headers) {
  if (ReadU16(headers, 0) != kDosSignature) return std::nullopt;
  const auto peOffset = ReadU32(headers, kNewHeaderOffsetField);
  if (!peOffset || ReadU32(headers, *peOffset) != kPeSignature) return std::nullopt;
  const std::uint64_t fileHeader = std::uint64_t{*peOffset} + 4;
  const auto sectionCount = ReadU16(headers, fileHeader + 2);
  const auto optionalHeaderSize = ReadU16(headers, fileHeader + 16);
  if (!sectionCount || !optionalHeaderSize) return std::nullopt;
  const std::uint64_t sectionTable = fileHeader + kFileHeaderSize + *optionalHeaderSize;
  if (sectionTable + *sectionCount * kSectionHeaderSize > headers.size()) return std::nullopt;
  std::uint64_t stubSize = 0;
  for (std::uint64_t i = 0; i < *sectionCount; ++i) {
    const std::uint64_t header = sectionTable + i * kSectionHeaderSize;
    const auto rawSize = ReadU32(headers, header + kSizeOfRawDataField);
    const auto rawPointer = ReadU32(headers, header + kPointerToRawDataField);
    if (!rawSize || !rawPointer) return std::nullopt;
    stubSize = std::max(stubSize, std::uint64_t{*rawPointer} + *rawSize);
  }
  return stubSize;
}

}  // namespace bw
