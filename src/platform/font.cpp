#include "platform/font.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "platform/code_page.h"
#include "platform/font_face.h"
#include "platform/win_types.h"

namespace kiv {

const std::string* Font::SharedName(const std::string& name) {
  // Never destroyed: fonts of static objects may outlive other statics. The
  // table holds only names that were set on a font; each stays where it is
  // once added, and the face cache keeps as many faces anyway.
  static auto* const names = new std::unordered_set<std::string>;
  static auto* const guard = new std::mutex;
  std::lock_guard<std::mutex> lock(*guard);
  return &*names->insert(name).first;
}

const std::string* Font::DefaultName() {
  static const std::string* const name = SharedName("Times New Roman");
  return name;
}

void Font::SetName(const std::string& name) {
  if (name == *name_) return;
  name_ = SharedName(name);
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
  const bool samePage = CodePageOfCharset(charset) == CodePageOfCharset(charset_);
  charset_ = charset;
  // The face maps the 256 bytes to glyphs of the character set's code page.
  if (samePage)
    Notify();
  else
    Changed();
}

int Font::PixelSize() const {
  // Sizes beyond any screen are clamped so a page cannot ask for a font that
  // would take the process down.
  constexpr int kMaxPixels = 2000;
  int px = MulDiv(std::clamp(size_, 1, 100000), ScreenPixelsPerInch, 72);
  return std::clamp(px, 1, kMaxPixels);
}

const FontFace& Font::Face() const {
  if (!face_) face_ = &FontFace::Get(*name_, PixelSize(), style_, CodePageOfCharset(charset_));
  return *face_;
}

void Font::Changed() {
  face_ = nullptr;
  Notify();
}

}  // namespace kiv
