#include "viewer/vw_printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QTransform>

#include <algorithm>
#include <cstdio>

#include "platform/cp1252.h"

namespace kiv {

namespace {

const char* const kNotValid = "Printer selected is not valid";
const char* const kInProgress = "Printing in progress";
const char* const kNotPrinting = "Printer is not currently printing";

TvwPrinter* currentPrinter = nullptr;
// The printer CurrentPrinter made itself; freed with the application.
std::unique_ptr<TvwPrinter> ownPrinter;

void FreeOwnPrinter() {
  if (currentPrinter == ownPrinter.get()) currentPrinter = nullptr;
  ownPrinter.reset();
}

}  // namespace

// --- the selection --------------------------------------------------------------

TPrinterSelection& SelectedPrinter() {
  static TPrinterSelection selection;
  return selection;
}

void ConfigurePrinter(QPrinter& printer, const TPrinterSelection& selection) {
  if (!selection.OutputFileName.isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(selection.OutputFileName);
  } else {
    printer.setOutputFormat(QPrinter::NativeFormat);
    if (!selection.PrinterName.isEmpty()) printer.setPrinterName(selection.PrinterName);
  }
  printer.setResolution(std::max(1, selection.Resolution));
  printer.setFullPage(false);
  printer.setPageLayout(selection.PageLayout);
}

void SelectPrinter(const QPrinter& printer) {
  TPrinterSelection& selection = SelectedPrinter();
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  selection.OutputFileName = toFile ? printer.outputFileName() : QString();
  selection.PrinterName = toFile ? QString() : printer.printerName();
  selection.PageLayout = printer.pageLayout();
  selection.Resolution = printer.resolution();
}

// --- the canvas -----------------------------------------------------------------

TPrinterCanvas::TPrinterCanvas(TvwPrinter& printer) : printer_(printer) {
  SetPrinter(true);
}

void TPrinterCanvas::CreateHandle() {
  printer_.SetDeviceState(InformationContext);
}

void TPrinterCanvas::SetHandle(QPainter* painter) {
  painter_ = painter;
  Refresh();
}

void TPrinterCanvas::Refresh() {
  org_ = {};
  numX_ = denX_ = numY_ = denY_ = 1;
  clip_.reset();
  if (!painter_) return;
  painter_->setTransform(QTransform());
  painter_->setClipping(false);
}

void TPrinterCanvas::SelectClipRect(const TRect& deviceRect) {
  clip_ = QRectF(deviceRect.Left, deviceRect.Top, std::max(0, deviceRect.Width()),
                 std::max(0, deviceRect.Height()));
  if (!painter_) return;
  const QTransform mapping = painter_->transform();
  painter_->setTransform(QTransform());
  painter_->setClipRect(QRect(deviceRect.Left, deviceRect.Top, std::max(0, deviceRect.Width()),
                              std::max(0, deviceRect.Height())),
                        Qt::ReplaceClip);
  painter_->setTransform(mapping);
}

void TPrinterCanvas::Changing() {
  printer_.CheckPrinting(true);
}

bool TPrinterCanvas::Outside(const TRect& r) const {
  if (!clip_ || !painter_) return false;
  const QRectF device = painter_->transform().mapRect(QRectF(r.Left, r.Top, r.Width(), r.Height()));
  return !device.intersects(*clip_);
}

void TPrinterCanvas::ExtTextOut(int x, int y, unsigned options, const TRect* rect, const char* text,
                                int n) {
  Changing();
  const TextMetrics& tm = font_.Face().Metrics();
  const int top = textAlign_ == TA_BASELINE ? y - tm.tmAscent : y;
  const int width = n > 0 && text ? font_.Face().Extent(text, n) : 0;
  TRect box{x, top, x + width, top + tm.tmHeight};
  if (rect && (options & ETO_OPAQUE)) {
    box = {std::min(box.Left, rect->Left), std::min(box.Top, rect->Top),
           std::max(box.Right, rect->Right), std::max(box.Bottom, rect->Bottom)};
  }
  if (Outside(box)) return;
  QtCanvas::ExtTextOut(x, y, options, rect, text, n);
}

void TPrinterCanvas::LineTo(int x, int y) {
  Changing();
  QtCanvas::LineTo(x, y);
}

void TPrinterCanvas::Rectangle(int left, int top, int right, int bottom) {
  Changing();
  QtCanvas::Rectangle(left, top, right, bottom);
}

void TPrinterCanvas::Ellipse(int left, int top, int right, int bottom) {
  Changing();
  QtCanvas::Ellipse(left, top, right, bottom);
}

void TPrinterCanvas::Polygon(const std::vector<TPoint>& points) {
  Changing();
  QtCanvas::Polygon(points);
}

void TPrinterCanvas::FillRect(const TRect& r, TColor color) {
  Changing();
  QtCanvas::FillRect(r, color);
}

void TPrinterCanvas::FillRegion(const std::vector<TRect>& rects, TColor color) {
  Changing();
  QtCanvas::FillRegion(rects, color);
}

void TPrinterCanvas::StretchBitmap(const TRect& dest, const Bitmap& bitmap, RasterOp op) {
  Changing();
  if (Outside(dest)) return;
  QtCanvas::StretchBitmap(dest, bitmap, op);
}

void TPrinterCanvas::StretchMask(const TRect& dest, const Mask& mask, RasterOp op) {
  Changing();
  if (Outside(dest)) return;
  QtCanvas::StretchMask(dest, mask, op);
}

// --- the printer ------------------------------------------------------------------

TvwPrinter::TvwPrinter() = default;

TvwPrinter::~TvwPrinter() {
  // A destructor must not throw: a job that cannot end well is dropped.
  try {
    if (isPrinting_) EndDocument();
  } catch (...) {
  }
  if (isPrinting_) {
    if (canvas_) canvas_->SetHandle(nullptr);
    painter_.reset();
    DiscardOutput();
    isPrinting_ = false;
  }
  if (currentPrinter == this) currentPrinter = nullptr;
  DeleteContext();
}

void TvwPrinter::CheckPrinting(bool expected) const {
  if (isPrinting_ == expected) return;
  throw EPrinterError(expected ? kNotPrinting : kInProgress);
}

void TvwPrinter::SetDeviceState(int state) {
  if (state == deviceState_) return;
  switch (state) {
    case NoDeviceContext:
      CheckPrinting(false);
      DeleteContext();
      break;
    case InformationContext:
      // A device context also answers what an information context would.
      if (deviceState_ == PrintingDeviceContext) return;
      CreateContext(state);
      break;
    case PrintingDeviceContext:
      DeleteContext();
      CreateContext(state);
      break;
    default:
      break;
  }
}

void TvwPrinter::CreateContext(int state) {
  // The context works with its own copy of the selection, so a change of the
  // selection during a job does not reach the job.
  deviceMode_.reset();
  auto mode = std::make_unique<TPrinterSelection>(SelectedPrinter());
  if (mode->Device) {
    dc_ = mode->Device;
    deviceMode_ = std::move(mode);
    deviceState_ = state;
    return;
  }
  if (mode->OutputFileName.isEmpty()) {
    const QPrinterInfo info = mode->PrinterName.isEmpty()
                                  ? QPrinterInfo::defaultPrinter()
                                  : QPrinterInfo::printerInfo(mode->PrinterName);
    if (info.isNull()) throw EPrinterError(kNotValid);
    mode->PrinterName = info.printerName();
  } else if (!QFileInfo(mode->OutputFileName).absoluteDir().exists()) {
    throw EPrinterError(kNotValid);
  }
  auto dc = std::make_unique<QPrinter>(QPrinter::HighResolution);
  ConfigurePrinter(*dc, *mode);
  if (!dc->isValid()) throw EPrinterError(kNotValid);
  ownDc_ = std::move(dc);
  dc_ = ownDc_.get();
  deviceMode_ = std::move(mode);
  deviceState_ = state;
}

void TvwPrinter::DeleteContext() {
  if (canvas_) canvas_->SetHandle(nullptr);
  painter_.reset();
  dc_ = nullptr;
  ownDc_.reset();
  deviceMode_.reset();
  deviceState_ = NoDeviceContext;
}

void TvwPrinter::DiscardOutput() {
  if (!partFile_.isEmpty()) QFile::remove(partFile_);
  partFile_.clear();
}

void TvwPrinter::BeginDocument() {
  CheckPrinting(false);
  SetDeviceState(PrintingDeviceContext);
  TPrinterCanvas& canvas = PrinterCanvas();
  canvas.Refresh();

  // A job into a file writes beside it first, so that a job that fails or is
  // aborted neither leaves a partial file nor replaces an existing one.
  if (!deviceMode_->OutputFileName.isEmpty() && !deviceMode_->Device) {
    QTemporaryFile part(QFileInfo(deviceMode_->OutputFileName).absoluteFilePath() + ".XXXXXX.part");
    part.setAutoRemove(false);
    if (!part.open()) throw EPrinterError(kNotValid);
    partFile_ = part.fileName();
    part.close();
    // Only the name is kept: the printer makes the file itself, with the
    // permissions any new file gets.
    QFile::remove(partFile_);
    dc_->setOutputFileName(partFile_);
    dc_->setOutputFormat(QPrinter::PdfFormat);
  }
  dc_->setDocName(QString::fromStdU16String(
      Cp1252ToUtf16(std::string_view(DocumentTitle).substr(0, MaxDocumentTitleLength))));

  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(dc_)) {
    DiscardOutput();
    throw EPrinterError(kNotValid);
  }
  painter_ = std::move(painter);
  isPrinting_ = true;
  aborted_ = false;
  pageNumber_ = 1;
  canvas.SetHandle(painter_.get());
}

