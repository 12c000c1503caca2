#include "startup/stub_size.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace bw {
namespace {

struct Section {
  std::uint32_t rawSize;
  std::uint32_t rawPointer;
};

void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The headers of a PE image with the given sections.
std::vector<std::uint8_t> PeHeaders(const std::vector<Section>& sections, std::uint16_t optionalHeaderSize = 0xE0) {
  const std::size_t peOffset = 0x80;
  const std::size_t sectionTable = peOffset + 4 + 20 + optionalHeaderSize;
  std::vector<std::uint8_t> bytes(sectionTable + 40 * sections.size(), 0);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  Put32(bytes, 0x3C, peOffset);
  Put32(bytes, peOffset, 0x00004550);
  bytes[peOffset + 4 + 2] = static_cast<std::uint8_t>(sections.size());
  bytes[peOffset + 4 + 16] = static_cast<std::uint8_t>(optionalHeaderSize);
  bytes[peOffset + 4 + 17] = static_cast<std::uint8_t>(optionalHeaderSize >> 8);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    Put32(bytes, sectionTable + 40 * i + 16, sections[i].rawSize);
    Put32(bytes, sectionTable + 40 * i + 20, sections[i].rawPointer);
  }
  return bytes;
}

TEST(StubSize, IsTheLargestRawEndOfAnySection) {
  // The largest end need not be the last section's.
  const auto headers = PeHeaders({{0x200, 0x400}, {0x1000, 0x600}, {0x200, 0x1400}});
  EXPECT_EQ(StubSizeFromHeaders(headers), std::optional<std::uint64_t>(0x1600));
  EXPECT_EQ(StubSizeFromHeaders(PeHeaders({})), std::optional<std::uint64_t>(0));
  // Sums beyond 32 bits are not wrapped.
  EXPECT_EQ(StubSizeFromHeaders(PeHeaders({{0xFFFFFFFF, 0x10}})), std::optional<std::uint64_t>(0x10000000Full));
  EXPECT_EQ(StubSizeFromHeaders(PeHeaders({{0x200, 0x400}}, 0xF0)), std::optional<std::uint64_t>(0x600));
}

TEST(StubSize, RefusesBytesThatAreNoCompletePeHeader) {
  const auto good = PeHeaders({{0x200, 0x400}, {0x200, 0x600}});
  auto noMz = good;
  noMz[0] = 'X';
  auto noPe = good;
  noPe[0x80] = 'X';
  auto farPe = good;
  Put32(farPe, 0x3C, 0xFFFFFFF0);
  const std::vector<std::uint8_t> cutInSectionTable(good.begin(), good.end() - 1);
  const std::vector<std::uint8_t> cutInDosHeader(good.begin(), good.begin() + 0x3E);
  for (const std::vector<std::uint8_t>* bytes :
       std::vector<const std::vector<std::uint8_t>*>{&noMz, &noPe, &farPe, &cutInSectionTable, &cutInDosHeader}) {
    EXPECT_EQ(StubSizeFromHeaders(*bytes), std::nullopt);
  }
  EXPECT_EQ(StubSizeFromHeaders({}), std::nullopt);
}

}  // namespace
}  // namespace bw
