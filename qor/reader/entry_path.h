#pragma once
// Which entry names may be extracted. A name that could leave the
// destination, name a device or an alternate data stream, or that Windows
// would write under another name, makes the whole archive refused before
// anything is written.
#include <optional>
#include <string>
#include <vector>

namespace qor {

// The folder components of a safe entry name (split on "/" and "\"), or
// nothing for a name that must not be extracted: empty, absolute, UNC or
// "\\?\", drive-relative or holding ":" anywhere, an empty, "." or ".."
// component, a control character or one of < > " | ? *, a device name
// (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without extension), or a
// component ending in a dot or a blank.
std::optional<std::vector<std::u16string>> SafeEntryComponents(const std::u16string& name);

}  // namespace qor
