#include "appended_data.h"

#include <span>
#include <stdexcept>

#include "startup/stub_size.h"
#include "startup/win_handle.h"

namespace bw {

namespace {

FileHandle OpenForReading(const std::string& path) {
  return FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool ReadExactly(HANDLE file, char* buffer, std::uint64_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(size, 1u << 20));
    DWORD read = 0;
    if (!ReadFile(file, buffer, chunk, &read, nullptr) || read == 0) return false;
    buffer += read;
    size -= read;
  }
  return true;
}

bool WriteAll(HANDLE file, const char* buffer, std::uint64_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(size, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, buffer, chunk, &written, nullptr) || written == 0) return false;
    buffer += written;
    size -= written;
  }
  return true;
}

// Copies size bytes from the current position of source to target.
bool CopyBytes(HANDLE source, HANDLE target, std::uint64_t size) {
  std::string buffer(1u << 16, '\0');
  while (size > 0) {
    const std::uint64_t chunk = std::min<std::uint64_t>(size, buffer.size());
    if (!ReadExactly(source, buffer.data(), chunk) || !WriteAll(target, buffer.data(), chunk)) return false;
    size -= chunk;
  }
  return true;
}

std::optional<std::uint64_t> FileSize(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace

std::string ModulePath(HMODULE module) {
  std::string path(MAX_PATH, '\0');
  while (true) {
    const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::optional<std::uint64_t> ModuleStubSize(HMODULE module) {
  if (module == nullptr) module = GetModuleHandleA(nullptr);
  MEMORY_BASIC_INFORMATION region{};
  if (module == nullptr || VirtualQuery(module, &region, sizeof region) == 0) return std::nullopt;
  const auto* base = reinterpret_cast<const std::uint8_t*>(module);
  const auto mapped =
      static_cast<std::size_t>(region.RegionSize - (base - static_cast<const std::uint8_t*>(region.BaseAddress)));
  return StubSizeFromHeaders(std::span<const std::uint8_t>(base, mapped));
}

std::optional<std::string> ReadAppendedData(const std::string& path, std::uint64_t stubSize) {
  FileHandle file = OpenForReading(path);
  if (!file) throw std::runtime_error("cannot open " + path + " for reading");
  const auto size = FileSize(file.get());
  if (!size) throw std::runtime_error("cannot read the size of " + path);
  if (*size == stubSize) return std::nullopt;
  if (*size < stubSize) throw std::runtime_error(path + " is shorter than its own executable image");
  LARGE_INTEGER offset{};
  offset.QuadPart = static_cast<LONGLONG>(stubSize);
  std::string data(static_cast<std::size_t>(*size - stubSize), '\0');
  if (!SetFilePointerEx(file.get(), offset, nullptr, FILE_BEGIN) ||
      !ReadExactly(file.get(), data.data(), data.size())) {
    throw std::runtime_error("cannot read the data appended to " + path);
  }
  return data;
}

bool BuildRunnableSetup(const std::string& scriptFile) {
  const auto stubSize = ModuleStubSize(nullptr);
  if (!stubSize) return false;
  const std::string runnable = scriptFile + ".to";
  {
    FileHandle engine = OpenForReading(ModulePath(nullptr));
    FileHandle script = OpenForReading(scriptFile);
    if (!engine || !script) return false;
    const auto scriptSize = FileSize(script.get());
    FileHandle target(
        CreateFileA(runnable.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target || !scriptSize || !CopyBytes(engine.get(), target.get(), *stubSize) ||
        !CopyBytes(script.get(), target.get(), *scriptSize)) {
      target = FileHandle();
      DeleteFileA(runnable.c_str());
      return false;
    }
  }
  return MoveFileExA(scriptFile.c_str(), (scriptFile + ".nox").c_str(), MOVEFILE_REPLACE_EXISTING) &&
         MoveFileExA(runnable.c_str(), scriptFile.c_str(), 0);
}

}  // namespace bw
