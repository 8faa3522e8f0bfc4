// Printing a document: a copy of it is laid out again for the printable width
// in screen pixels, and the canvas mapping scales screen pixels to printer
// dots, so the printout looks like the screen at the printer's resolution.
// Pages end where the document reports the last whole line that fits.
#pragma once

namespace kiv {

class TSectionList;
class TvwPrinter;

// Print margins in centimetres, measured from the paper's edges.
struct TPrintMargins {
  double Left = 2.0;
  double Right = 2.0;
  double Top = 2.0;
  double Bottom = 2.0;
};

// What the printer reports, in device dots.
struct TPrinterMetrics {
  int HorzRes = 0;  // printable area
  int VertRes = 0;
  int DpiX = 0;
  int DpiY = 0;
  int PhysicalWidth = -1;  // the paper; -1 when the device does not say
  int PhysicalHeight = -1;
  int OffsetX = 0;  // start of the printable area on the paper
  int OffsetY = 0;
};

TPrinterMetrics MetricsOf(TvwPrinter& printer);

// Where a page's text goes: in device dots from the printable area's origin,
// and the same in screen pixels (the width less room for the right edge).
struct TPrintArea {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int LeftL = 0;
  int TopL = 0;
  int WidthL = 0;
  int HeightL = 0;
};

TPrintArea ComputePrintArea(const TPrinterMetrics& metrics, const TPrintMargins& margins,
                            int screenPixelsPerInch);

// Prints pages fromPage to toPage (numbered from 1) of document on the
// selected printer; the document itself is not changed. A range that holds
// no page of the document prints nothing: no job output, no error. Returns
// the number of sheets printed. Printer errors propagate after the job has
// been abandoned.
int PrintDocumentRange(const TSectionList& document, const TPrintMargins& margins, int fromPage,
                       int toPage);

}  // namespace kiv
