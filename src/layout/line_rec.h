// One laid-out line of a text section.
#pragma once

namespace kiv {

struct LineRec {
  int Start = 0;        // offset of the line's first character in the section's buffer
  int SpaceBefore = 0;  // room above the text band: clear space, tall images and controls
  int SpaceAfter = 0;   // room below the text band for images hanging below the baseline
  int LineHt = 0;       // height of the text band; 0 for a line of objects only
  int DrawHeight = 0;   // band that painting and pagination reserve for the line
  int Count = 0;        // number of characters
  int Descent = 0;      // the baseline lies this far above the bottom of the text band
  int LineIndent = 0;   // X of the first character relative to the cell's left edge
  int PaintX = 0;       // window X of the first character at the last paint
  int PaintY = 0;       // window Y of the text band's top at the last paint
};

}  // namespace kiv
