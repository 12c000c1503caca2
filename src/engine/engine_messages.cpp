#include "engine_messages.h"

#include <fstream>
#include <iterator>

#include "ansi_case.h"

namespace bw {

namespace {

// Lines 91 to 111 of a block are reserved: read, never taken.
constexpr int kFirstReservedLine = 91;
constexpr int kLastReservedLine = 111;

constexpr std::array<std::string_view, kEngineMessageCount>
    kDefaults =
        {
            "Please install the common controls update from Microsoft before attempting to install this product.",  // 1
            "Setup resource not found",                                                                             // 2
            "Setup resource decompression failure",                                                                 // 3
            "Setup database not found",                                                                             // 4
            "Runtime error in install: ",                                                                           // 5
            "bytes",                                                                                                // 6
            "KB",                                                                                                   // 7
            "MB",                                                                                                   // 8
            "Attempting to get value of undefined variable ",                                                       // 9
            "Attempting to set value of undefined variable ",                            // 10
            "Copying: ",                                                                 // 11
            "Unable to copy installation data to local folders",                         // 12
            "Downloading Web Media: ",                                                   // 13
            "Unable to download installation data from the web",                         // 14
            "Extracting Web Media: ",                                                    // 15
            "Unable to extract installation data downloaded from the web",               // 16
            "Please locate your original setup sources to continue operation",           // 17
            "Original setup sources required to complete operation, sources not found",  // 18
            "General setup failure",                                                     // 19
            "Runtime error in setup script:",                                            // 20
            "% complete",                                                                // 21
            "bytes received",                                                            // 22
            "Brightwarden Wizard",                                                       // 23
            "Brightwarden is preparing the Brightwarden Wizard which will install this application. Please wait.",  // 24
            "Retry Download?",                                                                         // 25
            "Downloading of installation data from the web has failed. Would you like to try again?",  // 26
            " Proxy Information (optional) ",                                                          // 27
            "Proxy &Server:",                                                                          // 28
            "Proxy &Port:",                                                                            // 29
            "If you choose No, setup will exit. However, you will be able to resume your download from where it left "
            "off when you re-run setup.",                                                                      // 30
            "&Yes",                                                                                            // 31
            "&No",                                                                                             // 32
            "Retry Extraction?",                                                                               // 33
            "Extraction of installation data downloaded from the web has failed. What would you like to do?",  // 34
            "&Download a fresh copy of the installation data.",                                                // 35
            "Try to &extract the existing download data again.",                                               // 36
            "If you choose Cancel, setup will exit. Your existing download data will be preserved.",           // 37
            "&OK",                                                                                             // 38
            "&Cancel",                                                                                         // 39
            "Are you sure you want to cancel?",                                                                // 40
            "Proxy &User:",                                                                                    // 41
            "Proxy Pass&word:",                                                                                // 42
            "Fatal Error",                                                                                     // 43
            "Error",                                                                                           // 44
            "Warning",                                                                                         // 45
            "Message",                                                                                         // 46
            "Files in Use",                                                                                    // 47
            "Out of Disk Space",                                                                               // 48
            "Downloading of installation data from the web has failed. Please make sure you are connected to the "
            "Internet.",                                  // 49
            "Would you like to:",                         // 50
            "Try to &resume the broken download?",        // 51
            "Download a &new copy of the data instead?",  // 52
            "If you choose Cancel, setup will exit. However, you will be able to resume your download from where it "
            "left off when you re-run setup.",        // 53
            "",                                       // 54
            "Locating resource",                      // 55
            "Connecting to",                          // 56
            "Redirecting to",                         // 57
            "Beginning data transfer",                // 58
            "Transferring data",                      // 59
            "Finishing data transfer",                // 60
            "Beginning component download",           // 61
            "Installing components",                  // 62
            "Finishing component download",           // 63
            "Resuming broken download",               // 64
            "Requesting data",                        // 65
            "CLASSID available",                      // 66
            "Download data recognized",               // 67
            "Saving download information",            // 68
            "Beginning synchronous operation",        // 69
            "Finishing synchronous operation",        // 70
            "Beginning data upload",                  // 71
            "Uploading data",                         // 72
            "Finishing data upload",                  // 73
            "Protocol CLASSID",                       // 74
            "Encoding",                               // 75
            "Download data recognized and verified",  // 76
            "Class install location",                 // 77
            "Decoding",                               // 78
            "Loading data handler",                   // 79
            "Content disposition attach",             // 80
            "Download data filtered",                 // 81
            "CLSID can instantiate",                  // 82
            "COM services unavailable",               // 83
            "Direct bind",                            // 84
            "Unrecognized download data",             // 85
            "Detecting proxy information",            // 86
            "Accept ranges",                          // 87
            "A previously executed setup still has pending operations on the system. Please restart your computer "
            "before attempting to install this product.",                  // 88
            "Select Setup Language",                                       // 89
            "Please select the language to use during the installation:",  // 90
            "",                                                            // 91
            "",                                                            // 92
            "",                                                            // 93
            "",                                                            // 94
            "",                                                            // 95
            "",                                                            // 96
            "",                                                            // 97
            "",                                                            // 98
            "",                                                            // 99
            "",                                                            // 100
            "",                                                            // 101
            "",                                                            // 102
            "",                                                            // 103
            "",                                                            // 104
            "",                                                            // 105
            "",                                                            // 106
            "",                                                            // 107
            "",                                                            // 108
            "",                                                            // 109
            "",                                                            // 110
            "",                                                            // 111
            "Unable to play Flash movie",                                  // 112
            "Will be &installed on local hard drive",                      // 113
            "&Entire feature will be installed on local hard drive",       // 114
            "Entire feature will be &unavailable",                         // 115
};

// Reads text lines as a text file reader does: a line ends at CR LF, at a
// lone CR or at a lone LF; the end of the text ends the last line.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ >= text_.size(); }
  // The next line, or the empty text at the end.
  std::string_view Next() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
    const std::string_view line = text_.substr(start, pos_ - start);
    if (pos_ < text_.size()) {
      const char lineEnd = text_[pos_++];
      if (lineEnd == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return line;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

using Block = std::array<std::string, kEngineMessageCount>;

// The next block of 115 lines; lines past the end of the text are empty.
Block ReadBlock(LineReader& reader) {
  Block block;
  for (auto& line : block) line = reader.Next();
  return block;
}

}  // namespace

EngineMessageTable::EngineMessageTable() {
  for (int n = 1; n <= kEngineMessageCount; ++n) messages_[n - 1] = DefaultEngineMessage(n);
}

const std::string& EngineMessageTable::Message(int n) const {
  static const std::string kNone;
  return n >= 1 && n <= kEngineMessageCount ? messages_[n - 1] : kNone;
}

void EngineMessageTable::Load(std::string_view fileText, std::string_view userLanguageName) {
  LineReader reader(fileText);
  Block chosen = ReadBlock(reader);
  const std::string wanted = AnsiUpper(userLanguageName);
  while (!reader.AtEnd()) {
    const std::string name = AnsiUpper(reader.Next());
    Block scratch = ReadBlock(reader);
    if (name == wanted) {
      chosen = std::move(scratch);
      break;
    }
  }
  for (int n = 1; n <= kEngineMessageCount; ++n) {
    if (n < kFirstReservedLine || n > kLastReservedLine) messages_[n - 1] = std::move(chosen[n - 1]);
  }
}

bool EngineMessageTable::LoadFile(const std::string& path, std::string_view userLanguageName) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  Load(text, userLanguageName);
  return true;
}

EngineMessageTable& EngineMessages() {
  static EngineMessageTable table;
  return table;
}

const std::string& Message(int n) { return EngineMessages().Message(n); }

std::string_view DefaultEngineMessage(int n) {
  return n >= 1 && n <= kEngineMessageCount ? kDefaults[n - 1] : std::string_view();
}

}  // namespace bw
