#include "platform/ini_file.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "platform/paths.h"
#include "platform/safe_file.h"

namespace kiv {

namespace {

// The file's text, or nothing: a file that is not a regular file of this
// user's (or root's), larger than the bound, or that cannot be read, reads as
// empty. keep tells the writer to leave the file alone: it is too large, or
// it is there but its text could not be had, so replacing it would lose
// every other line.
std::string ReadText(const std::string& path, bool* keep = nullptr) {
  std::string text;
  const SafeRead result = ReadFileSafely(path, MaxSettingsFileSize, text);
  if (keep) *keep = result == SafeRead::TooLarge || result == SafeRead::Failed;
  if (result == SafeRead::TooLarge) {
    static std::set<std::string> told;
    if (told.insert(path).second) {
      std::fprintf(stderr,
                   "kivhelp: %s is larger than %zu bytes: its settings are not read and it is "
                   "not changed\n",
                   path.c_str(), MaxSettingsFileSize);
    }
  }
  return text;
}

// One line of the text: [begin, end) without its line end, next is where
// the line after it begins.
struct LineSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = 0;
};

// The line at pos; false at the end of the text.
bool LineAt(std::string_view text, std::size_t pos, LineSpan& line) {
  if (pos >= text.size()) return false;
  const std::size_t nl = text.find('\n', pos);
  line.begin = pos;
  line.next = nl == std::string_view::npos ? text.size() : nl + 1;
  line.end = nl == std::string_view::npos ? text.size() : nl;
  if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
  return true;
}

std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The section name of a "[name]" line, or false.
bool SectionOf(std::string_view line, std::string_view& name) {
  std::string_view t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  std::size_t close = t.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

// Key and value of a "key=value" line, or false (comments and other lines).
bool EntryOf(std::string_view line, std::string_view& key, std::string_view& value) {
  std::string_view t = Trim(line);
  if (t.empty() || t[0] == ';') return false;
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(t.substr(0, eq));
  value = Trim(t.substr(eq + 1));
  return true;
}

bool ParseInteger(const std::string& text, int& value) {
  std::string t(Trim(text));
  if (t.empty()) return false;
  int base = 10;
  std::size_t start = 0;
  bool negative = false;
  if (t[0] == '-' || t[0] == '+') {
    negative = t[0] == '-';
    start = 1;
  }
  if (t.compare(start, 1, "$") == 0) {
    base = 16;
    start += 1;
  } else if (t.size() > start + 1 && t[start] == '0' &&
             (t[start + 1] == 'x' || t[start + 1] == 'X')) {
    base = 16;
    start += 2;
  }
  if (start >= t.size()) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(t.c_str() + start, &end, base);
  if (*end != '\0' || errno == ERANGE || !std::isxdigit(static_cast<unsigned char>(t[start])))
    return false;
  if (negative) v = -v;
  if (v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

IniFile::IniFile(const std::string& fileName) : path_(NativePath(fileName)) {}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  const std::string text = ReadText(path_);
  const std::string_view wantedSection = Trim(section), wantedKey = Trim(key);
  bool inSection = false;
  LineSpan line;
  for (std::size_t pos = 0; LineAt(text, pos, line); pos = line.next) {
    const std::string_view l = std::string_view(text).substr(line.begin, line.end - line.begin);
    std::string_view name, k, v;
    if (SectionOf(l, name)) {
      inSection = SameName(name, wantedSection);
    } else if (inSection && EntryOf(l, k, v) && SameName(k, wantedKey)) {
      if (v.size() >= 2 &&
          ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        v = v.substr(1, v.size() - 2);
      return std::string(v);
    }
  }
  return defaultValue;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key,
                         int defaultValue) const {
  int value = 0;
  return ParseInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  bool keep = false;
  std::string text = ReadText(path_, &keep);
  if (keep) return false;
  const std::string_view sec = Trim(section), k = Trim(key);
  const std::string entry = std::string(k) + "=" + value;
  bool inSection = false;
  bool sectionFound = false;
  std::size_t insertAt = 0;  // behind the last non-blank line of the section
  LineSpan line;
  for (std::size_t pos = 0; LineAt(text, pos, line); pos = line.next) {
    const std::string_view l = std::string_view(text).substr(line.begin, line.end - line.begin);
    std::string_view name, ek, ev;
    if (SectionOf(l, name)) {
      if (inSection) break;
      inSection = SameName(name, sec);
      if (inSection) {
        sectionFound = true;
        insertAt = line.next;
      }
    } else if (inSection) {
      if (EntryOf(l, ek, ev) && SameName(ek, k)) {
        // The entry's line is replaced; its own line end stays (one is
        // added when it was the last line without one).
        const bool hasEnd = line.next > line.end;
        text.replace(line.begin, line.end - line.begin, entry + (hasEnd ? "" : "\r\n"));
        return ReplaceFileSafely(path_, text);
      }
      if (!Trim(l).empty()) insertAt = line.next;
    }
  }
  // The last line must end before anything is added behind it; a lone CR
  // would let the next line read as part of it.
  const bool atEnd = insertAt == text.size();
  if (!text.empty() && text.back() != '\n') text += text.back() == '\r' ? "\n" : "\r\n";
  if (!sectionFound) {
    text.append("[").append(sec).append("]\r\n").append(entry).append("\r\n");
  } else {
    text.insert(atEnd ? text.size() : insertAt, entry + "\r\n");
  }
  return ReplaceFileSafely(path_, text);
}

bool IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

}  // namespace kiv
