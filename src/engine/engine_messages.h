#pragma once
// The engine's own texts: one table of 115 messages with English defaults,
// replaced block-wise from language files. Entries are numbered from 1 as the
// lines of a language file block.
//
// The process-wide table is written only on the GUI thread (start-up, a
// language change of the script) and only while no worker runs; workers read
// it.
#include <array>
#include <string>
#include <string_view>

namespace bw {

inline constexpr int kEngineMessageCount = 115;

// Entry numbers the code refers to by name.
enum EngineMessageId : int {
  kMsgRuntimeErrorInInstall = 5,
  kMsgBytes = 6,
  kMsgKilobytes = 7,
  kMsgMegabytes = 8,
  kMsgUndefinedGet = 9,
  kMsgUndefinedSet = 10,
  kMsgRuntimeErrorInSetupScript = 20,
};

class EngineMessageTable {
 public:
  // The built-in English defaults.
  EngineMessageTable();

  // Entry n (1 to 115); the empty text outside that range.
  const std::string& Message(int n) const;

  // Replaces the table from the text of a language file: the first block,
  // or the block of the first entry whose name line equals userLanguageName
  // ignoring case. A block cut short by the end of the text leaves empty
  // texts; lines 91 to 111 of a block are never taken.
  void Load(std::string_view fileText, std::string_view userLanguageName);

  // Load from a file; a file that cannot be opened leaves the table as it is.
  // Returns whether the file was read.
  bool LoadFile(const std::string& path, std::string_view userLanguageName);

 private:
  std::array<std::string, kEngineMessageCount> messages_;
};

// The process-wide table.
EngineMessageTable& EngineMessages();
// Entry n of the process-wide table.
const std::string& Message(int n);

// The built-in English default of entry n (1 to 115), for tests and tools.
std::string_view DefaultEngineMessage(int n);

}  // namespace bw
