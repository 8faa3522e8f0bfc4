#include "imaging/jpeg_loader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "platform/color.h"
#include "platform/message_box.h"
#include "platform/paths.h"

namespace kiv {

namespace {

// The window system's "not enough memory" error, reported when the bitmap
// for the picture cannot be had.
constexpr int kErrorNotEnoughMemory = 8;

struct JpegErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

// libjpeg's error exit must not return into the library: it jumps back to
// DecompressInto, across libjpeg's C frames only.
void JpegErrorExit(j_common_ptr cinfo) {
  char message[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, message);  // formatted, not shown
  std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (such as a premature end of the data) are not shown either.
void JpegSilentMessage(j_common_ptr) {}

void ShowBitmapError() {
  ShowErrorBox("Win32 Error # " + std::to_string(kErrorNotEnoughMemory) +
               " - Bitmap Handle could not be Assigned - Possibly insufficient virtual memory");
}

bool TooLarge(const jpeg_decompress_struct& cinfo) {
  return static_cast<std::int64_t>(cinfo.image_width) * cinfo.image_height > MaxBitmapPixels;
}

// The bitmap for the picture: 256 palette entries, the first ones from
// libjpeg's colour map (grey for greyscale output), the rest never used.
bool CreateBitmap(const jpeg_decompress_struct& cinfo, int wanted, std::unique_ptr<Bitmap>& out) {
  if (cinfo.output_components != 1 || !cinfo.colormap) return false;
  std::vector<TColor> palette(256, clBlack);
  // The map holds actual_number_of_colors entries, which may be fewer than
  // asked for; entries beyond it are not read.
  const int n = std::min({wanted, cinfo.actual_number_of_colors, 256});
  for (int i = 0; i < n; ++i) {
    if (cinfo.out_color_components >= 3) {
      palette[static_cast<std::size_t>(i)] =
          RGB(cinfo.colormap[0][i], cinfo.colormap[1][i], cinfo.colormap[2][i]);
    } else {
      const int g = cinfo.colormap[0][i];
      palette[static_cast<std::size_t>(i)] = RGB(g, g, g);
    }
  }
  out = Bitmap::CreateIndexed(static_cast<int>(cinfo.output_width),
                              static_cast<int>(cinfo.output_height), palette);
  return out != nullptr;
}

// Runs the decompression into bitmap. Only plain data lives in this frame
// while libjpeg runs, so the error exit's jump back here skips no destructor.
bool DecompressInto(jpeg_decompress_struct& cinfo, JpegErrorManager& err, std::FILE* file,
                    bool fewColours, std::unique_ptr<Bitmap>& bitmap) {
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.output_message = JpegSilentMessage;
  if (setjmp(err.jump)) return false;

  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  if (TooLarge(cinfo)) {
    ShowBitmapError();
    return false;
  }
  cinfo.scale_num = 1;
  cinfo.scale_denom = 1;
  cinfo.dct_method = JDCT_IFAST;
  cinfo.quantize_colors = TRUE;
  cinfo.two_pass_quantize = TRUE;
  cinfo.dither_mode = JDITHER_NONE;
  cinfo.desired_number_of_colors = fewColours ? JpegFewColors : JpegColors;
  cinfo.mem->max_memory_to_use = JpegMaxWorkingMemory;
  jpeg_start_decompress(&cinfo);

  if (!CreateBitmap(cinfo, cinfo.desired_number_of_colors, bitmap)) {
    ShowBitmapError();
    return false;
  }
  // Scan lines go straight into the bitmap, the picture's top row first.
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = bitmap->ScanLine(static_cast<int>(cinfo.output_scanline));
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

std::unique_ptr<Bitmap> LoadJpegBitmap(const std::string& fileName, bool fewColours) {
  std::FILE* file = std::fopen(NativePath(fileName).c_str(), "rb");
  if (!file) return nullptr;
  jpeg_decompress_struct cinfo{};
  JpegErrorManager err{};
  std::unique_ptr<Bitmap> bitmap;
  const bool ok = DecompressInto(cinfo, err, file, fewColours, bitmap);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  if (!ok) bitmap.reset();  // a partly built bitmap is released
  return bitmap;
}

}  // namespace kiv
