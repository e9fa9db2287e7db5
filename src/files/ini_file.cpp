#include "files/ini_file.h"

#include <string>

#include "files/file_io.h"

namespace vqled {
namespace {

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The name of a "[name]" line, or false when the line is no section header.
bool SectionName(std::string_view line, std::string_view& name) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') return false;
  const size_t close = t.find(']');
  name = Trim(t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1));
  return true;
}

// Splits a "key=value" line; false for lines without '=' or comments.
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';') return false;
  const size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(t.substr(0, eq));
  value = Trim(t.substr(eq + 1));
  return true;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

Outcome IniFile::Load(const std::string& path) {
  std::vector<uint8_t> bytes;
  bool missing = false;
  Outcome read = ReadWholeFile(path, bytes, &missing);
  if (!read.ok) return read;
  Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return Outcome::Ok();
}

void IniFile::Parse(std::string_view text) {
  lines_.clear();
  bom_.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    bom_ = text.substr(0, 3);
    text.remove_prefix(3);
  }
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    if (nl == std::string_view::npos) {
      lines_.push_back({std::string(text), ""});
      break;
    }
    const bool crlf = nl > 0 && text[nl - 1] == '\r';
    const size_t length = crlf ? nl - 1 : nl;
    lines_.push_back({std::string(text.substr(0, length)), crlf ? "\r\n" : "\n"});
    text.remove_prefix(nl + 1);
  }
}

IniFile::SectionSpan IniFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::string_view name;
    if (!SectionName(lines_[i].text, name) || !SameName(name, section)) continue;
    size_t last = i + 1;
    while (last < lines_.size() && !SectionName(lines_[last].text, name)) ++last;
    return {i, i + 1, last, true};
  }
  return {lines_.size(), lines_.size(), lines_.size(), false};
}

size_t IniFile::FindKey(const SectionSpan& span, std::string_view key) const {
  for (size_t i = span.first; i < span.last; ++i) {
    std::string_view k, v;
    if (KeyValue(lines_[i].text, k, v) && SameName(k, key)) return i;
  }
  return span.last;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  const SectionSpan span = FindSection(section);
  if (span.found) {
    const size_t at = FindKey(span, key);
    std::string_view k, v;
    if (at < span.last && KeyValue(lines_[at].text, k, v)) return std::string(Unquote(v));
  }
  return std::string(defaultValue);
}

std::string IniFile::NewLineEnd() const {
  return !lines_.empty() && lines_.front().end == "\r\n" ? "\r\n" : "\n";
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string text = std::string(key) + "=" + std::string(value);
  SectionSpan span = FindSection(section);
  if (span.found) {
    const size_t at = FindKey(span, key);
    if (at < span.last) {
      lines_[at].text = std::move(text);
      return;
    }
  }
  const std::string end = NewLineEnd();
  if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = end;
  if (!span.found) {
    lines_.push_back({"[" + std::string(section) + "]", end});
    span = {lines_.size() - 1, lines_.size(), lines_.size(), true};
  }
  // After the section's last non-blank line, so a blank line before the next
  // section stays where it is.
  size_t insert = span.last;
  while (insert > span.first && Trim(lines_[insert - 1].text).empty()) --insert;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert), {std::move(text), end});
}

std::string IniFile::Serialize() const {
  std::string out = bom_;
  for (const Line& line : lines_) out += line.text + line.end;
  return out;
}

Outcome IniFile::Save(const std::string& path) const {
  const std::string text = Serialize();
  SafeFileWriter file(path);
  if (Outcome opened = file.Open(); !opened.ok) return opened;
  file.Write(text.data(), text.size());
  return file.Commit();
}

}  // namespace vqled
