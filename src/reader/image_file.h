// Images read from files: GIF through the program's GIF decoder, JPEG
// through its JPEG loader, Windows bitmaps and PNG through the platform.
#pragma once

#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/color.h"

namespace kiv {

// The picture in the file, chosen by extension (".gif", ".jpg", ".jpeg",
// ".png", ".bmp", any case); null for a missing or undecodable file or
// another extension.
std::unique_ptr<Bitmap> DecodeImageFile(const std::string& fileName);

// Decodes the file with its transparency mask. transparent: in 0 (none) or 1
// (mask from the bottom-left pixel); a GIF with a transparent colour sets it
// to 2 and the mask comes from that colour. With a transparency but no mask,
// the answer is null.
std::unique_ptr<Bitmap> LoadImageWithMask(const std::string& fileName, int& transparent,
                                          std::unique_ptr<Mask>& mask);

// The transparent colour of a GIF89a file found right after its global colour
// table; false when there is none or the file cannot be read.
bool GifTransparentColor(const std::string& fileName, TColor& color);

}  // namespace kiv
