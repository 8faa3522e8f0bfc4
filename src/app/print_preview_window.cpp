#include "app/print_preview_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "viewer/html_viewer.h"
#include "viewer/vw_printer.h"

namespace kiv {

namespace {

constexpr int kPreviewWidth = 640;
constexpr int kPreviewHeight = 720;

// Points the printer selection at the preview's printer for a scope.
class PreviewDeviceScope {
 public:
  explicit PreviewDeviceScope(QPrinter* device) : previous_(SelectedPrinter().Device) {
    SelectedPrinter().Device = device;
  }
  ~PreviewDeviceScope() { SelectedPrinter().Device = previous_; }
  PreviewDeviceScope(const PreviewDeviceScope&) = delete;
  PreviewDeviceScope& operator=(const PreviewDeviceScope&) = delete;

 private:
  QPrinter* previous_;
};

}  // namespace

TPrintPreviewWindow::TPrintPreviewWindow(THTMLViewer* viewer, std::function<void()> print)
    : QWidget(nullptr, Qt::Window),
      viewer_(viewer),
      print_(std::move(print)),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setWindowTitle("Print Preview");
  resize(kPreviewWidth, kPreviewHeight);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* bar = new QWidget(this);
  auto* barLayout = new QHBoxLayout(bar);
  barLayout->setContentsMargins(6, 3, 6, 3);
  previous_ = new QToolButton(bar);
  previous_->setText("< Previous");
  previous_->setToolTip("Previous page (Page Up)");
  next_ = new QToolButton(bar);
  next_->setText("Next >");
  next_->setToolTip("Next page (Page Down)");
  pageLabel_ = new QLabel(bar);
  auto* printButton = new QPushButton("&Print...", bar);
  auto* closeButton = new QPushButton("&Close", bar);
  barLayout->addWidget(previous_);
  barLayout->addWidget(next_);
  barLayout->addWidget(pageLabel_, 1);
  barLayout->addWidget(printButton);
  barLayout->addWidget(closeButton);
  layout->addWidget(bar);

  pages_ = new QPrintPreviewWidget(printer_.get(), this);
  pages_->setViewMode(QPrintPreviewWidget::SinglePageView);
  pages_->setZoomMode(QPrintPreviewWidget::FitInView);
  layout->addWidget(pages_, 1);

  connect(pages_, &QPrintPreviewWidget::paintRequested, this,
          [this](QPrinter* printer) { PaintPages(printer); });
  connect(pages_, &QPrintPreviewWidget::previewChanged, this, [this] { UpdateLabels(); });
  connect(previous_, &QToolButton::clicked, this, [this] { GoToPage(CurrentPage() - 1); });
  connect(next_, &QToolButton::clicked, this, [this] { GoToPage(CurrentPage() + 1); });
  connect(printButton, &QPushButton::clicked, this, [this] {
    if (print_) print_();
  });
  connect(closeButton, &QPushButton::clicked, this, [this] { close(); });

  // Keys work wherever the focus is in the window (the pages' view would
  // take Page Up and Page Down for scrolling).
  const auto key = [this](const QKeySequence& sequence, std::function<void()> action) {
    auto* shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
  };
  key(QKeySequence(Qt::Key_Escape), [this] { close(); });
  key(QKeySequence(Qt::Key_PageUp), [this] { GoToPage(CurrentPage() - 1); });
  key(QKeySequence(Qt::Key_PageDown), [this] { GoToPage(CurrentPage() + 1); });
  key(QKeySequence(Qt::Key_Home), [this] { GoToPage(1); });
  key(QKeySequence(Qt::Key_End), [this] { GoToPage(PageCount()); });
}

TPrintPreviewWindow::~TPrintPreviewWindow() {
  // The pages' view refers to the printer: it goes first.
  delete pages_;
}

void TPrintPreviewWindow::PaintPages(QPrinter* printer) {
  error_.clear();
  try {
    PreviewDeviceScope device(printer);
    viewer_->PrintRange(1, 9999);
  } catch (const std::exception& e) {
    error_ = QString::fromStdString(e.what());
  }
}

void TPrintPreviewWindow::Generate() {
  // The same paper and resolution as a print job of the selected printer.
  ConfigurePrinter(*printer_, SelectedPrinter());
  printer_->setOutputFileName(QString());
  // Printing lets pending events run between pages: the pages' view must
  // not paint the page being recorded meanwhile.
  setUpdatesEnabled(false);
  pages_->updatePreview();
  setUpdatesEnabled(true);
}

void TPrintPreviewWindow::ShowPreview() {
  Generate();
  show();
  raise();
  activateWindow();
  GoToPage(1);
  UpdateLabels();
}

void TPrintPreviewWindow::Refresh() {
  if (!isVisible()) return;
  const int page = CurrentPage();
  Generate();
  GoToPage(page);
  UpdateLabels();
}

int TPrintPreviewWindow::PageCount() const {
  return pages_->pageCount();
}

int TPrintPreviewWindow::CurrentPage() const {
  return PageCount() > 0 ? pages_->currentPage() : 0;
}

void TPrintPreviewWindow::GoToPage(int page) {
  if (PageCount() == 0) return;
  pages_->setCurrentPage(std::clamp(page, 1, PageCount()));
  UpdateLabels();
}

void TPrintPreviewWindow::UpdateLabels() {
  const int count = PageCount();
  if (!error_.isEmpty())
    pageLabel_->setText(error_);
  else if (count == 0)
    pageLabel_->setText("Nothing to print");
  else
    pageLabel_->setText(QString("Page %1 of %2").arg(CurrentPage()).arg(count));
  previous_->setEnabled(CurrentPage() > 1);
  next_->setEnabled(CurrentPage() < count);
  if (OnChange) OnChange();
}

void TPrintPreviewWindow::closeEvent(QCloseEvent* e) {
  QWidget::closeEvent(e);
  if (OnChange) OnChange();
}

}  // namespace kiv
