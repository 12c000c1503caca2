#pragma once
// The run log: one tag per line, written only while a log path is given.
#include <functional>
#include <string>
#include <string_view>

namespace bw {

class RunLog {
 public:
  // currentPath is asked before every line, so a script that changes the log
  // path moves the log. An empty path writes nothing.
  explicit RunLog(std::function<std::string()> currentPath) : currentPath_(std::move(currentPath)) {}

  // Appends the line and CR LF: UTF-16LE without byte order mark on NT, ANSI on
  // Windows 9x. The first line written in the process truncates the file. A
  // log that cannot be written is skipped silently: it never stops the setup.
  void Write(std::string_view line);

 private:
  std::function<std::string()> currentPath_;
  bool wroteFirstLine_ = false;
};

}  // namespace bw
