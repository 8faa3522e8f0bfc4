// Fuzz target: a page through the tokenizer, the document builder, layout and
// painting, with the help window's viewer settings. The first byte chooses
// three viewer widths: two from 40 to 1090 pixels (one nibble each) and one
// narrower than any word (1 to 8 pixels); the rest is the page.
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "builder/document_builder.h"
#include "fuzz_support.h"
#include "layout/section_list.h"
#include "platform/bitmap.h"
#include "platform/qt_canvas.h"
#include "reader/tokenizer.h"
#include "viewer/document_painter.h"

namespace {

using namespace kiv;

constexpr int kPanelWidth = 240;
constexpr int kPanelHeight = 160;

}  // namespace

// fontconfig keeps a cache block that it never frees and no pointer of the
// process reaches at exit; it is the font library's, not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartToolkit();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int widths[3] = {40 + (data[0] & 0x0F) * 70, 40 + (data[0] >> 4) * 70,
                         1 + (data[0] & 0x07)};

  TSectionList doc;
  doc.SetDefaults("Times New Roman", "Courier New", 12, clBtnText, clBlue, clWhite);
  doc.ImageRequest = fuzz::SupplyImage;
  doc.ScriptHandler = [](TSectionList&, const std::string&, const std::string&) {};
  TAnchorList anchors;
  try {
    ParseHtmlBuffer(doc, anchors, reinterpret_cast<const char*>(data + 1), size - 1);
  } catch (const EParseError&) {
    // The page ends where reading failed; what was built is still shown.
  }

  static QImage panel(kPanelWidth, kPanelHeight, QImage::Format_RGB32);
  for (int i = 0; i < 3; ++i) {
    if (i == 1 && widths[1] == widths[0]) continue;
    QtCanvas canvas(&panel);
    int maxWidth = 0;
    const int height = LayoutForViewer(doc, canvas, widths[i], maxWidth);
    if (height < 0 || maxWidth < 0) __builtin_trap();
    PaintForViewer(doc, canvas, kPanelWidth, kPanelHeight, 0, 0);
    if (height > kPanelHeight) {
      PaintForViewer(doc, canvas, kPanelWidth, kPanelHeight, height - kPanelHeight, 0);
    }
  }
  return 0;
}
