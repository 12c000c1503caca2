#pragma once
// The user's Windows language and the engine messages that follow it.
#include <cstdint>
#include <string>

namespace bw {

// The language id of the user default locale; 0 when it cannot be read.
std::uint16_t UserLanguage();
// The "default language" item of the user default locale; 0 when unreadable.
std::uint16_t UserDefaultLanguage();
// The system's English name of a language ("German" for German (Austria)).
std::string SystemEnglishLanguageName(std::uint16_t id);
// The table name of the user language, the empty text when it has none.
std::string UserLanguageName();

// Loads the engine messages for the user language from the language file
// appended to the archive library in the engine folder. A missing library,
// one without appended data or one that cannot be read changes nothing.
void LoadArchiveLibraryMessages(const std::string& engineFolder);

}  // namespace bw
