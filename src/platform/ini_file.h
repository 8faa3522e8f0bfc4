// Settings files with the window system's profile semantics: sections and keys
// match ignoring case, values are trimmed, lines end in CR LF, every other line
// is kept as it was, and the file and section are created on the first write.
// Each call reads the file afresh, so other programs' changes are seen.
// Only a regular file of this user's (or root's) of at most
// MaxSettingsFileSize bytes is read; any other reads as empty, and one that
// is too large, or that is there but cannot be read, is never written either.
// Writes replace the file through a new file in the same folder, never
// following a link.
#pragma once

#include <cstddef>
#include <string>

namespace kiv {

constexpr std::size_t MaxSettingsFileSize = 1 << 20;

class IniFile {
 public:
  // fileName may use "\" or "/"; it is mapped with NativePath.
  explicit IniFile(const std::string& fileName);

  const std::string& FileName() const { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Decimal text (a leading "$" or "0x" reads hexadecimal); default when the
  // key is missing or the text does not convert.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  // "0" is false, any other integer true; default when missing or unreadable.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Return false when the file cannot be written; the file is then unchanged.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  bool WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  std::string path_;
};

}  // namespace kiv
