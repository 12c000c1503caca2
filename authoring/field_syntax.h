#pragma once
// The value syntax of project files. A line is a keyword followed by its
// fields, separated by blanks. A field is bare text, or a quoted text with
// backslash escapes (\\ \" \t \r \n \xHH). The last field of a line, when
// bare, is the rest of the line without its trailing blanks, so titles and
// parameters need no quotes unless they start or end with a blank, start with
// a double quote or hold control characters.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bw::authoring {

class SyntaxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits the text after a keyword into exactly count fields; a missing last
// field is empty. Throws SyntaxError.
std::vector<std::string> ParseFields(std::string_view text, std::size_t count);

// The text after a keyword that ParseFields reads back as these fields.
std::string FormatFields(const std::vector<std::string>& fields);

}  // namespace bw::authoring
