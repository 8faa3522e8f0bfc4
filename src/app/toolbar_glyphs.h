// The help window's button glyphs: Contents (a closed book), Back and Forward
// (arrows), Print (a printer), Copy (two sheets) and OK (a tick). They are
// drawn in code as shapes on a 16 x 16 logical grid, at whatever device size
// the button asks for, so they stay crisp at every device pixel ratio. Their
// outlines take the ink that stands out against the background they sit on
// (the application palette's colour of that role, read when drawn), so a dark
// desktop theme does not swallow them.
#pragma once

#include <QPalette>

class QIcon;
class QImage;

namespace kiv {

enum class TToolbarGlyph { Contents, Back, Forward, Print, Copy, OK };

constexpr int ToolbarGlyphSize = 16;
// Least contrast of a glyph's outline against the toolbar.
constexpr double ToolbarGlyphContrast = 3.0;

// The glyph for a control whose background is the palette's role.
QIcon ToolbarGlyph(TToolbarGlyph glyph, QPalette::ColorRole background = QPalette::Window);

// The glyph drawn on a transparent picture of pixels x pixels, for a control
// of the given background colour.
QImage DrawToolbarGlyph(TToolbarGlyph glyph, int pixels, const QColor& background);

}  // namespace kiv
