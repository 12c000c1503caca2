#pragma once
// Owning wrappers for Windows handles.
#include <windows.h>

#include <utility>

namespace bw {

// A kernel handle closed with CloseHandle. Invalid is the null handle or
// INVALID_HANDLE_VALUE, as the creating call returned it.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~FileHandle() {
    if (*this) CloseHandle(handle_);
  }
  explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// A module loaded with LoadLibrary, released with FreeLibrary.
class ModuleHandle {
 public:
  explicit ModuleHandle(HMODULE module) : module_(module) {}
  ModuleHandle(const ModuleHandle&) = delete;
  ModuleHandle& operator=(const ModuleHandle&) = delete;
  ~ModuleHandle() {
    if (module_) FreeLibrary(module_);
  }
  explicit operator bool() const { return module_ != nullptr; }
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace bw
