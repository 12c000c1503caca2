#include "startup/engine_language.h"

#include <windows.h>

#include <optional>

#include "engine/engine_messages.h"
#include "engine/language_names.h"
#include "startup/appended_data.h"
#include "startup/library_loading.h"
#include "startup/win_handle.h"

namespace bw {

namespace {

std::string LocaleText(LCID locale, LCTYPE item) {
  char text[128] = {};
  const int length = GetLocaleInfoA(locale, item, text, sizeof text);
  return length > 0 ? std::string(text) : std::string();
}

}  // namespace

std::uint16_t UserLanguage() { return LanguageIdOfLocaleText(LocaleText(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE)); }

std::uint16_t UserDefaultLanguage() {
  return LanguageIdOfLocaleText(LocaleText(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTLANGUAGE));
}

std::string SystemEnglishLanguageName(std::uint16_t id) {
  return LocaleText(MAKELCID(id, SORT_DEFAULT), LOCALE_SENGLANGUAGE);
}

std::string UserLanguageName() { return NameOfId(UserLanguage(), SystemEnglishLanguageName); }

void LoadArchiveLibraryMessages(const std::string& engineFolder) {
  const std::string libraryPath = engineFolder + "qor.lib";
  const ModuleHandle library(LoadLibraryByPath(libraryPath));
  if (!library) return;
  const std::optional<std::uint64_t> stubSize = ModuleStubSize(library.get());
  if (!stubSize) return;
  try {
    // The appended bytes are parsed where they are read; no "lang.loc" copy
    // is written to the temporary folder.
    if (const std::optional<std::string> languageFile = ReadAppendedData(libraryPath, *stubSize)) {
      EngineMessages().Load(*languageFile, UserLanguageName());
    }
  } catch (const std::exception&) {
    // An unreadable library keeps the messages as they are.
  }
}

}  // namespace bw
