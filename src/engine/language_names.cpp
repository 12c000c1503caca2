#include "language_names.h"

#include <array>

#include "ansi_case.h"
#include "integer_text.h"

namespace bw {

namespace {

struct LanguageRow {
  std::string_view name;
  std::uint16_t id;
};

// "Portugese" is spelled as the language files and scripts spell it.
constexpr std::array<LanguageRow, 35> kLanguages = {{
    {"Arabic", 1025},
    {"Catalan", 1027},
    {"Chinese (Taiwan)", 1028},
    {"Chinese (PRC)", 2052},
    {"Czech", 1029},
    {"Danish", 1030},
    {"German", 1031},
    {"Greek", 1032},
    {"English", 1033},
    {"Spanish", 3082},
    {"Estonian", 1061},
    {"Vietnamese", 1066},
    {"Finnish", 1035},
    {"French", 1036},
    {"Hebrew", 1037},
    {"Hungarian", 1038},
    {"Italian", 1040},
    {"Japanese", 1041},
    {"Korean", 1042},
    {"Lithuanian", 1063},
    {"Latvian", 1062},
    {"Dutch", 1043},
    {"Norwegian", 1044},
    {"Basque", 1069},
    {"Polish", 1045},
    {"Portugese (Brazil)", 1046},
    {"Portugese (Portugal)", 2070},
    {"Romanian", 1048},
    {"Russian", 1049},
    {"Croatian", 1050},
    {"Slovak", 1051},
    {"Swedish", 1053},
    {"Thai", 1054},
    {"Turkish", 1055},
    {"Slovenian", 1060},
}};

const LanguageRow* RowOfId(std::uint16_t id) {
  for (const LanguageRow& row : kLanguages) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

}  // namespace

std::string NameOfId(std::uint16_t id, const EnglishLanguageNameLookup& englishNameOf) {
  if (const LanguageRow* row = RowOfId(id)) return std::string(row->name);
  const std::uint16_t named = IdOfName(englishNameOf ? englishNameOf(id) : std::string());
  if (named == kEnglishLanguageId) return {};
  const LanguageRow* row = RowOfId(named);
  return row ? std::string(row->name) : std::string();
}

std::uint16_t IdOfName(std::string_view name) {
  for (const LanguageRow& row : kLanguages) {
    if (AnsiEqualsIgnoringCase(row.name, name)) return row.id;
  }
  return kEnglishLanguageId;
}

std::uint16_t LanguageIdOfLocaleText(std::string_view hexText) {
  if (hexText.empty() || hexText.size() > 4) return 0;
  std::uint16_t id = 0;
  for (char c : hexText) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return 0;
    id = static_cast<std::uint16_t>(id * 16 + digit);
  }
  return id;
}

}  // namespace bw
