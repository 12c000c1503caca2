// Upper-casing through the system's own mapping of the ANSI code page.
#include <windows.h>

#include <array>

#include "ansi_case.h"

namespace bw {

namespace {
std::array<char, 256> BuildUpperTable() {
  std::array<char, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<char>(i);
  // CharUpperBuffA stops at nothing, so the NUL entry is mapped like any other.
  CharUpperBuffA(table.data(), static_cast<DWORD>(table.size()));
  return table;
}
}  // namespace

char AnsiUpperChar(char c) {
  static const std::array<char, 256> table = BuildUpperTable();
  return table[static_cast<unsigned char>(c)];
}

}  // namespace bw
