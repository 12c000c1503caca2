#include "expression.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace bw {

namespace {

enum class Logic { kNone, kAnd, kOr };

// One open group: the value of the tests combined so far and the operator
// that joins the next test to it.
struct Group {
  bool hasValue = false;
  bool value = false;
  Logic pending = Logic::kNone;

  void Combine(bool test) {
    if (!hasValue) {
      value = test;
      hasValue = true;
    } else if (pending == Logic::kAnd) {
      value = value && test;
    } else {
      value = value || test;
    }
  }
};

int CompareBytes(std::string_view left, std::string_view right) {
  const auto mismatch = std::mismatch(left.begin(), left.end(), right.begin(), right.end());
  if (mismatch.first == left.end()) return mismatch.second == right.end() ? 0 : -1;
  if (mismatch.second == right.end()) return 1;
  return static_cast<unsigned char>(*mismatch.first) < static_cast<unsigned char>(*mismatch.second) ? -1 : 1;
}

// Consumes the text left to right; every reader returns nothing on malformed
// input.
class ExpressionReader {
 public:
  explicit ExpressionReader(std::string_view text) : text_(text) {}

  std::optional<bool> Read() {
    std::vector<Group> groups(1);  // the outermost expression
    while (true) {
      // A test: open groups until an operand starts a comparison.
      SkipBlanks();
      if (AtEnd()) return std::nullopt;
      if (text_[pos_] == '(') {
        ++pos_;
        groups.emplace_back();
        continue;
      }
      std::optional<bool> test = ReadComparison();
      if (!test) return std::nullopt;
      // After a test: close groups that end here, then a logical operator
      // or the end of the outermost expression.
      while (true) {
        groups.back().Combine(*test);
        SkipBlanks();
        if (!AtEnd() && text_[pos_] != ')') break;
        if (groups.size() == 1) return AtEnd() ? std::optional<bool>(groups.back().value) : std::nullopt;
        if (AtEnd()) return std::nullopt;  // a group without its ")"
        ++pos_;
        test = groups.back().value;
        groups.pop_back();
      }
      const std::string_view logic = ReadRun();
      if (logic == "and") {
        groups.back().pending = Logic::kAnd;
      } else if (logic == "or") {
        groups.back().pending = Logic::kOr;
      } else {
        return std::nullopt;
      }
    }
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }

  void SkipBlanks() {
    while (!AtEnd() && text_[pos_] == ' ') ++pos_;
  }

  // The run of characters up to the next double quote or blank.
  std::string_view ReadRun() {
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] != '"' && text_[pos_] != ' ') ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // A quoted operand at the current position (after blanks).
  std::optional<std::string> ReadOperand() {
    SkipBlanks();
    if (AtEnd() || text_[pos_] != '"') return std::nullopt;
    ++pos_;
    std::string operand;
    while (!AtEnd()) {
      const char c = text_[pos_++];
      if (c != '"') {
        operand += c;
      } else if (!AtEnd() && text_[pos_] == '"') {
        operand += '"';
        ++pos_;
      } else {
        return operand;
      }
    }
    return std::nullopt;  // no closing quote
  }

  std::optional<bool> ReadComparison() {
    const std::optional<std::string> left = ReadOperand();
    if (!left) return std::nullopt;
    SkipBlanks();
    const std::string_view comparison = ReadRun();
    const std::optional<std::string> right = ReadOperand();
    if (!right) return std::nullopt;
    const int order = CompareBytes(*left, *right);
    if (comparison == "=") return order == 0;
    if (comparison == "<>") return order != 0;
    if (comparison == "<") return order < 0;
    if (comparison == "<=") return order <= 0;
    if (comparison == ">") return order > 0;
    if (comparison == ">=") return order >= 0;
    return std::nullopt;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string Evaluate(std::string_view text) {
  std::string wrapped;
  wrapped.reserve(text.size() + 2);
  wrapped.append(1, '(').append(text).append(1, ')');
  const std::optional<bool> result = ExpressionReader(wrapped).Read();
  if (!result) return "ERROR";
  return *result ? "TRUE" : "FALSE";
}

bool IsValidExpression(std::string_view text) {
  std::string quoted(text);
  std::replace(quoted.begin(), quoted.end(), '$', '"');
  return Evaluate(quoted) != "ERROR";
}

}  // namespace bw