void TvwPrinter::NewPage() {
  CheckPrinting(true);
  if (!PrinterAbortProc() || !isPrinting_) return;
  dc_->newPage();
  ++pageNumber_;
  PrinterCanvas().Refresh();
}

void TvwPrinter::EndDocument() {
  CheckPrinting(true);
  bool written = true;
  if (aborted_) {
    dc_->abort();
    painter_->end();
  } else {
    written = painter_->end();
  }
  PrinterCanvas().SetHandle(nullptr);
  painter_.reset();
  const bool aborted = aborted_;
  isPrinting_ = false;
  aborted_ = false;
  pageNumber_ = 0;

  if (partFile_.isEmpty()) return;
  if (aborted) {
    DiscardOutput();
    return;
  }
  const QString target = deviceMode_->OutputFileName;
  // rename() replaces an existing file in one step.
  if (written) {
    written = std::rename(QFile::encodeName(partFile_).constData(),
                          QFile::encodeName(target).constData()) == 0;
  }
  if (!written) {
    DiscardOutput();
    throw EPrinterError("Can't write file: " + target.toStdString());
  }
  partFile_.clear();
}

void TvwPrinter::AbortDocument() {
  CheckPrinting(true);
  aborted_ = true;
  EndDocument();
}

int TvwPrinter::PageWidth() {
  SetDeviceState(InformationContext);
  return dc_->pageRect(QPrinter::DevicePixel).toRect().width();
}

