#pragma once
// Languages are named by English names; this fixed table converts between
// those names and Windows language ids.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace bw {

inline constexpr std::uint16_t kEnglishLanguageId = 1033;

// The system's English name of a language id (the locale item of the English
// language name), the empty text when it has none.
using EnglishLanguageNameLookup = std::function<std::string(std::uint16_t id)>;

// The table name of the id. An id outside the table is named through the
// system's English name of it: when that name is a table name other than
// English, that row's name, otherwise the empty text (so German (Austria)
// is "German" and English (United Kingdom) is "").
std::string NameOfId(std::uint16_t id, const EnglishLanguageNameLookup& englishNameOf);

// The id of the row whose name equals name ignoring case; 1033 when none does.
std::uint16_t IdOfName(std::string_view name);

// The language id in a locale item's hexadecimal text ("0407"); 0 when the
// text is no hexadecimal number of at most four digits.
std::uint16_t LanguageIdOfLocaleText(std::string_view hexText);

}  // namespace bw
