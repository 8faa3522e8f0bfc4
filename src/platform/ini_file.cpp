#include "platform/ini_file.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/paths.h"

namespace kiv {

namespace {

// One line of the file with its own line end, so untouched lines are written
// back byte for byte.
struct Line {
  std::string text;
  std::string end;
};

std::vector<Line> ReadLines(const std::string& path) {
  std::vector<Line> lines;
  std::ifstream in(path, std::ios::binary);
  if (!in) return lines;
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string data = ss.str();
  std::size_t i = 0;
  while (i < data.size()) {
    const std::size_t nl = data.find('\n', i);
    const bool lf = nl != std::string::npos;
    const std::size_t stop = lf ? nl : data.size();
    const bool cr = stop > i && data[stop - 1] == '\r';
    // Each line is made whole from the file's bytes, its end taken from the
    // bytes that end it ("\r\n", "\n", "\r" or none).
    const std::size_t textEnd = cr ? stop - 1 : stop;
    lines.push_back(
        Line{data.substr(i, textEnd - i), data.substr(textEnd, (lf ? nl + 1 : stop) - textEnd)});
    i = lf ? nl + 1 : data.size();
  }
  return lines;
}

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The section name of a "[name]" line, or false.
bool SectionOf(const std::string& line, std::string& name) {
  std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  std::size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

// Key and value of a "key=value" line, or false (comments and other lines).
bool EntryOf(const std::string& line, std::string& key, std::string& value) {
  std::string t = Trim(line);
  if (t.empty() || t[0] == ';') return false;
  std::size_t eq = t.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(t.substr(0, eq));
  value = Trim(t.substr(eq + 1));
  return true;
}

bool WriteAll(const std::string& path, const std::vector<Line>& lines) {
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const Line& l : lines) out << l.text << l.end;
    out.flush();
    if (!out) {
      std::remove(tmp.c_str());
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

bool ParseInteger(const std::string& text, int& value) {
  std::string t = Trim(text);
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
  } else if (t.size() > start + 1 && t[start] == '0' && (t[start + 1] == 'x' || t[start + 1] == 'X')) {
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
  bool inSection = false;
  for (const Line& l : ReadLines(path_)) {
    std::string name, k, v;
    if (SectionOf(l.text, name)) {
      inSection = SameName(name, Trim(section));
    } else if (inSection && EntryOf(l.text, k, v) && SameName(k, Trim(key))) {
      if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') ||
                            (v.front() == '\'' && v.back() == '\'')))
        v = v.substr(1, v.size() - 2);
      return v;
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
  std::vector<Line> lines = ReadLines(path_);
  const std::string sec = Trim(section), k = Trim(key);
  const std::string entry = k + "=" + value;
  bool inSection = false;
  int sectionLine = -1;
  int lastInSection = -1;  // last non-blank line of the section
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string name, ek, ev;
    if (SectionOf(lines[i].text, name)) {
      if (inSection) break;
      inSection = SameName(name, sec);
      if (inSection) {
        sectionLine = static_cast<int>(i);
        lastInSection = static_cast<int>(i);
      }
    } else if (inSection) {
      if (EntryOf(lines[i].text, ek, ev) && SameName(ek, k)) {
        lines[i].text = entry;
        if (lines[i].end.empty()) lines[i].end = "\r\n";
        return WriteAll(path_, lines);
      }
      if (!Trim(lines[i].text).empty()) lastInSection = static_cast<int>(i);
    }
  }
  // The last line must end before anything is added behind it; a lone CR
  // would let the next line read as part of it.
  if (!lines.empty() && (lines.back().end.empty() || lines.back().end.back() != '\n'))
    lines.back().end = "\r\n";
  if (sectionLine < 0) {
    lines.push_back({"[" + sec + "]", "\r\n"});
    lines.push_back({entry, "\r\n"});
  } else {
    lines.insert(lines.begin() + lastInSection + 1, Line{entry, "\r\n"});
  }
  return WriteAll(path_, lines);
}

bool IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

}  // namespace kiv
