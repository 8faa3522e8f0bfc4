// The program's own pictures and cursor, drawn in code at first use and kept
// for the life of the process: the broken-image picture (27 x 30, a black
// exclamation mark on a yellow tile), the images-off picture (32 x 32, a
// globe on grey) and the link cursor (a pointing hand).
#pragma once

class QCursor;

namespace kiv {

class Bitmap;

constexpr int BrokenImageWidth = 27;
constexpr int BrokenImageHeight = 30;
constexpr int ImagesOffSize = 32;

// Shown for an image that could not be obtained. Owned by the process.
Bitmap* BrokenImagePicture();
// Shown in place of every image while images are off. Owned by the process.
Bitmap* ImagesOffPicture();

// The cursor over links (needs the toolkit's application object).
QCursor LinkCursor();
// The hot spot of the link cursor: the tip of the index finger.
constexpr int LinkCursorHotX = 7;
constexpr int LinkCursorHotY = 0;

}  // namespace kiv
