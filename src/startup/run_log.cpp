#include "run_log.h"

#include <windows.h>

#include "startup/win_handle.h"
#include "startup/win_text.h"
#include "startup/windows_version.h"

namespace bw {

void RunLog::Write(std::string_view line) {
  const std::string path = currentPath_();
  if (path.empty()) return;
  const DWORD disposition = wroteFirstLine_ ? OPEN_ALWAYS : CREATE_ALWAYS;
  FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  wroteFirstLine_ = true;
  std::string text(line);
  text.append("\r\n");
  std::string bytes;
  if (IsNtFamily()) {
    const std::wstring wide = AnsiToWide(text);
    bytes.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  } else {
    bytes = std::move(text);
  }
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace bw
