#include "entry_path.h"

#include <algorithm>
#include <array>

namespace qor {

namespace {

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool IsDeviceName(const std::u16string& component) {
  // The device is the part before the first dot, trailing blanks ignored.
  std::u16string base = component.substr(0, component.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.pop_back();
  std::transform(base.begin(), base.end(), base.begin(), UpperAscii);
  static const std::array<std::u16string, 4> kDevices = {u"CON", u"PRN", u"AUX", u"NUL"};
  if (std::find(kDevices.begin(), kDevices.end(), base) != kDevices.end()) return true;
  return base.size() == 4 && (base.compare(0, 3, u"COM") == 0 || base.compare(0, 3, u"LPT") == 0) && base[3] >= u'1' &&
         base[3] <= u'9';
}

bool IsSafeComponent(const std::u16string& component) {
  if (component.empty() || component == u"..") return false;
  if (component.back() == u'.' || component.back() == u' ') return false;  // also "."
  for (char16_t c : component) {
    if (c < 32 || c == u':' || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*') {
      return false;
    }
  }
  return !IsDeviceName(component);
}

}  // namespace

std::optional<std::vector<std::u16string>> SafeEntryComponents(const std::u16string& name) {
  std::vector<std::u16string> components;
  std::size_t start = 0;
  while (true) {
    const std::size_t separator = name.find_first_of(u"/\\", start);
    components.push_back(
        name.substr(start, separator == std::u16string::npos ? std::u16string::npos : separator - start));
    if (!IsSafeComponent(components.back())) return std::nullopt;  // a leading separator gives an empty first one
    if (separator == std::u16string::npos) return components;
    start = separator + 1;
  }
}

}  // namespace qor
