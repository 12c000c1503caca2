#pragma once
// A minimal 7z writer for hostile test archives: one folder of the Copy
// method (or a folder of given coders), names and sizes as the test wants
// them, whether or not they make sense.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qor::test {

struct CraftedFile {
  std::u16string name;
  std::string data;
  std::optional<std::uint32_t> crc = {};           // the stored CRC; the true one when unset
  std::optional<std::uint64_t> declaredSize = {};  // the stored size; the true one when unset
};

struct CraftedCoder {
  std::vector<std::uint8_t> id;
  std::vector<std::uint8_t> props;
};

// The archive bytes: the files' data as one packed stream decoded by the
// coders (Copy when none are given), with the files' names, sizes and CRCs.
std::string CraftArchive(const std::vector<CraftedFile>& files, const std::vector<CraftedCoder>& coders = {});

}  // namespace qor::test
