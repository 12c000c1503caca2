#include "engine/engine_messages.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/language_names.h"
#include "engine/text_utilities.h"
#include "engine/variable_store.h"

namespace bw {
namespace {

TEST(EngineMessages, DefaultsAreTheEnglishTexts) {
  const EngineMessageTable table;
  const std::map<int, std::string> samples = {
      {1, "Please install the common controls update from Microsoft before attempting to install this product."},
      {5, "Runtime error in install: "},
      {9, "Attempting to get value of undefined variable "},
      {20, "Runtime error in setup script:"},
      {27, " Proxy Information (optional) "},
      {54, ""},
      {55, "Locating resource"},
      {87, "Accept ranges"},
      {90, "Please select the language to use during the installation:"},
      {91, ""},
      {111, ""},
      {112, "Unable to play Flash movie"},
      {115, "Entire feature will be &unavailable"},
      {0, ""},
      {116, ""},
  };
  for (const auto& [n, text] : samples) EXPECT_EQ(table.Message(n), text) << n;
}

// A language file block: line n is "<prefix> n" for every n.
std::string Block(const std::string& prefix, int lines = kEngineMessageCount) {
  std::string block;
  for (int n = 1; n <= lines; ++n) block += prefix + " " + std::to_string(n) + "\r\n";
  return block;
}

TEST(EngineMessages, ALanguageFileReplacesTheTableBlockWise) {
  const std::string twoLanguages = Block("first") + "German\r\n" + Block("de") + "French\r\n" + Block("fr");
  struct LoadCase {
    const char* name;
    std::string file;
    std::string userLanguage;
    std::map<int, std::string> expected;
  };
  const LoadCase cases[] = {
      {"first block for a language without entry",
       twoLanguages,
       "Vietnamese",
       {{1, "first 1"}, {54, "first 54"}, {90, "first 90"}, {112, "first 112"}, {115, "first 115"}}},
      {"matching entry, ignoring case", twoLanguages, "FRENCH", {{1, "fr 1"}, {115, "fr 115"}}},
      {"first matching entry wins",
       Block("first") + "German\r\n" + Block("a") + "german\r\n" + Block("b"),
       "German",
       {{1, "a 1"}}},
      {"lines 91 to 111 keep their defaults",
       twoLanguages,
       "German",
       {{90, "de 90"}, {91, ""}, {100, ""}, {111, ""}, {112, "de 112"}}},
      {"a short first block leaves empty texts",
       Block("short", 3),
       "English",
       {{1, "short 1"}, {3, "short 3"}, {4, ""}, {20, ""}, {115, ""}}},
      {"a short entry block leaves empty texts",
       Block("first") + "German\r\n" + Block("de", 2),
       "German",
       {{2, "de 2"}, {3, ""}}},
      {"lone LF and CR end lines too", "one\ntwo\rthree\r\n", "", {{1, "one"}, {2, "two"}, {3, "three"}, {4, ""}}},
      {"an empty file empties the table", "", "", {{1, ""}, {20, ""}, {100, ""}}},
  };
  for (const LoadCase& c : cases) {
    EngineMessageTable table;
    table.Load(c.file, c.userLanguage);
    for (const auto& [n, text] : c.expected) EXPECT_EQ(table.Message(n), text) << c.name << ", message " << n;
  }
}

TEST(EngineMessages, AMissingFileChangesNothing) {
  EngineMessageTable table;
  EXPECT_FALSE(table.LoadFile("/nonexistent/lang.loc", "English"));
  EXPECT_EQ(table.Message(20), "Runtime error in setup script:");
}

// The store's errors and the size units read the process-wide table.
TEST(EngineMessages, EngineTextsFollowTheLoadedTable) {
  EngineMessages().Load(Block("x", 5) + "octets\r\nKo\r\nMo\r\nGET \r\nSET \r\n", "");
  VariableStore store;
  EXPECT_THROW(
      {
        try {
          store.Get("nope");
        } catch (const ScriptError& error) {
          EXPECT_STREQ(error.what(), "GET nope");
          throw;
        }
      },
      ScriptError);
  EXPECT_EQ(SizeText(2 * 1048576), "2,048 Ko");
  EXPECT_EQ(SizeText(512), "512 octets");
  EngineMessages() = EngineMessageTable();
  EXPECT_EQ(SizeText(512), "512 bytes");
}

struct NameCase {
  std::uint16_t id;
  const char* name;
};

TEST(LanguageNames, NameOfIdAsksTheSystemOnlyOutsideTheTable) {
  // What a system reports as the English name of a few ids.
  const EnglishLanguageNameLookup system = [](std::uint16_t id) -> std::string {
    switch (id) {
      case 0x0C07:
        return "German";  // German (Austria)
      case 0x080C:
        return "French";  // French (Belgium)
      case 0x0809:
        return "English";  // English (United Kingdom)
      case 0x0402:
        return "Bulgarian";  // not in the table
      case 1031:
        return "wrong";  // never asked: in the table
      default:
        return "";
    }
  };
  const NameCase cases[] = {
      {1031, "German"},
      {1033, "English"},
      {1046, "Portugese (Brazil)"},
      {2070, "Portugese (Portugal)"},
      {3082, "Spanish"},
      {1069, "Basque"},
      {0x0C07, "German"},
      {0x080C, "French"},
      {0x0809, ""},
      {0x0402, ""},
      {0, ""},
  };
  for (const NameCase& c : cases) EXPECT_EQ(NameOfId(c.id, system), c.name) << c.id;
}

TEST(LanguageNames, IdOfNameIgnoresCaseAndDefaultsToEnglish) {
  const NameCase cases[] = {
      {1036, "french"},
      {1028, "Chinese (Taiwan)"},
      {2052, "CHINESE (PRC)"},
      {1046, "Portugese (Brazil)"},
      {1033, "Portuguese (Brazil)"},
      {1033, "Klingon"},
      {1033, ""},
      {1060, "Slovenian"},
  };
  for (const NameCase& c : cases) EXPECT_EQ(IdOfName(c.name), c.id) << c.name;
}

TEST(LanguageNames, LocaleTextsAreHexadecimal) {
  EXPECT_EQ(LanguageIdOfLocaleText("0407"), 0x0407);
  EXPECT_EQ(LanguageIdOfLocaleText("0c0a"), 0x0C0A);
  EXPECT_EQ(LanguageIdOfLocaleText(""), 0);
  EXPECT_EQ(LanguageIdOfLocaleText("04070"), 0);
  EXPECT_EQ(LanguageIdOfLocaleText("x407"), 0);
}

}  // namespace
}  // namespace bw
