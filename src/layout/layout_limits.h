// Capacities and sentinel values of text layout, each defined once.
#pragma once

namespace kiv {

// Characters a text section accepts; text beyond it is dropped. The check is
// made before a piece is appended, so a section may end one piece longer.
constexpr int MaxSectionText = 20000;

// Horizontal indent of one list nesting level, in pixels.
constexpr int ListIndentWidth = 35;

// Deepest list nesting the indent manager opens; deeper levels are held at it.
constexpr int MaxListLevel = 1000;

// Bottom of an open list level: it lasts until the level is closed.
constexpr int OpenListBottom = 9999999;

// Distance answered by the image and control look-ups when no object follows.
constexpr int NoNextObject = 9999;

// Available width of a preformatted line: it is never wrapped.
constexpr int PreformattedWidth = 32000;

// Largest side, in pixels, at which an image is drawn or takes room; a
// declared size beyond it is held at it so that positions cannot overflow.
constexpr int MaxImageSide = 16384;

}  // namespace kiv
