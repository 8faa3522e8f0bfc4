// Fuzz target: the GIF decoder. GIFException is the expected failure. The
// image model is also read on its own: a failed read must put the stream back
// where it began, and every frame of a good read makes its bitmap and mask.
// Bit 2 of the last byte (after the trailer, where the decoder stops reading)
// chooses the palette display.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "imaging/gif_image.h"
#include "imaging/read_stream.h"
#include "platform/bitmap.h"
#include "platform/screen_canvas.h"

using namespace kiv;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SilenceMessageBoxes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetPaletteDisplay(size > 0 && (data[size - 1] & 4) != 0);

  {
    MemoryReadStream stream(data, size);
    std::unique_ptr<Bitmap> bitmap;
    try {
      LoadGifStream(stream, bitmap);
    } catch (const GIFException&) {
    }
    if (bitmap && (bitmap->Width() <= 0 || bitmap->Height() <= 0)) __builtin_trap();
  }

  MemoryReadStream stream(data, size);
  TGIFImage image;
  // Frames far beyond the screen are legal and slow; a smaller budget keeps
  // this second pass quick (frames past it keep no pixels, as designed).
  image.PixelBudget = 1 << 20;
  try {
    image.LoadFromStream(stream);
  } catch (const GIFException&) {
    if (stream.Position() != 0) __builtin_trap();
    return 0;
  }
  for (int i = 0; i < image.FrameCount(); ++i) {
    TGIFSubImage& frame = image.Frame(i);
    try {
      const Bitmap* b = frame.FrameBitmap();
      if (b && (b->Width() != frame.Width() || b->Height() != frame.Height())) __builtin_trap();
      frame.TransparencyMask();
    } catch (const GIFException&) {
      // A frame with no colour table anywhere.
    }
  }
  return 0;
}
