#include "ansi_case.h"

namespace bw {

std::string AnsiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AnsiUpperChar(c);
  return upper;
}

bool AnsiEqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AnsiUpperChar(a[i]) != AnsiUpperChar(b[i])) return false;
  }
  return true;
}

std::size_t AnsiCaseInsensitiveHash::operator()(std::string_view text) const {
  // FNV-1a over the upper-cased bytes.
  std::size_t hash = 2166136261u;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(AnsiUpperChar(c));
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace bw
