// Comma texts come from plug-ins and state files. Whatever items a text reads
// as, writing them and reading the result back must give the same items.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text_utilities.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> items = bw::ReadCommaText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (bw::ReadCommaText(bw::WriteCommaText(items)) != items) std::abort();
  return 0;
}
