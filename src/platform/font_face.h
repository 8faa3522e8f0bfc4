// A resolved device font: the face found for a font name (with substitution of
// the Windows core fonts), its text metrics and its 256 per-byte glyphs and advances in
// the code page the text is in.
// Faces are created once per (name, pixel size, style) and kept for the life
// of the process; what is measured with Advance is exactly what is drawn.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/code_page.h"

namespace kiv {

struct TextMetrics {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmExternalLeading = 0;
  int tmOverhang = 0;
  int tmAveCharWidth = 0;
};

class FontFace {
 public:
  struct Key {
    std::string name;
    int pixelSize = 0;
    std::uint8_t style = 0;
    CodePage codePage = CodePage::Windows1252;  // what the 256 bytes stand for
    auto operator<=>(const Key&) const = default;
  };

  // The shared face for a key; created on first use.
  static const FontFace& Get(const Key& key);
  static const FontFace& Get(const std::string& name, int pixelSize, std::uint8_t style,
                             CodePage codePage = CodePage::Windows1252);

  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const Key& GetKey() const { return key_; }
  int PixelSize() const { return key_.pixelSize; }
  std::uint8_t Style() const { return key_.style; }
  const TextMetrics& Metrics() const { return metrics_; }
  int Advance(unsigned char byte) const { return advances_[byte]; }

  // Sum of the advances of n bytes.
  int Extent(const char* text, int n) const {
    int w = 0;
    for (int i = 0; i < n; ++i) w += advances_[static_cast<unsigned char>(text[i])];
    return w;
  }

  // The family the name resolved to (for diagnostics and tests).
  std::string ResolvedFamily() const;

  struct Device;  // toolkit font objects; defined where drawing happens
  const Device& GetDevice() const { return *device_; }

 private:
  explicit FontFace(const Key& key);

  Key key_;
  TextMetrics metrics_;
  std::array<int, 256> advances_{};
  std::unique_ptr<Device> device_;
};

// Face name used for a requested name: the Windows core fonts map to their
// metric-compatible substitutes.
std::string SubstituteFaceName(const std::string& name);

}  // namespace kiv
