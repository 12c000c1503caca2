#include "field_syntax.h"

#include "engine/integer_text.h"

namespace bw::authoring {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

void SkipBlanks(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
}

// Reads a quoted field starting at the opening quote; pos ends after the closing one.
std::string ParseQuoted(std::string_view text, std::size_t& pos) {
  std::string value;
  ++pos;
  while (true) {
    if (pos >= text.size()) throw SyntaxError("a quoted value has no closing double quote");
    const char c = text[pos++];
    if (c == '"') return value;
    if (c != '\\') {
      value.push_back(c);
      continue;
    }
    if (pos >= text.size()) throw SyntaxError("a quoted value ends in a lone backslash");
    const char escape = text[pos++];
    switch (escape) {
      case '\\':
        value.push_back('\\');
        break;
      case '"':
        value.push_back('"');
        break;
      case 't':
        value.push_back('\t');
        break;
      case 'r':
        value.push_back('\r');
        break;
      case 'n':
        value.push_back('\n');
        break;
      case 'x': {
        const int high = pos < text.size() ? HexDigitValue(text[pos]) : -1;
        const int low = pos + 1 < text.size() ? HexDigitValue(text[pos + 1]) : -1;
        if (high < 0 || low < 0) throw SyntaxError("\\x in a quoted value needs two hexadecimal digits");
        value.push_back(static_cast<char>(high * 16 + low));
        pos += 2;
        break;
      }
      default:
        throw SyntaxError(std::string("unknown escape \\") + escape + " in a quoted value");
    }
  }
}

std::string Quote(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (char c : value) {
    switch (c) {
      case '\\':
        quoted += "\\\\";
        break;
      case '"':
        quoted += "\\\"";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\n':
        quoted += "\\n";
        break;
      default:
        if (IsControl(c)) {
          const auto byte = static_cast<unsigned char>(c);
          quoted += "\\x";
          quoted += kHex[byte >> 4];
          quoted += kHex[byte & 0x0F];
        } else {
          quoted += c;
        }
    }
  }
  quoted += '"';
  return quoted;
}

bool HasControl(std::string_view value) {
  for (char c : value) {
    if (IsControl(c)) return true;
  }
  return false;
}

// A field other than the last may stand bare when it is one blank-free word.
bool CanStandBare(std::string_view value, bool last) {
  if (value.empty()) return last;
  if (value.front() == '"' || HasControl(value)) return false;
  if (last) return !IsBlank(value.front()) && !IsBlank(value.back());
  return value.find_first_of(" \t") == std::string_view::npos;
}

}  // namespace

std::vector<std::string> ParseFields(std::string_view text, std::size_t count) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  for (std::size_t index = 0; index < count; ++index) {
    const bool last = index + 1 == count;
    SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == '"') {
      fields.push_back(ParseQuoted(text, pos));
      if (last) {
        SkipBlanks(text, pos);
        if (pos < text.size()) throw SyntaxError("text follows the closing double quote");
      } else if (pos < text.size() && !IsBlank(text[pos])) {
        throw SyntaxError("a blank must follow the closing double quote");
      }
    } else if (last) {
      std::size_t end = text.size();
      while (end > pos && IsBlank(text[end - 1])) --end;
      fields.emplace_back(text.substr(pos, end - pos));
      pos = text.size();
    } else {
      const std::size_t start = pos;
      while (pos < text.size() && !IsBlank(text[pos])) ++pos;
      if (pos == start) {
        throw SyntaxError("expects " + std::to_string(count) + " values, found " + std::to_string(index));
      }
      fields.emplace_back(text.substr(start, pos - start));
    }
  }
  return fields;
}

std::string FormatFields(const std::vector<std::string>& fields) {
  std::string text;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const bool last = i + 1 == fields.size();
    if (last && fields[i].empty()) break;
    if (!text.empty()) text += ' ';
    text += CanStandBare(fields[i], last) ? fields[i] : Quote(fields[i]);
  }
  return text;
}

}  // namespace bw::authoring
