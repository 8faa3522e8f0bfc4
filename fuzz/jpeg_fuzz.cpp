// Fuzz target: the JPEG loader, which reads from a file: each input is
// written to one scratch file of this process. An odd input size asks for
// the few-colours palette (bytes after the end marker are ignored). A decoded
// picture uses only the colours asked for.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "imaging/jpeg_loader.h"
#include "platform/bitmap.h"

using namespace kiv;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SilenceMessageBoxes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFile file(".jpg");
  file.Write(data, size);
  const bool fewColours = size % 2 == 1;
  const std::unique_ptr<Bitmap> bitmap = LoadJpegBitmap(file.Path(), fewColours);
  if (bitmap) {
    if (!bitmap->IsIndexed()) __builtin_trap();
    const int colours = fewColours ? JpegFewColors : JpegColors;
    for (int y = 0; y < bitmap->Height(); ++y) {
      const std::uint8_t* row = bitmap->ScanLine(y);
      for (int x = 0; x < bitmap->Width(); ++x) {
        if (row[x] >= colours) __builtin_trap();
      }
    }
  }
  return 0;
}
