#include "reader/color_from_string.h"

#include <array>
#include <cstdint>
#include <string>

namespace kiv {

namespace {

// Characters of the text compared with the names and read as a number.
constexpr std::size_t MaxColorChars = 10;

struct NamedColor {
  std::string_view name;
  TColor color;
};

constexpr std::array<NamedColor, 16> kNamedColors{{
    {"BLACK", RGB(0x00, 0x00, 0x00)},
    {"MAROON", RGB(0x80, 0x00, 0x00)},
    {"GREEN", RGB(0x00, 0x80, 0x00)},
    {"OLIVE", RGB(0x80, 0x80, 0x00)},
    {"NAVY", RGB(0x00, 0x00, 0x80)},
    {"PURPLE", RGB(0x80, 0x00, 0x80)},
    {"TEAL", RGB(0x00, 0x80, 0x80)},
    {"GRAY", RGB(0x80, 0x80, 0x80)},
    {"SILVER", RGB(0xC0, 0xC0, 0xC0)},
    {"RED", RGB(0xFF, 0x00, 0x00)},
    {"LIME", RGB(0x00, 0xFF, 0x00)},
    {"YELLOW", RGB(0xFF, 0xFF, 0x00)},
    {"BLUE", RGB(0x00, 0x00, 0xFF)},
    {"FUCHSIA", RGB(0xFF, 0x00, 0xFF)},
    {"AQUA", RGB(0x00, 0xFF, 0xFF)},
    {"WHITE", RGB(0xFF, 0xFF, 0xFF)},
}};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ColorFromString(std::string_view text, TColor& color) {
  if (text.empty()) return false;
  std::string s(text.substr(0, MaxColorChars));
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (const NamedColor& named : kNamedColors) {
    if (s == named.name) {
      color = named.color;
      return true;
    }
  }
  if (std::size_t hash = s.find('#'); hash != std::string::npos) s.erase(hash, 1);
  // A 32-bit hexadecimal number: at most 8 digits (leading zeros aside).
  if (s.empty()) return false;
  std::uint64_t n = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0) return false;
    n = n * 16 + static_cast<unsigned>(d);
    if (n > 0xFFFFFFFFu) return false;
  }
  const auto v = static_cast<std::uint32_t>(n);
  color = (v & 0xFF00FF00u) | ((v & 0xFF) << 16) | ((v >> 16) & 0xFF);
  return true;
}

}  // namespace kiv
