#include "startup/support_folder.h"

#include <windows.h>
// sddl.h needs the Windows types first.
#include <sddl.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "engine/path_text.h"
#include "startup/win_handle.h"

namespace bw {

namespace {

constexpr int kCleanUpPasses = 3;

bool RunsElevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const FileHandle owned(token);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) && elevation.TokenIsElevated;
}

// The SID of the process's user in string form, or empty.
std::string CurrentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  const FileHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size]);
  if (!GetTokenInformation(token, TokenUser, buffer.get(), size, &size)) return {};
  char* text = nullptr;
  if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text)) return {};
  std::string sid = text;
  LocalFree(text);
  return sid;
}

// A security descriptor freed with LocalFree.
struct LocalSecurityDescriptor {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ~LocalSecurityDescriptor() {
    if (descriptor) LocalFree(descriptor);
  }
};

void DeleteContent(const std::string& folder);

void RemoveEntry(const std::string& path, const WIN32_FIND_DATAA& found) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
  if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    // The link itself: a folder link goes with RemoveDirectory, never by
    // emptying what it points to.
    if (folder) {
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
    return;
  }
  if (folder) {
    DeleteContent(path + "\\");
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}

void DeleteContent(const std::string& folder) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    RemoveEntry(folder + name, found);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

std::string CreateSupportFolder(const std::string& temporaryFolder) {
  LocalSecurityDescriptor protectedAccess;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (RunsElevated()) {
    const std::string sid = CurrentUserSid();
    std::string sddl = "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
    if (!sid.empty()) sddl += "(A;OICI;FA;;;" + sid + ")";
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                              &protectedAccess.descriptor, nullptr)) {
      throw std::runtime_error("cannot make the access rules of the support folder");
    }
    attributes.lpSecurityDescriptor = protectedAccess.descriptor;
  }
  for (unsigned number = 1;; ++number) {
    const std::string folder = temporaryFolder + "qor" + std::to_string(number);
    if (CreateDirectoryA(folder.c_str(), &attributes)) return folder + "\\";
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS || number == UINT_MAX) {
      throw std::runtime_error("cannot create the support folder " + folder + " (error " + std::to_string(error) + ")");
    }
  }
}

void RemoveFolderTree(const std::string& folder) {
  const std::string withSlash = WithTrailingBackslash(folder);
  for (int pass = 0; pass < kCleanUpPasses; ++pass) DeleteContent(withSlash);
  RemoveDirectoryA(withSlash.c_str());
}

}  // namespace bw
