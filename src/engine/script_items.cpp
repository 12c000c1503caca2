#include "script_items.h"

namespace bw {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kListEnd = "$";

class LineReader {
 public:
  explicit LineReader(std::string_view data) : data_(data) {}

  // The next line, or false at the end of the data. A last line without
  // CR LF still counts as a line.
  bool Next(std::string_view& line) {
    if (pos_ >= data_.size()) return false;
    const std::size_t end = data_.find(kLineEnd, pos_);
    if (end == std::string_view::npos) {
      line = data_.substr(pos_);
      pos_ = data_.size();
    } else {
      line = data_.substr(pos_, end - pos_);
      pos_ = end + kLineEnd.size();
    }
    ++lineNumber_;
    return true;
  }
  std::size_t LineNumber() const { return lineNumber_; }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
  std::size_t lineNumber_ = 0;
};

struct ItemReader {
  LineReader& reader;

  void List(const char* what, std::vector<std::string>& lines) {
    std::string_view line;
    while (true) {
      if (!reader.Next(line)) {
        throw MalformedScript("the setup script ends after line " + std::to_string(reader.LineNumber()) +
                              ", inside the " + std::string(what) + ", before its closing \"$\" line");
      }
      if (line == kListEnd) return;
      lines.emplace_back(line);
    }
  }
  void Single(const char* what, std::string& text) {
    std::string_view line;
    if (!reader.Next(line)) {
      throw MalformedScript("the setup script ends after line " + std::to_string(reader.LineNumber()) +
                            ", before the " + std::string(what));
    }
    text = line;
  }
};

void CheckWritable(const char* what, std::string_view line) {
  if (line.find(kLineEnd) != std::string_view::npos) {
    throw std::invalid_argument("a line of the " + std::string(what) + " holds CR LF, which would split it");
  }
}

struct ItemWriter {
  std::string& out;

  void List(const char* what, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      if (line == kListEnd) {
        throw std::invalid_argument("a line of the " + std::string(what) +
                                    " is exactly \"$\", which would close the list");
      }
      Line(what, line);
    }
    Line(what, kListEnd);
  }
  void Single(const char* what, const std::string& text) { Line(what, text); }
  void Line(const char* what, std::string_view line) {
    CheckWritable(what, line);
    out.append(line);
    out.append(kLineEnd);
  }
};

}  // namespace

const std::string& LineOrEmpty(const std::vector<std::string>& lines, std::size_t index) {
  static const std::string empty;
  return index < lines.size() ? lines[index] : empty;
}

ScriptItems ReadScriptItems(std::string_view data) {
  ScriptItems items;
  LineReader reader(data);
  ForEachScriptItem(items, ItemReader{reader});
  return items;
}

std::string WriteScriptItems(const ScriptItems& items) {
  std::string out;
  ForEachScriptItem(items, ItemWriter{out});
  return out;
}

}  // namespace bw