int TvwPrinter::PageHeight() {
  SetDeviceState(InformationContext);
  return dc_->pageRect(QPrinter::DevicePixel).toRect().height();
}

int TvwPrinter::DpiX() {
  SetDeviceState(InformationContext);
  return dc_->logicalDpiX();
}

int TvwPrinter::DpiY() {
  SetDeviceState(InformationContext);
  return dc_->logicalDpiY();
}

TSize TvwPrinter::PhysicalPageSize() {
  SetDeviceState(InformationContext);
  if (!deviceMode_->ReportsPhysicalPage) return {-1, -1};
  const QRect paper = dc_->paperRect(QPrinter::DevicePixel).toRect();
  return {paper.width(), paper.height()};
}

TPoint TvwPrinter::PrintingOffset() {
  SetDeviceState(InformationContext);
  if (!deviceMode_->ReportsPhysicalPage) return {0, 0};
  const QRect paper = dc_->paperRect(QPrinter::DevicePixel).toRect();
  const QRect page = dc_->pageRect(QPrinter::DevicePixel).toRect();
  return {page.left() - paper.left(), page.top() - paper.top()};
}

TPrinterCanvas& TvwPrinter::PrinterCanvas() {
  if (!canvas_) canvas_ = std::make_unique<TPrinterCanvas>(*this);
  return *canvas_;
}

// --- the current printer and the abort procedure -------------------------------------

TvwPrinter& CurrentPrinter() {
  if (!currentPrinter) {
    if (!ownPrinter) {
      ownPrinter = std::make_unique<TvwPrinter>();
      if (QCoreApplication::instance()) qAddPostRoutine(FreeOwnPrinter);
    }
    currentPrinter = ownPrinter.get();
  }
  return *currentPrinter;
}

TvwPrinter* SetCurrentPrinter(TvwPrinter* printer) {
  TvwPrinter* previous = currentPrinter;
  currentPrinter = printer;
  return previous;
}

bool PrinterAbortProc() {
  // User input and other processes' requests wait until the job has ended:
  // they could start a load that drops the pictures the printed copy shows.
  if (QCoreApplication::instance()) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                    QEventLoop::ExcludeSocketNotifiers);
  }
  return !CurrentPrinter().Aborted();
}

}  // namespace kiv
