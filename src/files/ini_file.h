// A private-profile INI document (Config.ini): sections in square brackets,
// key=value lines. Section and key names match without regard to ASCII case;
// blanks around names and values are ignored and a value in matching quotes
// loses them; the first matching section and key count. Writing a key
// replaces its line or adds one at the end of its section (the section at the
// end of the file when missing) and keeps every other line, comments
// included, and each line's own line ending. New lines take the file's line
// ending (that of its first line; LF for a new file).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/text.h"

namespace vqled {

class IniFile {
 public:
  // Reads the file at path; a missing file is an empty document.
  Outcome Load(const std::string& path);
  // Replaces the document by the given text.
  void Parse(std::string_view text);

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // The document as it would be written.
  std::string Serialize() const;
  // Writes the document to path through a temporary file and a rename.
  Outcome Save(const std::string& path) const;

 private:
  struct Line {
    std::string text;
    std::string end;  // "\r\n", "\n" or "" for a last line without one
  };
  // The index range of a section's lines after its header; first > last when
  // the section is missing (first is then the line count).
  struct SectionSpan {
    size_t header;
    size_t first;
    size_t last;  // one past the section's last line
    bool found;
  };
  SectionSpan FindSection(std::string_view section) const;
  // The line of key within the span, or span.last when missing.
  size_t FindKey(const SectionSpan& span, std::string_view key) const;
  std::string NewLineEnd() const;

  std::vector<Line> lines_;
  std::string bom_;
};

}  // namespace vqled
