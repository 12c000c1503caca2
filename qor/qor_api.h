#pragma once
// The interface of the archive library "qor.lib": what the engine and the
// library both compile against. Texts are zero-terminated 8-bit strings in the
// system code page; every function and callback uses the stdcall convention.
#include <cstdint>

namespace qor {

#define QOR_CALL __stdcall

// GetLastArchiveError: the failure of the last call.
enum ArchiveErrorCode : int {
  kArchiveNotFound = 1001,     // the archive cannot be opened
  kIllegalEntryPath = 1002,    // an entry name that must not be extracted
  kUnsupportedArchive = 1003,  // unsupported or damaged archive, or a wrong password
  kDestinationFailure = 1004,  // a folder or file of the destination cannot be written
  kExtractionStopped = 1005,   // a callback answered "stop"
};

// The password callback's buffer: the callback writes at most this many bytes,
// the terminating zero included.
inline constexpr int kPasswordBufferSize = 256;

// Answers 1 after writing a password into the buffer, 0 when it has none.
using PasswordCallback = int(QOR_CALL*)(char* buffer);
// Progress of an entry: bytes done of total. 0 stops the extraction.
using ProgressCallback = int(QOR_CALL*)(const char* entryPath, std::uint64_t done, std::uint64_t total);
// Called before each entry with its index and the entry count; 0 stops.
using EntryCallback = int(QOR_CALL*)(int index, int count);
// An entry would replace an existing file: the existing path and size (low,
// high), the entry's path and size (low, high), then four reserved zeros.
// 4 replaces this and every later file without asking again, any other
// answer keeps the existing file.
using OverwriteCallback = int(QOR_CALL*)(const char* existingPath, std::uint32_t existingSizeLow,
                                         std::uint32_t existingSizeHigh, const char* entryPath,
                                         std::uint32_t entrySizeLow, std::uint32_t entrySizeHigh, int, int, int, int);
inline constexpr int kOverwriteAll = 4;

// One entry of a listing: 48 bytes in the 32-bit library.
struct ListEntry {
  const char* path;         // the entry's path in the archive, "\"-separated
  const wchar_t* widePath;  // the same, as stored (UTF-16)
  std::uint32_t attributes;
  std::uint32_t flags;  // kEntryDirectory, kEntryHasCrc
  std::uint64_t size;
  std::uint32_t crc;
  std::uint8_t reserved[48 - 2 * sizeof(void*) - 20];
};
static_assert(sizeof(void*) != 4 || sizeof(ListEntry) == 48, "a listing record is 48 bytes");
inline constexpr std::uint32_t kEntryDirectory = 1;
inline constexpr std::uint32_t kEntryHasCrc = 2;

extern "C" {
// Lists an archive. reserved arguments are 0. The password comes from the
// callback when one is given, else from the password text (may be null).
// Returns a handle for CloseListArchive, or 0 (see GetLastArchiveError).
using OpenListArchiveFunction = void*(QOR_CALL*)(const char* archivePath, int reserved1, PasswordCallback password,
                                                 int reserved2, int reserved3, int reserved4, const char* passwordText,
                                                 ListEntry** entries, int* count);
using CloseListArchiveFunction = void(QOR_CALL*)(void* handle);
// Extracts the target entries (all when targetCount is 0) below the
// destination folder. mode and option are accepted and have no effect.
// Non-zero on success.
using ExtractArchiveFunction = int(QOR_CALL*)(const char* archivePath, int mode, const char* destinationFolder,
                                              const char* const* targets, int targetCount, int option,
                                              const char* passwordText, PasswordCallback password,
                                              ProgressCallback progress, EntryCallback entry,
                                              OverwriteCallback overwrite);
using GetLastArchiveErrorFunction = int(QOR_CALL*)(int reserved);
}

}  // namespace qor
