// Fuzz target: a page shown in the viewer control as the help window shows it,
// then used the ways a reader uses it: the pointer over points taken from the
// page's own bytes (links and character positions), select all and copy,
// find in page, and printing into a PDF file. The first byte chooses the
// viewer's width (a nibble), the font size (two bits) and whether the search
// matches case; the second the pages printed; the rest is the page.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "layout/cell.h"
#include "layout/section_list.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/screen_canvas.h"
#include "reader/sel_text.h"
#include "reader/tokenizer.h"
#include "reader/url_target.h"
#include "viewer/html_viewer.h"
#include "viewer/vw_printer.h"

namespace {

using namespace kiv;

constexpr int kViewerHeight = 200;

struct State {
  fuzz::ScratchFolder folder;
  std::unique_ptr<THTMLViewer> viewer;
};

State& Shared() {
  static State* state = [] {
    auto* s = new State;
    s->viewer = std::make_unique<THTMLViewer>();
    THTMLViewer& v = *s->viewer;
    v.SetDefBackground(clWhite);
    v.SetViewImages(true);
    v.SetHistoryMaxCount(10);
    v.OnBitmapRequest = fuzz::SupplyImage;
    v.OnFormSubmit = [](THTMLViewer*, const std::string&, const std::string&,
                        const std::vector<std::string>&) {};
    v.resize(300, kViewerHeight);
    v.show();
    // Printing goes into a PDF file at a low resolution: the pages are laid
    // out the same way and the file is cheap to write.
    SelectedPrinter() = TPrinterSelection{};
    SelectedPrinter().OutputFileName = QString::fromStdString(s->folder.File("print.pdf"));
    SelectedPrinter().Resolution = 72;
    return s;
  }();
  return *state;
}

}  // namespace

// fontconfig keeps a cache block that it never frees and no pointer of the
// process reaches at exit; it is the font library's, not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartToolkit();
  Shared();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  State& state = Shared();
  THTMLViewer& viewer = *state.viewer;
  const int width = 60 + (data[0] & 0x0F) * 70;
  const int fontSize = 8 + ((data[0] >> 4) & 3) * 4;
  const bool matchCase = data[0] & 0x40;
  const int fromPage = 1 + (data[1] & 3);
  const int toPage = fromPage + ((data[1] >> 2) & 3) - 1;
  const char* page = reinterpret_cast<const char*>(data + 2);
  const std::size_t pageSize = size - 2;

  viewer.resize(width, kViewerHeight);
  viewer.SetDefFontSize(fontSize);
  try {
    viewer.LoadDocumentBuffer(page, pageSize);
  } catch (const EParseError&) {
    // A page that ends inside a comment: the viewer raises this, as it
    // should, and shows what was read before it. The rest goes on with that.
  }
  QCoreApplication::processEvents();
  TSectionList& doc = viewer.Document();
  if (viewer.DocHeight() < 0 || viewer.MaxWidth() < 0) __builtin_trap();

  // The pointer at points drawn from the page's bytes, over the whole
  // document: the hit tests agree with the document's extent.
  const int height = viewer.DocHeight() + 40;
  for (std::size_t i = 0; i + 1 < pageSize && i < 32; i += 2) {
    const int x = static_cast<std::uint8_t>(page[i]) * (width + 40) / 256 - 20;
    const int y = static_cast<std::uint8_t>(page[i + 1]) * height / 256 - 20;
    TUrlTarget target;
    (void)doc.LinkAt(ScreenCanvas(), x, y, target);
    int caretX = 0, caretY = 0, caretHeight = 0;
    TCell* cell = nullptr;
    const int index = doc.CharIndexAt(ScreenCanvas(), x, y, caretX, caretY, caretHeight, cell);
    if (index < -1 || index > doc.TextLength + 1) __builtin_trap();
    viewer.HTMLMouseMove(Qt::NoButton, Qt::NoModifier, x, y - doc.ScrollY);
  }

  // Everything selected and copied: the clipboard never holds more than it
  // can take.
  viewer.SelectAllText();
  if (viewer.SelectedTextLength() < 0) __builtin_trap();
  viewer.CopySelection();
  if (ClipboardText().size() > static_cast<std::size_t>(ClipBufferSize - 1)) __builtin_trap();
  viewer.CollapseSelection();

  // Find in page: a word of the page's own bytes, and one that is not there.
  const std::string word(page, pageSize < 6 ? pageSize : 6);
  for (const std::string& what : {word, std::string("zq\x01")}) {
    const int at = doc.FindText(0, what, matchCase);
    if (at < -1 || at > doc.TextLength) __builtin_trap();
  }

  viewer.PrintRange(fromPage, toPage);
  std::remove(state.folder.File("print.pdf").c_str());
  return 0;
}
