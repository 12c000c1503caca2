// Upper-casing as code page 1252 does it, for builds without the Windows API.
#include "ansi_case.h"

namespace bw {

char AnsiUpperChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
  switch (byte) {
    case 0x9A:
      return static_cast<char>(0x8A);  // s caron
    case 0x9C:
      return static_cast<char>(0x8C);  // oe
    case 0x9E:
      return static_cast<char>(0x8E);  // z caron
    case 0xFF:
      return static_cast<char>(0x9F);  // y diaeresis
    default:
      break;
  }
  // Latin-1 letters a grave .. y acute, except the division sign.
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
  return c;
}

}  // namespace bw
