// The pictures of help pages come from the help package: an image is found in
// the index by its source text exactly as the page writes it and decoded by
// the name's extension (".bmp", ".gif", ".jpg"; nothing for others).
#pragma once

#include <memory>
#include <string>

#include "imaging/read_stream.h"
#include "platform/bitmap.h"

namespace kiv {

// Image entries larger than this are not read: no picture the viewer can
// show comes near it.
constexpr std::int64_t MaxImageEntrySize = 64LL * 1024 * 1024;

// The bitmap for the page image src, or null. imageSource "startup" (a page
// read from disk) gets no package images. The entry's bytes are read from
// packageStream, the package at packagePath opened for reading. A JPEG goes
// through the file tempJpegPath, which is left holding its bytes. Never
// raises: an image that cannot be had is simply not supplied.
std::unique_ptr<Bitmap> SupplyPageImage(const std::string& packagePath, ReadStream& packageStream,
                                        const std::string& imageSource, const std::string& src,
                                        const std::string& tempJpegPath);

// ExeDir + "\temp.jpg".
std::string TempJpegPath();

}  // namespace kiv
