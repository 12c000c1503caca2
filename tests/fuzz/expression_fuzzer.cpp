// Expressions are script text after expansion, so any bytes: the evaluator
// answers one of its three words and never fails otherwise.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/expression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string result = bw::Evaluate(text);
  if (result != "TRUE" && result != "FALSE" && result != "ERROR") std::abort();
  // Without references the check before the run is the evaluation itself.
  if (text.find('$') == std::string_view::npos && bw::IsValidExpression(text) != (result != "ERROR")) std::abort();
  return 0;
}
