#include "text_utilities.h"

#include "ansi_case.h"
#include "engine_messages.h"

namespace bw {

const char* BoolText(bool flag) { return flag ? "TRUE" : "FALSE"; }

bool ToBool(std::string_view text) { return text == "-1" || AnsiEqualsIgnoringCase(text, "TRUE"); }

std::string StripDollars(std::string_view text) {
  if (text.size() < 3 || text.front() != '$' || text.back() != '$') return {};
  const std::string_view inner = text.substr(1, text.size() - 2);
  if (inner.find('$') != std::string_view::npos) return {};
  return std::string(inner);
}

std::string ReplaceIgnoringCase(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty() || pattern.size() > text.size()) return std::string(text);
  std::string result;
  std::size_t pos = 0;
  const std::size_t last = text.size() - pattern.size();
  std::size_t copied = 0;
  while (pos <= last) {
    if (AnsiEqualsIgnoringCase(text.substr(pos, pattern.size()), pattern)) {
      result.append(text, copied, pos - copied);
      result.append(replacement);
      pos += pattern.size();
      copied = pos;
    } else {
      ++pos;
    }
  }
  result.append(text, copied);
  return result;
}

namespace {
bool NeedsQuotes(std::string_view item) {
  if (item.empty()) return true;
  for (char c : item) {
    if (static_cast<unsigned char>(c) <= 32 || c == '"' || c == ',') return true;
  }
  return false;
}
bool IsSkippable(char c) { return c != '\0' && static_cast<unsigned char>(c) <= 32; }
}  // namespace

std::string WriteCommaText(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += ',';
    if (!NeedsQuotes(items[i])) {
      text += items[i];
      continue;
    }
    text += '"';
    for (char c : items[i]) {
      if (c == '"') text += '"';
      text += c;
    }
    text += '"';
  }
  return text;
}

std::vector<std::string> ReadCommaText(std::string_view text) {
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string> items;
  std::size_t pos = 0;
  const auto skip = [&] {
    while (pos < text.size() && IsSkippable(text[pos])) ++pos;
  };
  skip();
  while (pos < text.size()) {
    std::string item;
    if (text[pos] == '"') {
      ++pos;
      while (pos < text.size()) {
        if (text[pos] == '"') {
          if (pos + 1 < text.size() && text[pos + 1] == '"') {
            item += '"';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        item += text[pos++];
      }
    } else {
      const std::size_t start = pos;
      while (pos < text.size() && static_cast<unsigned char>(text[pos]) > 32 && text[pos] != ',') ++pos;
      item.assign(text, start, pos - start);
    }
    items.push_back(std::move(item));
    skip();
    if (pos < text.size() && text[pos] == ',') {
      ++pos;
      skip();
      if (pos == text.size()) items.emplace_back();
    }
  }
  return items;
}

std::string SizeText(std::int64_t bytes) {
  return SizeText(bytes, {Message(kMsgBytes), Message(kMsgKilobytes), Message(kMsgMegabytes)});
}

std::string SizeText(std::int64_t bytes, const SizeUnits& units) {
  constexpr std::int64_t kMega = 1048576;
  constexpr std::int64_t kGiga = 1073741824;
  std::int64_t number = bytes;
  const std::string* unit = &units.bytes;
  if (bytes >= kMega && bytes < kGiga) {
    number = bytes / 1024;
    unit = &units.kilobytes;
  } else if (bytes >= kGiga) {
    number = bytes / kMega;
    unit = &units.megabytes;
  }
  // The magnitude as unsigned, so the most negative count has one too.
  const std::uint64_t magnitude =
      number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
  const std::string digits = std::to_string(magnitude);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return (number < 0 ? "-" : "") + grouped + " " + *unit;
}

std::string BuildSubstitute(std::string_view text, const std::vector<std::string>& buildVariables,
                            const ExpansionBounds& bounds) {
  std::string current(text);
  for (int pass = 0; pass < bounds.passes; ++pass) {
    if (current.find('#') == std::string::npos || (pass > 0 && current.size() > bounds.length)) return current;
    std::string result = current;
    for (std::size_t i = 0; i + 1 < buildVariables.size(); i += 2) {
      result = ReplaceIgnoringCase(result, "#" + buildVariables[i] + "#", buildVariables[i + 1]);
    }
    if (result.find('#') == std::string::npos || result == current) return result;
    current = std::move(result);
  }
  return current;
}

}  // namespace bw
