#include "platform/font.h"

#include <algorithm>

#include "platform/font_face.h"
#include "platform/win_types.h"

namespace kiv {

Font::Font() = default;

Font::Font(const Font& other)
    : name_(other.name_),
      size_(other.size_),
      color_(other.color_),
      style_(other.style_),
      charset_(other.charset_),
      face_(other.face_) {}

Font& Font::operator=(const Font& other) {
  if (this != &other) Assign(other);
  return *this;
}

Font::~Font() = default;

void Font::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void Font::SetSize(int points) {
  if (points == size_) return;
  size_ = points;
  Changed();
}

void Font::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Notify();  // the face does not depend on the colour
}

void Font::SetStyle(std::uint8_t style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void Font::SetCharset(int charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Notify();  // nor on the character set
}

void Font::Assign(const Font& source) {
  name_ = source.name_;
  size_ = source.size_;
  color_ = source.color_;
  style_ = source.style_;
  charset_ = source.charset_;
  face_ = source.face_;  // same properties, same face
  Notify();
}

int Font::PixelSize() const {
  // Sizes beyond any screen are clamped so a page cannot ask for a font that
  // would take the process down.
  constexpr int kMaxPixels = 2000;
  int px = MulDiv(std::clamp(size_, 1, 100000), ScreenPixelsPerInch, 72);
  return std::clamp(px, 1, kMaxPixels);
}

const FontFace& Font::Face() const {
  if (!face_) face_ = &FontFace::Get(name_, PixelSize(), style_);
  return *face_;
}

void Font::Changed() {
  face_ = nullptr;
  Notify();
}

void Font::Notify() {
  if (OnChange) OnChange();
}

}  // namespace kiv
