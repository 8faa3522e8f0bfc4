// TvwPrinter: the viewer's own printer object over the toolkit's printer. It
// keeps a device context of the printer the user selected (an information
// context for measuring, a device context for a job), runs one print job at a
// time through its canvas, and raises EPrinterError on misuse or when the
// selected printer cannot be used.
#pragma once

#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/qt_canvas.h"
#include "platform/win_types.h"

class QPainter;
class QPrinter;

namespace kiv {

class EPrinterError : public std::runtime_error {
 public:
  explicit EPrinterError(const std::string& message) : std::runtime_error(message) {}
};

// The printer the user picked in the print dialog. Every job prints with a
// copy of these settings taken when its device context is made.
struct TPrinterSelection {
  QString PrinterName;     // empty: the system's default printer
  QString OutputFileName;  // not empty: print into this PDF file instead of a printer
  // Paper, orientation, and the margins the device cannot print on (they give
  // the printable area and its offset from the paper's edges).
  QPageLayout PageLayout{QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()};
  int Resolution = 600;  // dots per inch
  // False for a device that cannot report its physical page size and
  // printing offset: printing then takes the paper as the printable area.
  bool ReportsPhysicalPage = true;
  // Not owned. When set, jobs paint on this printer (a print preview's) as
  // it is configured, instead of on one made from the settings above.
  QPrinter* Device = nullptr;
};

// The process-wide selection (the print dialog edits it).
TPrinterSelection& SelectedPrinter();
// Applies a selection to a toolkit printer (before a print dialog), and takes
// over what the dialog chose.
void ConfigurePrinter(QPrinter& printer, const TPrinterSelection& selection);
void SelectPrinter(const QPrinter& printer);

class TvwPrinter;

// The printer's canvas: drawing on it requires a running job.
class TPrinterCanvas : public QtCanvas {
 public:
  explicit TPrinterCanvas(TvwPrinter& printer);

  // Makes sure the printer has at least an information context.
  void CreateHandle();
  // Attaches the job's painter (null detaches it).
  void SetHandle(QPainter* painter);
  bool HandleAllocated() const { return painter_ != nullptr; }
  // Back to the device's initial state: no mapping, no clipping.
  void Refresh();
  // Replaces the clip region by a rectangle in device dots, whatever the
  // mapping.
  void SelectClipRect(const TRect& deviceRect);

  void ExtTextOut(int x, int y, unsigned options, const TRect* rect, const char* text,
                  int n) override;
  void LineTo(int x, int y) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  void Polygon(const std::vector<TPoint>& points) override;
  void FillRect(const TRect& r, TColor color) override;
  void FillRegion(const std::vector<TRect>& rects, TColor color) override;
  void StretchBitmap(const TRect& dest, const Bitmap& bitmap, RasterOp op) override;
  void StretchMask(const TRect& dest, const Mask& mask, RasterOp op) override;

 private:
  // Called before every drawing operation.
  void Changing();
  // True when a logical rectangle lies wholly outside the selected clip
  // rectangle: what would not reach the paper is not sent to the device at
  // all (no hidden text or pictures in the printed file).
  bool Outside(const TRect& r) const;

  TvwPrinter& printer_;
  std::optional<QRectF> clip_;  // device dots
};

// Device states.
constexpr int NoDeviceContext = 0;
constexpr int InformationContext = 1;
constexpr int PrintingDeviceContext = 2;

// Longest document name given to the spooler.
constexpr int MaxDocumentTitleLength = 31;

class TvwPrinter {
 public:
  TvwPrinter();
  ~TvwPrinter();
  TvwPrinter(const TvwPrinter&) = delete;
  TvwPrinter& operator=(const TvwPrinter&) = delete;

  // Raises "Printing in progress" or "Printer is not currently printing" when
  // the job state is not the expected one.
  void CheckPrinting(bool expected) const;
  void SetDeviceState(int state);
  int DeviceState() const { return deviceState_; }

  void BeginDocument();
  void NewPage();
  // Ends the job; when it printed into a file, the file appears only now.
  void EndDocument();
  // Ends the job without output: nothing reaches the printer or the file.
  void AbortDocument();

  // The printable area in device dots.
  int PageWidth();
  int PageHeight();
  // Dots per inch.
  int DpiX();
  int DpiY();
  // The paper in device dots; (-1, -1) when the device does not report it.
  TSize PhysicalPageSize();
  // Where the printable area starts on the paper; (0, 0) when not reported.
  TPoint PrintingOffset();

  TPrinterCanvas& PrinterCanvas();

  bool IsPrinting() const { return isPrinting_; }
  bool Aborted() const { return aborted_; }
  int PageNumber() const { return pageNumber_; }
  // Name of the job, cut to MaxDocumentTitleLength characters.
  std::string DocumentTitle;

 private:
  friend class TPrinterCanvas;
  // Makes a context of the selected printer in dc_ (with a copy of the
  // selection as its device mode).
  void CreateContext(int state);
  void DeleteContext();
  // Removes the job's partly written file.
  void DiscardOutput();

  std::unique_ptr<TPrinterCanvas> canvas_;
  QPrinter* dc_ = nullptr;  // ownDc_, or the selection's Device
  std::unique_ptr<QPrinter> ownDc_;
  std::unique_ptr<QPainter> painter_;  // the job's, while it runs
  std::unique_ptr<TPrinterSelection> deviceMode_;
  QString partFile_;  // what the job writes until it ends well
  int deviceState_ = NoDeviceContext;
  bool isPrinting_ = false;
  bool aborted_ = false;
  int pageNumber_ = 0;
};

// The printer whose job runs; made on first use when none is set. The one it
// makes is freed when the application ends.
TvwPrinter& CurrentPrinter();
// Sets the slot (null empties it) and returns the previous value.
TvwPrinter* SetCurrentPrinter(TvwPrinter* printer);

// Called between pages while a job runs: lets the application handle its
// pending events (user input excepted) and answers whether the job goes on.
bool PrinterAbortProc();

}  // namespace kiv
