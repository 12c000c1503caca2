// The user's language as Windows reports it, named through the language table.
#include "startup/engine_language.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "engine/language_names.h"

namespace bw {
namespace {

TEST(EngineLanguage, TheSystemNamesLanguagesOutsideTheTable) {
  EXPECT_EQ(SystemEnglishLanguageName(0x0C07), "German");
  const struct {
    std::uint16_t id;
    const char* name;
  } cases[] = {
      {0x0C07, "German"},  // German (Austria), through the system's English name
      {0x0C0C, "French"},  // French (Canada)
      {0x0809, ""},        // English (United Kingdom) is English: no name of its own
      {0x0402, ""},        // Bulgarian is not in the table
      {1049, "Russian"},
  };
  for (const auto& c : cases) EXPECT_EQ(NameOfId(c.id, SystemEnglishLanguageName), c.name) << c.id;
}

TEST(EngineLanguage, TheUserLanguageIsReadFromTheUserLocale) {
  const std::uint16_t language = UserLanguage();
  EXPECT_NE(language, 0);
  EXPECT_EQ(language, LANGIDFROMLCID(GetUserDefaultLCID()));
  EXPECT_NE(UserDefaultLanguage(), 0);
}

}  // namespace
}  // namespace bw
