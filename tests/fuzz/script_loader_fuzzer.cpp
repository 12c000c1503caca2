// The appended script as the loader sees it: any bytes. A damaged script must
// be refused with MalformedScript; a loaded one must survive the preparation
// pass and the parameter fetch of every command.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "engine/preparation.h"
#include "engine/script_package.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bw::ScriptPackage package;
  try {
    package = bw::ScriptPackage::Load(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const bw::MalformedScript&) {
    return 0;
  }
  bw::Prepare(package);
  for (std::size_t i = 0; i < package.CommandCount(); ++i) {
    for (std::size_t n = 0; n < 10; ++n) {
      try {
        package.Parameter(package.CommandId(i), n);
      } catch (const std::out_of_range&) {
        break;  // past the parameter section: the fetch's documented refusal
      }
    }
  }
  return 0;
}
