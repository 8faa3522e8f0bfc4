// The window system's font object: face name, size in points, colour, style,
// character set and a change notification. A font resolves to a shared
// FontFace, which caches the device font, its metrics and its per-byte
// advances, so measuring text never creates a font.
#pragma once

#include <cstdint>
#include <string>

#include "platform/color.h"
#include "platform/small_callback.h"

namespace kiv {

class FontFace;

enum FontStyle : std::uint8_t {
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
  fsStrikeOut = 8,
};

constexpr int DEFAULT_CHARSET = 1;
constexpr int ANSI_CHARSET = 0;

// Pixels per logical inch of the engine's coordinate space.
constexpr int ScreenPixelsPerInch = 96;

class Font {
 public:
  // Copying and assigning fonts is frequent (every text run, every
  // selection), so these are inline.
  Font() = default;
  // Copies the properties, not the change notification.
  Font(const Font& other)
      : name_(other.name_),
        size_(other.size_),
        color_(other.color_),
        style_(other.style_),
        charset_(other.charset_),
        face_(other.face_) {}
  Font& operator=(const Font& other) {
    if (this != &other) Assign(other);
    return *this;
  }
  virtual ~Font() = default;

  const std::string& Name() const { return *name_; }
  int Size() const { return size_; }
  TColor Color() const { return color_; }
  std::uint8_t Style() const { return style_; }
  int Charset() const { return charset_; }
  bool Bold() const { return style_ & fsBold; }
  bool Italic() const { return style_ & fsItalic; }
  bool Underline() const { return style_ & fsUnderline; }
  bool StrikeOut() const { return style_ & fsStrikeOut; }

  void SetName(const std::string& name);
  void SetSize(int points);
  void SetColor(TColor color);
  void SetStyle(std::uint8_t style);
  void SetCharset(int charset);

  // Copies name, size, colour, style and character set with one notification.
  virtual void Assign(const Font& source) {
    name_ = source.name_;
    size_ = source.size_;
    color_ = source.color_;
    style_ = source.style_;
    charset_ = source.charset_;
    face_ = source.face_;  // same properties, same face
    Notify();
  }

  // Height of the font in 96-dpi pixels: MulDiv(Size, 96, 72), at least 1.
  int PixelSize() const;

  // The resolved face (never null; shared, owned by the process-wide cache).
  const FontFace& Face() const;

  // Runs after every change of any property.
  SmallCallback OnChange;

 protected:
  // A property the face depends on changed: the face is resolved again.
  void Changed();
  // Runs OnChange.
  void Notify() {
    if (OnChange) OnChange();
  }

 private:
  // Face names are shared: a page uses a handful of them across thousands of
  // runs, so each font holds a pointer into one table of names.
  static const std::string* SharedName(const std::string& name);
  static const std::string* DefaultName();

  const std::string* name_ = DefaultName();
  int size_ = 12;
  TColor color_ = clBlack;
  std::uint8_t style_ = 0;
  int charset_ = DEFAULT_CHARSET;
  // Not owned; cache entry for (name, pixel size, style), resolved on first use.
  mutable const FontFace* face_ = nullptr;
};

}  // namespace kiv
