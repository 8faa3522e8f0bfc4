#include "app/kiv_help_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

#include "app/page_image_supply.h"
#include "app/string_helpers.h"
#include "app/toolbar_divider.h"
#include "app/toolbar_glyphs.h"
#include "platform/cp1252.h"
#include "platform/ini_file.h"
#include "platform/local_channel.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/vw_printer.h"

namespace kiv {

namespace {

constexpr int kClientWidth = 552;
constexpr int kClientHeight = 348;
constexpr int kBarHeight = 31;
constexpr const char* kSection = "Help";
constexpr const char* kFontSizeKey = "Help Font Size";
constexpr int kDefaultFontSize = 12;

bool IsStartKind(const std::string& kind) {
  return kind == "start" || kind == "startup" || kind == "getstart";
}

QString ToQString(const std::string& cp1252) {
  return QString::fromStdU16String(Cp1252ToUtf16(cp1252));
}

QToolButton* SpeedButton(QWidget* parent, int left, int width, TToolbarGlyph glyph,
                         const char* hint) {
  auto* b = new QToolButton(parent);
  b->setAutoRaise(true);
  b->setGeometry(left, 3, width, 25);
  b->setIcon(ToolbarGlyph(glyph));
  b->setIconSize(QSize(ToolbarGlyphSize, ToolbarGlyphSize));
  b->setToolTip(hint);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

TKivHelpWindow::TKivHelpWindow(std::vector<std::string> args, std::string packagePath)
    : args_(std::move(args)), package_(std::make_unique<THelpPackage>(std::move(packagePath))) {
  CreateControls();
  FormCreate();
}

TKivHelpWindow::~TKivHelpWindow() {
  qApp->removeEventFilter(this);
  SetApplicationMessageHook({});
}

void TKivHelpWindow::CreateControls() {
  setWindowTitle("Help");
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  resize(kClientWidth, kClientHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  panel1_ = new QWidget(this);
  panel1_->setFixedHeight(kBarHeight);
  bContents_ =
      SpeedButton(panel1_, 11, 79, TToolbarGlyph::Contents, "Go to the Help Contents Page");
  bContents_->setText("Contents");
  bContents_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  new TToolbarDivider(panel1_, 94);
  bBack_ = SpeedButton(panel1_, 101, 25, TToolbarGlyph::Back, "Back to previous page");
  bForward_ = SpeedButton(panel1_, 130, 25, TToolbarGlyph::Forward, "Forward");
  new TToolbarDivider(panel1_, 160);
  bPrint_ = SpeedButton(panel1_, 168, 32, TToolbarGlyph::Print, "Print the current page");
  new TToolbarDivider(panel1_, 205);
  label3_ = new QLabel("Font Size", panel1_);
  label3_->setGeometry(211, 3, 48, 25);
  spinFontSize_ = new QSpinBox(panel1_);
  spinFontSize_->setGeometry(261, 4, 40, 22);
  spinFontSize_->setRange(MinHelpFontSize, MaxHelpFontSize);
  spinFontSize_->setSingleStep(1);
  spinFontSize_->setValue(kDefaultFontSize);
  new TToolbarDivider(panel1_, 306);
  bCopy_ = SpeedButton(panel1_, 314, 25, TToolbarGlyph::Copy, "Copy All text to Clipboard");
  new TToolbarDivider(panel1_, 344);
  label1_ = new QLabel(panel1_);
  label1_->setGeometry(413, 8, 70, 16);
  label1_->hide();
  label2_ = new QLabel(panel1_);
  label2_->setGeometry(493, 8, 50, 16);
  label2_->hide();
  layout->addWidget(panel1_);

  viewer_ = new THTMLViewer(this);
  viewer_->setCursor(Qt::IBeamCursor);
  viewer_->SetViewImages(true);
  viewer_->SetDefBackground(clWhite);
  viewer_->SetBorderStyle(htFocused);
  viewer_->SetHistoryMaxCount(10);
  viewer_->SetDefFontName("Times New Roman");
  viewer_->SetDefPreFontName("Courier New");
  viewer_->SetNoSelect(false);
  viewer_->SetPrintMarginLeft(2.0);
  viewer_->SetPrintMarginRight(2.0);
  viewer_->SetPrintMarginTop(2.0);
  viewer_->SetPrintMarginBottom(2.0);
  viewer_->SetCharSet(DEFAULT_CHARSET);
  viewer_->OnHotSpotClick = [this](THTMLViewer* s, const std::string& src, bool& handled) {
    ViewerHotSpotClick(s, src, handled);
  };
  viewer_->OnBitmapRequest = [this](THTMLViewer* s, const std::string& src,
                                    std::unique_ptr<Bitmap>& bitmap,
                                    TColor& color) { ViewerBitmapRequest(s, src, bitmap, color); };
  viewer_->OnHistoryChange = [this](THTMLViewer* s) { ViewerHistoryChange(s); };
  layout->addWidget(viewer_, 1);

  panel2_ = new QWidget(this);
  panel2_->setFixedHeight(kBarHeight);
  checkBox1_ = new QCheckBox("Do not Show this Message Again", panel2_);
  checkBox1_->setGeometry(18, 7, 283, 17);
  bOK_ = new QPushButton(ToolbarGlyph(TToolbarGlyph::OK), "OK", panel2_);
  bOK_->setGeometry(457, 3, 75, 25);
  panel2_->hide();
  layout->addWidget(panel2_);

  connect(bContents_, &QToolButton::clicked, this, [this] { bContentsClick(); });
  connect(bBack_, &QToolButton::clicked, this, [this] { ForwardBackClick(bBack_); });
  connect(bForward_, &QToolButton::clicked, this, [this] { ForwardBackClick(bForward_); });
  connect(bPrint_, &QToolButton::clicked, this, [this] { bPrintClick(); });
  connect(bCopy_, &QToolButton::clicked, this, [this] { bCopyClick(); });
  // The change event fires on every change of the text, typing included.
  connect(spinFontSize_, &QSpinBox::textChanged, this, [this] { spinFontSizeChange(); });
  // Every change of the box's state, by the user or by the program.
  connect(checkBox1_, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
  connect(bOK_, &QPushButton::clicked, this, [this] { bOKClick(); });

  // Keys are previewed by the form; paints of the page are counted.
  qApp->installEventFilter(this);
  if (viewer_->PaintPanel()) viewer_->PaintPanel()->installEventFilter(this);

  // Centred on the screen.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
}

void TKivHelpWindow::FormCreate() {
  RegisterHelpMessage();
  SetApplicationMessageHook(
      [this](TMsg& msg, bool& handled) { HandleAppMessage(msg, handled, *this); });
  // The channel other starts reach this instance through. Only the holder of
  // the instance lock listens, so a channel left by an ended instance may be
  // replaced but a live one never is.
  if (HoldsInstanceLock()) {
    channel_ = std::make_unique<LocalChannelServer>(HelpMessageName);
    channel_->Listen();
  }
  history_ = {"contents.html"};
  historyIndex_ = 0;
}

void TKivHelpWindow::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TKivHelpWindow::FormShow() {
  const THelpRequest r = ApplyRequestDefaults(RequestFromArguments(args_));
  ShowHelpPage(r.Kind, r.FileName, true, r.Anchor);
  FocusViewer();
}

std::string TKivHelpWindow::SettingsPath() const {
  return ExeDir() + "\\kivmap.ini";
}

void TKivHelpWindow::LoadPage(const std::string& fileName) {
  try {
    package_->LoadPage(fileName);
  } catch (...) {
    imageSource_ = package_->ImageSource();
    throw;
  }
  imageSource_ = package_->ImageSource();
}

void TKivHelpWindow::LoadBuffer() {
  viewer_->LoadDocumentBuffer(package_->PageBuffer(),
                              static_cast<std::size_t>(package_->PageLength()));
}

void TKivHelpWindow::ShowHelpPage(const std::string& kind, const std::string& fileName,
                                  bool printEnabled, const std::string& anchor) {
  // 1. Unchecking the box with no kind set writes nothing.
  pageKind_.clear();
  checkBox1_->setChecked(false);
  bPrint_->setEnabled(printEnabled);

  // 2.
  pageKind_ = kind.substr(0, MaxPageKindLength);
  imageSource_ = pageKind_;
  if (kind == "html") imageSource_ = "startup";

  // 3. The box shows the size within its range; the viewer gets the size
  // read, kept within what layout can sensibly use.
  const int size = IniFile(SettingsPath()).ReadInteger(kSection, kFontSizeKey, kDefaultFontSize);
  spinFontSize_->setValue(std::clamp(size, MinHelpFontSize, MaxHelpFontSize));
  // Setting the size lays the shown page out again: only when it changes.
  const int viewerSize = std::min(size, LargestHelpFontSize);
  if (viewer_->DefFontSize() != std::max(viewerSize, MinViewerFontSize)) {
    viewer_->SetDefFontSize(viewerSize);
  }

  // 4.
  const bool startKind = IsStartKind(kind);
  panel2_->setVisible(startKind);
  panel1_->setVisible(!startKind);

  // 5.
  if (!FileExists(NativePath(package_->PackagePath()))) {
    if (kind != "start" && kind != "getstart") {
      ShowMessageBox("Help file \"Kivmap.hpm\" not found", "Error", MB_OK);
    }
    ReportState();
    return;
  }

  // 6. Any failure keeps what the window showed.
  try {
    packageStream_.reset();
    packageStream_ = std::make_unique<FileReadStream>(NativePath(package_->PackagePath()));
    if (!startKind) {
      show();
      BringToFront();
    }
    LoadPage(fileName);
    LoadBuffer();
    SetCaptionFromTitle();
    if (!IsBlank(anchor)) viewer_->ScrollToAnchor(anchor);
    if (UpperText(fileName) != "CONTENTS.HTML") {
      history_.push_back(fileName + anchor);
      historyIndex_ = static_cast<int>(history_.size()) - 1;
      ShowHistoryLabels();
    }
    UpdateButtons();
  } catch (...) {
  }
  ReportState();
}

void TKivHelpWindow::BringToFront() {
  // Restores the window if it was minimised and raises it above the others.
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  if (!isVisible()) show();
  raise();
  activateWindow();
}

void TKivHelpWindow::NavigateTo(const std::string& target) {
  std::string file = target, anchor;
  if (std::size_t hash = target.find('#'); hash != std::string::npos) {
    file = target.substr(0, hash);
    anchor = target.substr(hash, MaxTargetAnchorLength);
  }
  if (!IsBlank(file)) {
    const std::size_t sep = file.find_last_of("\\:");
    LoadPage(sep == std::string::npos ? file : file.substr(sep + 1));
    LoadBuffer();
  }
  if (!IsBlank(anchor)) viewer_->ScrollToAnchor(anchor);
}

void TKivHelpWindow::ViewerHotSpotClick(THTMLViewer*, const std::string& SRC, bool& Handled) {
  Handled = true;
  try {
    NavigateTo(SRC);
  } catch (...) {
    // The page could not be had: the window keeps what it showed.
  }
  history_.resize(static_cast<std::size_t>(historyIndex_) + 1);
  history_.push_back(SRC);
  historyIndex_ = static_cast<int>(history_.size()) - 1;
  ShowHistoryLabels();
  ViewerHistoryChange(viewer_);
}

void TKivHelpWindow::ForwardBackClick(QWidget* sender) {
  const int last = static_cast<int>(history_.size()) - 1;
  if (sender == bBack_) historyIndex_ = std::max(0, historyIndex_ - 1);
  if (sender == bForward_) historyIndex_ = std::min(last, historyIndex_ + 1);
  try {
    NavigateTo(history_[static_cast<std::size_t>(historyIndex_)]);
  } catch (...) {
  }
  UpdateButtons();
  SetCaptionFromTitle();
  ShowHistoryLabels();
  ReportState();
}

void TKivHelpWindow::ViewerHistoryChange(THTMLViewer*) {
  UpdateButtons();
  SetCaptionFromTitle();
  if (isVisible()) FocusViewer();
  ReportState();
}

void TKivHelpWindow::bContentsClick() {
  try {
    LoadPage("contents.html");
    LoadBuffer();
  } catch (...) {
  }
  SetCaptionFromTitle();
  FocusViewer();
  ReportState();
}

void TKivHelpWindow::bPrintClick() {
  QPrinter printer;
  ConfigurePrinter(printer, SelectedPrinter());
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  SelectPrinter(printer);
  try {
    viewer_->PrintRange(1, 9999);
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
  }
}

int TKivHelpWindow::SpinValue() const {
  bool ok = false;
  const int value = spinFontSize_->cleanText().trimmed().toInt(&ok);
  return ok ? std::clamp(value, MinHelpFontSize, MaxHelpFontSize) : MinHelpFontSize;
}

void TKivHelpWindow::spinFontSizeChange() {
  if (viewer_->DefFontSize() != SpinValue()) viewer_->SetDefFontSize(SpinValue());
  ReportState();
}

void TKivHelpWindow::bCopyClick() {
  viewer_->SelectAllText();
  viewer_->CopySelection();
  viewer_->CollapseSelection();
}

void TKivHelpWindow::CheckBox1Click() {
  if (pageKind_.empty()) return;
  const char* key = nullptr;
  if (pageKind_ == "start") key = "Show Start";
  if (pageKind_ == "getstart") key = "Getting Started";
  if (pageKind_ == "startup") key = "Show StartUp";
  if (key) IniFile(SettingsPath()).WriteBool(kSection, key, !checkBox1_->isChecked());
  ReportState();
}

void TKivHelpWindow::FormKeyPress(char key) {
  if (key == 27) close();
}

void TKivHelpWindow::bOKClick() {
  close();
}

void TKivHelpWindow::closeEvent(QCloseEvent* e) {
  FormClose();
  QWidget::closeEvent(e);
}

void TKivHelpWindow::FormClose() {
  if (closed_) return;
  closed_ = true;
  std::remove(NativePath(TempJpegPath()).c_str());
  IniFile(SettingsPath()).WriteInteger(kSection, kFontSizeKey, SpinValue());
  packageStream_.reset();
  // The program ends with this window: no later event would write it.
  WriteState();
}

void TKivHelpWindow::ViewerBitmapRequest(THTMLViewer*, const std::string& SRC,
                                         std::unique_ptr<Bitmap>& bitmap, TColor&) {
  if (!packageStream_ || !packageStream_->IsOpen()) return;
  bitmap =
      SupplyPageImage(package_->PackagePath(), *packageStream_, imageSource_, SRC, TempJpegPath());
  if (bitmap) ++imagesSupplied_;
}

void TKivHelpWindow::UpdateButtons() {
  bBack_->setEnabled(historyIndex_ > 0);
  bForward_->setEnabled(historyIndex_ < static_cast<int>(history_.size()) - 1);
}

void TKivHelpWindow::SetCaptionFromTitle() {
  setWindowTitle(ToQString(viewer_->Title()));
}

void TKivHelpWindow::ShowHistoryLabels() {
  label1_->setText(QString::number(history_.size()));
  label2_->setText(QString::number(historyIndex_));
}

void TKivHelpWindow::FocusViewer() {
  if (viewer_->isVisible()) viewer_->setFocus();
}

bool TKivHelpWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const QString text = static_cast<QKeyEvent*>(e)->text();
    if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape || text == QString(QChar(27))) {
      FormKeyPress(27);
      return true;
    }
  }
  if (e->type() == QEvent::Paint && viewer_ && watched == viewer_->PaintPanel()) {
    ++paintCount_;
    ReportState();
  }
  return QWidget::eventFilter(watched, e);
}

void TKivHelpWindow::SetStateFile(const std::string& path) {
  stateFile_ = path;
  ReportState();
}

void TKivHelpWindow::ReportState() {
  if (stateFile_.empty() || statePending_) return;
  // Written once the current event is over, so the snapshot includes what
  // the event did (layout, paint).
  statePending_ = true;
  QTimer::singleShot(0, this, [this] {
    statePending_ = false;
    WriteState();
  });
}

void TKivHelpWindow::WriteState() {
  if (stateFile_.empty()) return;
  QJsonObject o;
  o["caption"] = windowTitle();
  o["title"] = ToQString(viewer_->Title());
  o["pageKind"] = ToQString(pageKind_);
  o["imageSource"] = ToQString(imageSource_);
  QJsonArray history;
  for (const std::string& h : history_) history.append(ToQString(h));
  o["history"] = history;
  o["historyIndex"] = historyIndex_;
  o["backEnabled"] = bBack_->isEnabled();
  o["forwardEnabled"] = bForward_->isEnabled();
  o["printEnabled"] = bPrint_->isEnabled();
  o["topBar"] = !panel1_->isHidden();
  o["bottomBar"] = !panel2_->isHidden();
  o["checked"] = checkBox1_->isChecked();
  o["spinValue"] = SpinValue();
  o["fontSize"] = viewer_->DefFontSize();
  o["scrollY"] = viewer_->Document().ScrollY;
  o["docHeight"] = viewer_->DocHeight();
  o["pageLength"] = package_->PageLength();
  o["imagesSupplied"] = imagesSupplied_;
  o["paints"] = paintCount_;
  o["visible"] = isVisible();
  o["closed"] = closed_;
  o["pid"] = static_cast<qint64>(QCoreApplication::applicationPid());
  QSaveFile file(QString::fromStdString(stateFile_));
  if (file.open(QIODevice::WriteOnly)) {
    file.write(QJsonDocument(o).toJson(QJsonDocument::Compact));
    file.commit();
  }
}

}  // namespace kiv
