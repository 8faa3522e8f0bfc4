// Fuzz target: the settings file. Each input is a settings file as a user or
// another program may have left it. The help window's keys are read, written
// and read back: the written values must read back, and every other key of
// every section the file names must read the same before and after.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "platform/ini_file.h"

using namespace kiv;

namespace {

// Section and key names the file may hold: the text between "[" and "]" of a
// line, and the text before "=" under the last such line. Names that are not
// really there simply read their default both times.
std::vector<std::pair<std::string, std::string>> NamedKeys(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string section;
  std::size_t start = 0;
  while (start <= text.size() && keys.size() < 64) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const std::size_t open = line.find('['), close = line.find(']');
    if (open != std::string::npos && close != std::string::npos && close > open) {
      section = line.substr(open + 1, close - open - 1);
    } else if (const std::size_t eq = line.find('='); eq != std::string::npos) {
      keys.emplace_back(section, line.substr(0, eq));
    }
    start = end + 1;
  }
  return keys;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string Trimmed(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SilenceMessageBoxes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFile file(".ini");
  file.Write(data, size);
  const std::string text(reinterpret_cast<const char*>(data), size);

  IniFile ini(file.Path());
  const auto keys = NamedKeys(text);
  std::vector<std::string> before;
  for (const auto& [section, key] : keys) before.push_back(ini.ReadString(section, key, "\x01"));
  (void)ini.ReadInteger("Help", "Help Font Size", 12);
  (void)ini.ReadBool("Help", "Show Start", false);

  if (!ini.WriteInteger("Help", "Help Font Size", 14)) __builtin_trap();
  if (!ini.WriteBool("Help", "Show StartUp", true)) __builtin_trap();
  if (ini.ReadInteger("Help", "Help Font Size", 0) != 14) __builtin_trap();
  if (!ini.ReadBool("Help", "Show StartUp", false)) __builtin_trap();

  for (std::size_t i = 0; i < keys.size(); ++i) {
    const auto& [section, key] = keys[i];
    if (SameIgnoringCase(Trimmed(section), "Help") &&
        (SameIgnoringCase(Trimmed(key), "Help Font Size") ||
         SameIgnoringCase(Trimmed(key), "Show StartUp")))
      continue;
    if (ini.ReadString(section, key, "\x01") != before[i]) __builtin_trap();
  }
  return 0;
}
