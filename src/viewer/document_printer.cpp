#include "viewer/document_printer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "layout/section_list.h"
#include "platform/color.h"
#include "platform/font.h"
#include "viewer/vw_printer.h"

namespace kiv {

namespace {

constexpr double InchesPerCentimetre = 0.3937007874015748;
// Room kept at the right edge of the printed width, in screen pixels.
constexpr int PrintRightRoom = 20;
// Margins beyond any paper are cut to this, in centimetres.
constexpr double MaxMarginCm = 1000.0;

int MarginDots(double centimetres, int dpi) {
  // Negative or meaningless margins would print outside the paper: none then.
  if (!(centimetres > 0)) return 0;
  return static_cast<int>(std::min(centimetres, MaxMarginCm) * InchesPerCentimetre * dpi);
}

// dots x s / dpi, multiplied before dividing.
int DotsToScreen(int dots, int s, int dpi) {
  return static_cast<int>(std::int64_t{dots} * s / dpi);
}

// Makes a printer the current one for a scope.
class CurrentPrinterScope {
 public:
  explicit CurrentPrinterScope(TvwPrinter& printer) : previous_(SetCurrentPrinter(&printer)) {}
  ~CurrentPrinterScope() { SetCurrentPrinter(previous_); }
  CurrentPrinterScope(const CurrentPrinterScope&) = delete;
  CurrentPrinterScope& operator=(const CurrentPrinterScope&) = delete;

 private:
  TvwPrinter* previous_;
};

}  // namespace

TPrinterMetrics MetricsOf(TvwPrinter& printer) {
  TPrinterMetrics m;
  m.HorzRes = printer.PageWidth();
  m.VertRes = printer.PageHeight();
  m.DpiX = printer.DpiX();
  m.DpiY = printer.DpiY();
  const TSize paper = printer.PhysicalPageSize();
  m.PhysicalWidth = paper.cx;
  m.PhysicalHeight = paper.cy;
  const TPoint offset = printer.PrintingOffset();
  m.OffsetX = offset.X;
  m.OffsetY = offset.Y;
  return m;
}

TPrintArea ComputePrintArea(const TPrinterMetrics& metrics, const TPrintMargins& margins,
                            int screenPixelsPerInch) {
  const int s = screenPixelsPerInch > 0 ? screenPixelsPerInch : ScreenPixelsPerInch;
  const int dpiX = metrics.DpiX > 0 ? metrics.DpiX : s;
  const int dpiY = metrics.DpiY > 0 ? metrics.DpiY : s;

  // The bands at the right and bottom of the paper that the device cannot
  // print on; a device that does not report its paper has none.
  const int extraW = metrics.PhysicalWidth - metrics.HorzRes;
  const int extraH = metrics.PhysicalHeight - metrics.VertRes;
  const int rightBand = std::max(0, extraW - metrics.OffsetX);
  const int bottomBand = std::max(0, extraH - metrics.OffsetY);

  TPrintArea a;
  a.Left = MarginDots(margins.Left, dpiX) - metrics.OffsetX;
  a.LeftL = DotsToScreen(a.Left, s, dpiX);
  a.Width = metrics.HorzRes + rightBand - MarginDots(margins.Right, dpiX) - a.Left;
  a.WidthL = DotsToScreen(a.Width, s, dpiX) - PrintRightRoom;
  a.Top = MarginDots(margins.Top, dpiY) - metrics.OffsetY;
  a.TopL = DotsToScreen(a.Top, s, dpiY);
  a.Height = metrics.VertRes + bottomBand - MarginDots(margins.Bottom, dpiY) - a.Top;
  a.HeightL = DotsToScreen(a.Height, s, dpiY);
  // Margins that leave no room still give a page one pixel wide and high, so
  // that layout gets a width and every page moves on through the document.
  a.WidthL = std::max(1, a.WidthL);
  a.HeightL = std::max(1, a.HeightL);
  return a;
}

int PrintDocumentRange(const TSectionList& document, const TPrintMargins& margins, int fromPage,
                       int toPage) {
  // Pages are numbered from 1; a range without pages prints nothing.
  fromPage = std::max(fromPage, 1);
  if (toPage < fromPage) return 0;

  // The copy is laid out for the paper; the shown document keeps its layout
  // and scroll position.
  std::unique_ptr<TSectionList> copy = TSectionList::CreateCopy(document);
  copy->SetScrollY(0);
  copy->Printing = true;
  copy->SetBackgroundColor(clWhite);

  TvwPrinter printer;
  CurrentPrinterScope current(printer);
  printer.BeginDocument();
  int sheets = 0;
  try {
    TPrinterCanvas& canvas = printer.PrinterCanvas();
    const int s = ScreenPixelsPerInch;
    const TPrinterMetrics metrics = MetricsOf(printer);
    const TPrintArea area = ComputePrintArea(metrics, margins, s);
    // One logical unit is one screen pixel.
    canvas.SetScale(metrics.DpiX, s, metrics.DpiY, s);
    int maxWidth = 0;
    int charIndex = 0;
    copy->Layout(canvas, 0, area.WidthL, maxWidth, charIndex);

    const TRect clip{area.Left - 1, area.Top - 1, area.Left + area.Width + 2,
                     area.Top + area.Height + 2};
    int page = 1;
    int y = 0;
    bool done = false;
    while (page <= toPage && !done) {
      const TRect pageRect{area.LeftL, y, area.LeftL + area.WidthL, y + area.HeightL};
      // Document row y is drawn at the top margin.
      canvas.SetScale(metrics.DpiX, s, metrics.DpiY, s);
      canvas.SetWindowOrg(0, y - area.TopL);
      canvas.SelectClipRect(clip);
      // Pages before the range are painted beside the paper: painting is what
      // finds where each page ends.
      const bool shown = page >= fromPage;
      copy->Paint(canvas, pageRect, area.WidthL, shown ? area.LeftL : 3 * area.WidthL + area.LeftL,
                  0);
      if (shown) ++sheets;
      // The next page starts at the first line that did not fit. A page that
      // could not end before its start (a lone break at its top, say) ends at
      // its bottom instead, so printing always moves on.
      y = copy->PageBottom > y ? copy->PageBottom : y + area.HeightL;
      int top = 0;
      int index = 0;
      if (!copy->LineTopAt(y, top, index)) done = true;
      if (!done && fromPage <= page && page < toPage) printer.NewPage();
      ++page;
    }
  } catch (...) {
    // Nothing of a failed job is printed or left in a file.
    if (printer.IsPrinting()) {
      try {
        printer.AbortDocument();
      } catch (...) {
      }
    }
    throw;
  }
  // When the document ended before the range began, the sheet the job opened
  // stays empty and is not printed.
  if (sheets == 0)
    printer.AbortDocument();
  else
    printer.EndDocument();
  return sheets;
}

}  // namespace kiv
