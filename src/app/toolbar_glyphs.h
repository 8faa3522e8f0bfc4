// The help window's button glyphs, drawn in code at first use: 16 x 16
// pictures for Contents (a closed book), Back and Forward (arrows), Print (a
// printer), Copy (two sheets) and OK (a tick).
#pragma once

class QIcon;

namespace kiv {

enum class TToolbarGlyph { Contents, Back, Forward, Print, Copy, OK };

constexpr int ToolbarGlyphSize = 16;

QIcon ToolbarGlyph(TToolbarGlyph glyph);

}  // namespace kiv
