#include "imaging/jpeg_loader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <sys/stat.h>

#include <jerror.h>
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
  jpeg_progress_mgr progress;
  std::int64_t inputBytes = 0;  // the file's size
};

// libjpeg's error exit must not return into the library: it jumps back to
// DecompressInto, across libjpeg's C frames only.
[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
  char message[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, message);  // formatted, not shown
  std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// Messages are not shown. A warning that the data ended is an error while
// the first scan has not yet covered the picture: such a file would become
// a full-size picture of nothing.
void JpegEmitMessage(j_common_ptr common, int level) {
  if (level >= 0 || common->err->msg_code != JWRN_JPEG_EOF || !common->is_decompressor) return;
  const auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  if (cinfo->input_scan_number <= 1 && cinfo->input_iMCU_row + 1 < cinfo->total_iMCU_rows)
    JpegErrorExit(common);
}

// Called as libjpeg works through the file: stops a file of more scans
// than its size pays for.
void JpegProgress(j_common_ptr common) {
  if (!common->is_decompressor) return;
  const auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  const auto* err = reinterpret_cast<const JpegErrorManager*>(common->err);
  const int scans = cinfo->input_scan_number;
  if (scans > JpegMaxScans) JpegErrorExit(common);
  if (scans > JpegFreeScans) {
    std::int64_t blocks = 0;
    for (int ci = 0; ci < cinfo->num_components; ++ci) {
      blocks += static_cast<std::int64_t>(cinfo->comp_info[ci].width_in_blocks) *
                cinfo->comp_info[ci].height_in_blocks;
    }
    if (static_cast<std::int64_t>(scans - JpegFreeScans) * blocks >
        err->inputBytes * JpegBlocksPerByte)
      JpegErrorExit(common);
  }
}

void ShowBitmapError() {
  ShowErrorBox("Win32 Error # " + std::to_string(kErrorNotEnoughMemory) +
               " - Bitmap Handle could not be Assigned - Possibly insufficient virtual memory");
}

std::int64_t Pixels(const jpeg_decompress_struct& cinfo) {
  return static_cast<std::int64_t>(cinfo.image_width) * cinfo.image_height;
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
// The source is a file or, when file is null, memory.
bool DecompressInto(jpeg_decompress_struct& cinfo, JpegErrorManager& err, std::FILE* file,
                    const void* data, std::size_t size, bool fewColours,
                    std::unique_ptr<Bitmap>& bitmap) {
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = JpegErrorExit;
  err.pub.emit_message = JpegEmitMessage;
  err.progress.progress_monitor = JpegProgress;
  if (setjmp(err.jump)) return false;

  jpeg_create_decompress(&cinfo);
  cinfo.progress = &err.progress;
  if (file) {
    jpeg_stdio_src(&cinfo, file);
  } else {
    jpeg_mem_src(&cinfo, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size));
  }
  jpeg_read_header(&cinfo, TRUE);
  if (Pixels(cinfo) > MaxBitmapPixels) {
    ShowBitmapError();
    return false;
  }
  // Beyond what the pictures in memory leave: no picture, and no box.
  if (Pixels(cinfo) > PictureByteAllowance()) return false;
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
  struct stat st {};
  if (::fstat(::fileno(file), &st) == 0) err.inputBytes = st.st_size;
  std::unique_ptr<Bitmap> bitmap;
  const bool ok = DecompressInto(cinfo, err, file, nullptr, 0, fewColours, bitmap);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  if (!ok) bitmap.reset();  // a partly built bitmap is released
  return bitmap;
}

std::unique_ptr<Bitmap> LoadJpegBitmap(const void* data, std::size_t size, bool fewColours) {
  if (!data || size == 0) return nullptr;
  jpeg_decompress_struct cinfo{};
  JpegErrorManager err{};
  err.inputBytes = static_cast<std::int64_t>(size);
  std::unique_ptr<Bitmap> bitmap;
  const bool ok = DecompressInto(cinfo, err, nullptr, data, size, fewColours, bitmap);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) bitmap.reset();
  return bitmap;
}

}  // namespace kiv
