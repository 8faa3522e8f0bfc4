#include "app/kiv_help_window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QWindow>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/find_bar.h"
#include "app/help_search.h"
#include "app/page_image_supply.h"
#include "app/print_preview_window.h"
#include "app/search_indexer.h"
#include "app/string_helpers.h"
#include "app/toolbar_divider.h"
#include "app/toolbar_glyphs.h"
#include "app/window_placement.h"
#include "platform/ansi_case.h"
#include "platform/cp1252.h"
#include "platform/file_error.h"
#include "platform/ini_file.h"
#include "platform/local_channel.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/screen_canvas.h"
#include "platform/window_activation.h"
#include "reader/url_target.h"
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
constexpr int kDefaultFontSize = DefaultHelpFontSize;
// The search box at the toolbar's right end, and the room it leaves.
constexpr int kSearchBoxWidth = 150;
constexpr int kSearchBoxLeftmost = 350;
constexpr int kSearchBoxRightRoom = 6;
// Longest query taken from the search box.
constexpr int kMaxSearchLength = 1000;
// The pause after the last key typed in the search box before its results
// show, in milliseconds.
constexpr int kSearchPause = 250;
// A result's title as the results cursor finds it on the results page.
constexpr std::size_t kResultTitleFound = 100;
// History entries of the help's search results: the prefix and the query.
// Link targets never hold it: a target's ':' ends its path part.
constexpr const char* kSearchEntry = "search:";
// One notch of a wheel.
constexpr int kWheelNotch = 120;
// The toolbar is whole down to this width: the search box at its leftmost
// place with its room on the right.
constexpr int kToolbarMinimumWidth = kSearchBoxLeftmost + kSearchBoxWidth + kSearchBoxRightRoom;
// The least of the page a window keeps in sight.
constexpr int kMinimumPageHeight = 60;
// The clipboard text the state snapshot shows, at most.
constexpr int kStateTextLength = 200;

bool IsStartKind(const std::string& kind) {
  return kind == "start" || kind == "startup" || kind == "getstart";
}

QString ToQString(const std::string& cp1252) {
  return QString::fromStdU16String(Cp1252ToUtf16(cp1252));
}

// A flat toolbar button, named by its hint for readers; Tab reaches it and
// Space presses it. The tool tip shows its key, when it has one.
QToolButton* SpeedButton(QWidget* parent, int left, int width, TToolbarGlyph glyph,
                         const char* hint, const char* key = nullptr) {
  auto* b = new QToolButton(parent);
  b->setAutoRaise(true);
  b->setGeometry(left, 3, width, 25);
  b->setIcon(ToolbarGlyph(glyph));
  b->setIconSize(QSize(ToolbarGlyphSize, ToolbarGlyphSize));
  b->setAccessibleName(hint);
  b->setToolTip(key ? QString("%1 (%2)").arg(hint, key) : QString(hint));
  b->setFocusPolicy(Qt::TabFocus);
  return b;
}

// Widens w to needed when its text wants more room than its place on the bar
// gives (a larger platform font, rounding at another device ratio), moving
// what lies to its right along.
void WidenToFit(QWidget* w, int needed) {
  const int extra = needed - w->width();
  if (extra <= 0) return;
  const int right = w->geometry().right();
  for (QObject* child : w->parentWidget()->children()) {
    auto* sibling = qobject_cast<QWidget*>(child);
    if (sibling && sibling != w && sibling->x() > right)
      sibling->move(sibling->x() + extra, sibling->y());
  }
  w->resize(needed, w->height());
}

// The help window is a frame named by its caption for assistive
// technology (it has no meta object of its own).
QAccessibleInterface* HelpWindowAccessibleFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QWidget")) return nullptr;
  if (auto* window = dynamic_cast<TKivHelpWindow*>(object))
    return new QAccessibleWidget(window, QAccessible::Window);
  return nullptr;
}

bool IsSearchEntry(const std::string& target) {
  return target.rfind(kSearchEntry, 0) == 0;
}

}  // namespace

TKivHelpWindow::TKivHelpWindow(std::vector<std::string> args, std::string packagePath)
    : args_(std::move(args)), package_(std::make_unique<THelpPackage>(std::move(packagePath))) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(HelpWindowAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  CreateControls();
  FormCreate();
}

TKivHelpWindow::~TKivHelpWindow() {
  qApp->removeEventFilter(this);
  SetApplicationMessageHook({});
  SetRepeatedMessageBoxesShown(true);
  delete preview_;
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
  panel1_->setMinimumWidth(kToolbarMinimumWidth);
  bContents_ = SpeedButton(panel1_, 11, 79, TToolbarGlyph::Contents, "Go to the Help Contents Page",
                           "Alt+Home");
  bContents_->setText("Contents");
  bContents_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  new TToolbarDivider(panel1_, 94);
  bBack_ = SpeedButton(panel1_, 101, 25, TToolbarGlyph::Back, "Back to previous page", "Alt+Left");
  bForward_ = SpeedButton(panel1_, 130, 25, TToolbarGlyph::Forward, "Forward", "Alt+Right");
  new TToolbarDivider(panel1_, 160);
  bPrint_ = SpeedButton(panel1_, 168, 32, TToolbarGlyph::Print, "Print the current page", "Ctrl+P");
  new TToolbarDivider(panel1_, 205);
  label3_ = new QLabel("Font Size", panel1_);
  label3_->setGeometry(211, 3, 48, 25);
  spinFontSize_ = new QSpinBox(panel1_);
  spinFontSize_->setGeometry(261, 4, 40, 22);
  spinFontSize_->setRange(MinHelpFontSize, MaxHelpFontSize);
  spinFontSize_->setSingleStep(1);
  spinFontSize_->setValue(kDefaultFontSize);
  spinFontSize_->setAccessibleName("Font Size");
  label3_->setBuddy(spinFontSize_);
  new TToolbarDivider(panel1_, 306);
  bCopy_ = SpeedButton(panel1_, 314, 25, TToolbarGlyph::Copy, "Copy All text to Clipboard");
  new TToolbarDivider(panel1_, 344);
  WidenToFit(label3_, label3_->sizeHint().width());
  WidenToFit(spinFontSize_, spinFontSize_->minimumSizeHint().width());
  label1_ = new QLabel(panel1_);
  label1_->setGeometry(413, 8, 70, 16);
  label1_->hide();
  label2_ = new QLabel(panel1_);
  label2_->setGeometry(493, 8, 50, 16);
  label2_->hide();
  layout->addWidget(panel1_);

  viewer_ = new THTMLViewer(this);
  viewer_->setMinimumHeight(kMinimumPageHeight);
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
  // The link under the pointer is part of the reported state.
  viewer_->OnHotSpotCovered = [this](THTMLViewer*, const std::string&) { ReportState(); };
  layout->addWidget(viewer_, 1);
  findBar_ = new TFindBar(viewer_, this);
  findBar_->OnChange = [this] { ReportState(); };
  layout->addWidget(findBar_);

  panel2_ = new QWidget(this);
  panel2_->setFixedHeight(kBarHeight);
  checkBox1_ = new QCheckBox("Do not Show this Message Again", panel2_);
  checkBox1_->setGeometry(18, 7, 283, 17);
  bOK_ = new QPushButton(ToolbarGlyph(TToolbarGlyph::OK, QPalette::Button), "OK", panel2_);
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

  CreateReaderControls();

  // Keys are previewed by the form; paints of the page are counted.
  qApp->installEventFilter(this);
  if (viewer_->PaintPanel()) viewer_->PaintPanel()->installEventFilter(this);

  // Centred on the screen, unless the place it had last time is still there.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
  if (const auto saved = ReadWindowPlacement(SettingsPath(), kSection))
    RestorePlacement(*this, *saved);
}

void TKivHelpWindow::CreateReaderControls() {
  if (const char* file = std::getenv("KIVHELP_PRINT_FILE"); file && *file) printFile_ = file;

  searchBox_ = new QLineEdit(panel1_);
  searchBox_->setPlaceholderText("Search the help");
  searchBox_->setToolTip("Search all help pages (Ctrl+K)");
  searchBox_->setAccessibleName("Search the help");
  searchBox_->setClearButtonEnabled(true);
  // The box's clear button is a control of its own for screen readers.
  for (QToolButton* clear : searchBox_->findChildren<QToolButton*>())
    clear->setAccessibleName("Clear the search");
  searchBox_->setMaxLength(kMaxSearchLength);
  PlaceSearchBox();
  panel1_->installEventFilter(this);
  connect(searchBox_, &QLineEdit::returnPressed, this, [this] { SearchHelp(); });
  searchTimer_ = new QTimer(this);
  searchTimer_->setSingleShot(true);
  searchTimer_->setInterval(kSearchPause);
  connect(searchTimer_, &QTimer::timeout, this, [this] { SearchAsTyped(); });
  connect(searchBox_, &QLineEdit::textEdited, this, [this] { searchTimer_->start(); });
  indexer_ = new TSearchIndexer(NativePath(package_->PackagePath()), this);
  indexer_->OnReady = [this] {
    if (openWhenIndexed_) {
      SearchHelp();
    } else if (searchBox_->hasFocus() && !searchBox_->text().isEmpty()) {
      SearchAsTyped();
    }
  };

  printMenu_ = new QMenu(bPrint_);
  printMenu_->addAction("&Print...", this, [this] { PrintPage(); });
  printMenu_->addAction("Print Pre&view", this, [this] { ShowPrintPreview(); });
  bPrint_->setMenu(printMenu_);
  connect(printMenu_, &QMenu::aboutToShow, this, [this] { ReportState(); });
  connect(printMenu_, &QMenu::aboutToHide, this, [this] { ReportState(); });
  // A click prints as before; holding the button or a right click opens
  // the menu.
  bPrint_->setPopupMode(QToolButton::DelayedPopup);
  bPrint_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(bPrint_, &QToolButton::customContextMenuRequested, this, [this](const QPoint& p) {
    if (PrintAllowed()) printMenu_->popup(bPrint_->mapToGlobal(p));
  });

  const auto key = [this](const QKeySequence& sequence, std::function<void()> action) {
    auto* shortcut = new QShortcut(sequence, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
  };
  key(QKeySequence(Qt::CTRL | Qt::Key_F), [this] { findBar_->Open(); });
  key(QKeySequence(Qt::Key_F3), [this] { findBar_->FindNext(); });
  key(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findBar_->FindPrevious(); });
  // Plus is shifted on most keyboards: Ctrl with "=" or the keypad's "+".
  key(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { ZoomBy(1); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { ZoomBy(1); });
  key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), [this] { ZoomBy(1); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { ZoomBy(-1); });
  key(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { ZoomReset(); });
  const auto focusSearch = [this] {
    if (!panel1_->isVisible()) return;
    searchBox_->setFocus(Qt::ShortcutFocusReason);
    searchBox_->selectAll();
    ReportState();
  };
  key(QKeySequence(Qt::CTRL | Qt::Key_K), focusSearch);
  key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), focusSearch);
  key(QKeySequence(Qt::SHIFT | Qt::Key_F10), [this] { ShowPageMenu({}, true); });
  key(QKeySequence(Qt::CTRL | Qt::Key_P), [this] {
    if (PrintAllowed()) PrintPage();
  });
  key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), [this] {
    if (PrintAllowed()) ShowPrintPreview();
  });
  // The history and the contents from the keyboard, as the buttons do.
  key(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { StepHistory(bBack_); });
  key(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { StepHistory(bForward_); });
  key(QKeySequence(Qt::ALT | Qt::Key_Home), [this] {
    if (!panel1_->isHidden()) bContentsClick();
  });

  // Tab goes from the page's last link along the toolbar and back to the
  // page; the find bar's box and the bottom bar follow when shown.
  QWidget* const order[] = {viewer_,          bContents_,    bBack_, bForward_,
                            bPrint_,          spinFontSize_, bCopy_, searchBox_,
                            findBar_->Edit(), checkBox1_,    bOK_};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  // The clipboard and the keyboard focus are part of the reported state.
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ReportState(); });
  connect(qApp, &QApplication::focusChanged, this, [this] { ReportState(); });
}

void TKivHelpWindow::StepHistory(QToolButton* button) {
  // Only as far as the button itself could go, and not without the toolbar.
  if (button->isEnabled() && !panel1_->isHidden()) ForwardBackClick(button);
}

bool TKivHelpWindow::PrintAllowed() const {
  // The start-up kinds show no toolbar and so offer no printing.
  return bPrint_->isEnabled() && !panel1_->isHidden();
}

void TKivHelpWindow::PlaceSearchBox() {
  const int left =
      std::max(kSearchBoxLeftmost, panel1_->width() - kSearchBoxWidth - kSearchBoxRightRoom);
  searchBox_->setGeometry(left, 4, kSearchBoxWidth, 22);
}

void TKivHelpWindow::FormCreate() {
  RegisterHelpMessage();
  SetApplicationMessageHook(
      [this](TMsg& msg, bool& handled) { HandleAppMessage(msg, handled, *this); });
  // The channel other starts reach this instance through. Only the holder of
  // the instance lock listens, so a channel left by an ended instance may be
  // replaced but a live one never is.
  if (HoldsInstanceLock()) {
    channel_ = std::make_unique<LocalChannelServer>(HandOffChannelName(), HelpMessageName);
    std::string error;
    if (!channel_->Listen(&error)) {
      // Nobody could hand a request to this window: later starts open their
      // own instead of reaching no one.
      std::fprintf(stderr, "kivhelp: cannot receive requests from later starts: %s\n",
                   error.c_str());
      ReleaseInstanceLock();
      channel_.reset();
    }
  }
  // A failure repeated during one page load (fifty broken pictures) raises
  // one box.
  SetRepeatedMessageBoxesShown(false);
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
  // The search index is built once the first page is on the screen.
  QTimer::singleShot(0, this, [this] {
    if (!closed_ && FileExists(NativePath(package_->PackagePath()))) indexer_->Start();
  });
}

std::string TKivHelpWindow::SettingsPath() const {
  return ExeDir() + "\\kivmap.ini";
}

void TKivHelpWindow::LoadPage(const std::string& fileName, bool showRequest) {
  try {
    package_->LoadPage(fileName, showRequest);
  } catch (...) {
    imageSource_ = package_->ImageSource();
    throw;
  }
  imageSource_ = package_->ImageSource();
}

void TKivHelpWindow::LoadBuffer() {
  ForgetShownMessageBoxes();
  noImages_.clear();
  viewer_->LoadDocumentBuffer(package_->PageBuffer(),
                              static_cast<std::size_t>(package_->PageLength()));
  DocumentChanged();
}

void TKivHelpWindow::DocumentChanged() {
  resultCursor_ = -1;
  findBar_->DocumentChanged();
  if (preview_) preview_->Refresh();
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
      BringToFront({});
    }
    LoadPage(package_->PageHoldingAnchor(fileName, anchor), true);
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

void TKivHelpWindow::BringToFront(const std::string& activationToken) {
  // Restores the window if it was minimised and raises it above the others.
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  if (!isVisible()) show();
  const bool presented = ActivateWindow(*this, activationToken);
  // Only a hand-off brings a token; the window's own calls leave the last
  // hand-off's record alone.
  if (!activationToken.empty()) {
    lastActivationToken_ = activationToken;
    activationTokenPresented_ = presented;
    ReportState();
  }
}

void TKivHelpWindow::NavigateTo(const std::string& target) {
  if (IsSearchEntry(target)) {
    ShowSearchResults(target.substr(std::string_view(kSearchEntry).size()));
    return;
  }
  std::string file = target, anchor;
  if (std::size_t hash = target.find('#'); hash != std::string::npos) {
    file = target.substr(0, hash);
    anchor = target.substr(hash, MaxTargetAnchorLength);
  }
  if (!IsBlank(file)) {
    const std::size_t sep = file.find_last_of("\\:");
    LoadPage(package_->PageHoldingAnchor(sep == std::string::npos ? file : file.substr(sep + 1),
                                         anchor));
    LoadBuffer();
  }
  if (!IsBlank(anchor)) viewer_->ScrollToAnchor(anchor);
}

void TKivHelpWindow::ViewerHotSpotClick(THTMLViewer*, const std::string& SRC, bool& Handled) {
  Handled = true;
  const bool fromResults = historyIndex_ >= 0 &&
                           historyIndex_ < static_cast<int>(history_.size()) &&
                           IsSearchEntry(history_[static_cast<std::size_t>(historyIndex_)]);
  try {
    NavigateTo(SRC);
    if (fromResults) SelectSearchHit(SRC);
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
  // Shift with the click: the preview instead.
  if (QApplication::keyboardModifiers() & Qt::ShiftModifier) {
    ShowPrintPreview();
    return;
  }
  PrintPage();
}

void TKivHelpWindow::PrintPage() {
  if (!printFile_.empty()) {
    // Unattended: into the file given, without asking.
    SelectedPrinter().OutputFileName = QString::fromStdString(printFile_);
    try {
      viewer_->PrintRange(1, 9999);
    } catch (const std::exception& e) {
      ShowErrorBox(e.what());
    }
    ReportState();
    return;
  }
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
  if (viewer_->DefFontSize() != SpinValue()) {
    viewer_->SetDefFontSize(SpinValue());
    // The printout follows the size.
    if (preview_) preview_->Refresh();
  }
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

void TKivHelpWindow::ZoomBy(int steps) {
  const int size = std::clamp(SpinValue() + steps, MinHelpFontSize, MaxHelpFontSize);
  if (size != spinFontSize_->value()) spinFontSize_->setValue(size);
  ReportState();
}

void TKivHelpWindow::ZoomReset() {
  if (spinFontSize_->value() != kDefaultFontSize || SpinValue() != kDefaultFontSize)
    spinFontSize_->setValue(kDefaultFontSize);
  // The box may already show 12 while the viewer has another size (one
  // read from the settings beyond the box's range).
  if (viewer_->DefFontSize() != kDefaultFontSize) viewer_->SetDefFontSize(kDefaultFontSize);
  ReportState();
}

std::string TKivHelpWindow::LinkAtViewerPoint(const QPoint& viewerPos) const {
  const QWidget* panel = viewer_->PaintPanel();
  if (!panel) return {};
  const QPoint p = viewerPos - panel->pos();
  if (!panel->rect().contains(p)) return {};
  TUrlTarget target;
  TSectionList& document = viewer_->Document();
  if (!document.LinkAt(ScreenCanvas(), p.x(), p.y() + document.ScrollY, target)) return {};
  return target.Url;
}

void TKivHelpWindow::ShowPageMenu(const QPoint& viewerPos, bool fromKeyboard) {
  if (!viewer_->isVisible()) return;
  if (pageMenu_) pageMenu_->close();
  const std::string link = fromKeyboard ? std::string() : LinkAtViewerPoint(viewerPos);
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  QAction* copy = menu->addAction("&Copy", this, [this] {
    viewer_->CopySelection();
    ReportState();
  });
  copy->setEnabled(viewer_->Document().SelStart < viewer_->Document().SelEnd);
  menu->addAction("Select &All", this, [this] {
    viewer_->SelectAllText();
    ReportState();
  });
  menu->addSeparator();
  menu->addAction("&Back", this, [this] { ForwardBackClick(bBack_); })
      ->setEnabled(bBack_->isEnabled() && !panel1_->isHidden());
  menu->addAction("&Forward", this, [this] { ForwardBackClick(bForward_); })
      ->setEnabled(bForward_->isEnabled() && !panel1_->isHidden());
  if (!link.empty()) {
    menu->addSeparator();
    menu->addAction("Copy &Link Location", this, [this, link] {
      QGuiApplication::clipboard()->setText(ToQString(link));
      ReportState();
    });
  }
  menu->addSeparator();
  menu->addAction("&Print...", this, [this] { PrintPage(); })->setEnabled(PrintAllowed());
  pageMenu_ = menu;
  connect(menu, &QMenu::aboutToHide, this, [this, menu] {
    if (pageMenu_ == menu) pageMenu_ = nullptr;
    ReportState();
  });
  // From the keyboard the menu opens at the view's top left corner.
  const QPoint at = fromKeyboard ? QPoint(20, 20) : viewerPos;
  menu->popup(viewer_->mapToGlobal(at));
  ReportState();
}

void TKivHelpWindow::ShowPrintPreview() {
  if (!preview_) {
    preview_ = new TPrintPreviewWindow(viewer_, [this] { PrintPage(); });
    preview_->OnChange = [this] { ReportState(); };
  }
  preview_->ShowPreview();
  ReportState();
}

std::string TKivHelpWindow::SearchBoxQuery() const {
  // Typed in Unicode: the search folds it in each page's code page.
  return searchBox_->text().toStdString();
}

bool TKivHelpWindow::ShowingResults() const {
  return historyIndex_ >= 0 && historyIndex_ < static_cast<int>(history_.size()) &&
         IsSearchEntry(history_[static_cast<std::size_t>(historyIndex_)]);
}

void TKivHelpWindow::SearchHelp() {
  searchTimer_->stop();
  const std::string query = SearchBoxQuery();
  if (query.empty()) return;
  // The index is still being built: the first result opens once it is.
  openWhenIndexed_ = !indexer_->Current() && !indexer_->Failed();
  if (openWhenIndexed_) return;
  // The results typed for are in history already; others take their place.
  const bool shown = ShowingResults() && searchQuery_ == query;
  if (!shown && !ShowResultsEntry(query, ShowingResults())) return;
  if (searchResults_.results.empty()) {
    FocusViewer();
    return;
  }
  bool handled = false;
  ViewerHotSpotClick(viewer_, searchResults_.results.front().Link(), handled);
  FocusViewer();
  ReportState();
}

void TKivHelpWindow::SearchAsTyped() {
  const std::string query = SearchBoxQuery();
  if (TrimBlanks(query).empty()) return;
  // Typing never waits for the index: the results come when it is built.
  if (!indexer_->Current()) return;
  if (ShowingResults() && searchQuery_ == query) return;
  ShowResultsEntry(query, ShowingResults());
}

void TKivHelpWindow::SearchHelp(const std::string& query) {
  if (ShowResultsEntry(query, false)) FocusViewer();
  ReportState();
}

bool TKivHelpWindow::ShowResultsEntry(const std::string& query, bool replace) {
  try {
    ShowSearchResults(query);
  } catch (...) {
    // The help could not be read: the window keeps what it showed.
    ReportState();
    return false;
  }
  if (replace) {
    history_[static_cast<std::size_t>(historyIndex_)] = kSearchEntry + query;
  } else {
    history_.resize(static_cast<std::size_t>(historyIndex_) + 1);
    history_.push_back(kSearchEntry + query);
    historyIndex_ = static_cast<int>(history_.size()) - 1;
  }
  ShowHistoryLabels();
  UpdateButtons();
  SetCaptionFromTitle();
  ReportState();
  return true;
}

void TKivHelpWindow::ShowSearchResults(const std::string& query) {
  const SearchIndex* index = indexer_->Wait();
  if (!index) throw CantLocateFile(package_->PackagePath());
  searchResults_ = HelpSearch(*index).Search(query);
  const std::string page = SearchResultsPage(query, searchResults_);
  searchQuery_ = query;
  viewer_->LoadDocumentBuffer(page.data(), page.size());
  DocumentChanged();
}

void TKivHelpWindow::SelectSearchHit(const std::string& target) {
  for (const HelpSearchResult& r : searchResults_.results) {
    if (!AnsiSameText(r.Link(), target) && !AnsiSameText(r.fileName, target)) continue;
    if (!r.findWords.empty()) findBar_->FindWords(r.findWords, r.hitOrdinal);
    return;
  }
}

void TKivHelpWindow::MoveResultCursor(int index) {
  const auto& results = searchResults_.results;
  if (results.empty()) return;
  index = std::clamp(index, 0, static_cast<int>(results.size()) - 1);
  // The result's number and title begin its line on the results page.
  const HelpSearchResult& r = results[static_cast<std::size_t>(index)];
  const std::string title = r.title.empty() ? CodePageToUtf8(r.codePage, r.fileName) : r.title;
  // The results page is in a code page of its own choosing.
  const std::string line =
      Utf8ToCodePage(viewer_->TextCodePage(), std::to_string(index + 1) + ". " + title)
          .substr(0, kResultTitleFound);
  const int at = viewer_->FindText(0, line, true);
  if (at < 0) return;
  resultCursor_ = index;
  viewer_->SelectRange(at, static_cast<int>(line.size()));
  ReportState();
}

bool TKivHelpWindow::SearchKey(QObject* watched, QKeyEvent* key) {
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) return false;
  if (watched == searchBox_ && key->key() == Qt::Key_Down) {
    // Results of what was typed last, without waiting for the pause.
    if (searchTimer_->isActive()) {
      searchTimer_->stop();
      SearchAsTyped();
    }
    if (!ShowingResults() || searchResults_.results.empty()) return false;
    FocusViewer();
    MoveResultCursor(0);
    return true;
  }
  const bool inViewer =
      watched->isWidgetType() &&
      (watched == viewer_ || viewer_->isAncestorOf(static_cast<QWidget*>(watched)));
  if (!inViewer || resultCursor_ < 0 || !ShowingResults()) return false;
  switch (key->key()) {
    case Qt::Key_Down:
      MoveResultCursor(resultCursor_ + 1);
      return true;
    case Qt::Key_Up:
      if (resultCursor_ == 0) {
        resultCursor_ = -1;
        viewer_->CollapseSelection();
        searchBox_->setFocus(Qt::OtherFocusReason);
        ReportState();
      } else {
        MoveResultCursor(resultCursor_ - 1);
      }
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      bool handled = false;
      const std::string link =
          searchResults_.results[static_cast<std::size_t>(resultCursor_)].Link();
      ViewerHotSpotClick(viewer_, link, handled);
      return true;
    }
    default:
      return false;
  }
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
  WriteWindowPlacement(SettingsPath(), kSection, PlacementOf(*this));
  packageStream_.reset();
  // A preview left open would keep the program running without its window.
  if (preview_) preview_->close();
  // The program ends with this window: no later event would write it.
  WriteState();
}

void TKivHelpWindow::ViewerBitmapRequest(THTMLViewer*, const std::string& SRC,
                                         std::unique_ptr<Bitmap>& bitmap, TColor&) {
  if (!packageStream_ || !packageStream_->IsOpen()) return;
  // A picture that could not be had is asked for again at each use: the
  // package is searched for it once per page load.
  const std::string key = UpperText(SRC);
  if (noImages_.count(key)) return;
  ++imageLookups_;
  bitmap =
      SupplyPageImage(package_->PackagePath(), *packageStream_, imageSource_, SRC, TempJpegPath());
  if (bitmap) {
    ++imagesSupplied_;
  } else {
    noImages_.insert(key);
  }
}

void TKivHelpWindow::UpdateButtons() {
  bBack_->setEnabled(historyIndex_ > 0);
  bForward_->setEnabled(historyIndex_ < static_cast<int>(history_.size()) - 1);
}

QString TKivHelpWindow::PageQString(const std::string& text) const {
  return QString::fromStdU16String(CodePageToUtf16(viewer_->TextCodePage(), text));
}

void TKivHelpWindow::SetCaptionFromTitle() {
  setWindowTitle(PageQString(viewer_->Title()));
}

void TKivHelpWindow::ShowHistoryLabels() {
  label1_->setText(QString::number(history_.size()));
  label2_->setText(QString::number(historyIndex_));
}

void TKivHelpWindow::FocusViewer() {
  if (viewer_->isVisible()) viewer_->setFocus();
}

void TKivHelpWindow::KeepLogicalSize() {
  // A window system that keeps a window's device pixels across screens (X11)
  // would leave it half or twice as wide in logical pixels on a screen of
  // another ratio. Asked for at once, while the toolkit still holds the old
  // logical size, the new device size is what the following geometry change
  // reads, so the widgets are never resized in between.
  QWindow* window = windowHandle();
  if (!window || isMaximized() || isFullScreen()) return;
  if (window->size() != size()) window->resize(size());
}

bool TKivHelpWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::ScreenChangeInternal && watched == this) KeepLogicalSize();
  if (e->type() == QEvent::KeyPress && SearchKey(watched, static_cast<QKeyEvent*>(e))) return true;
  if (e->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    // The mouse's back and forward buttons walk the history.
    const Qt::MouseButton button = static_cast<QMouseEvent*>(e)->button();
    if (button == Qt::BackButton || button == Qt::ForwardButton) {
      StepHistory(button == Qt::BackButton ? bBack_ : bForward_);
      return true;
    }
  }
  if (e->type() == QEvent::KeyPress && watched == viewer_) {
    // Backspace in the page goes back, with Shift forward.
    const auto* key = static_cast<QKeyEvent*>(e);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_Backspace && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
      StepHistory(mods == Qt::ShiftModifier ? bForward_ : bBack_);
      return true;
    }
  }
  if (e->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const QString text = static_cast<QKeyEvent*>(e)->text();
    if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape || text == QString(QChar(27))) {
      // An open find bar closes first; the window only without one.
      if (!findBar_->isHidden()) {
        findBar_->Close();
        return true;
      }
      FormKeyPress(27);
      return true;
    }
  }
  const bool inViewer =
      watched->isWidgetType() &&
      (watched == viewer_ || viewer_->isAncestorOf(static_cast<QWidget*>(watched)));
  if (e->type() == QEvent::Wheel && inViewer) {
    auto* wheel = static_cast<QWheelEvent*>(e);
    if (wheel->modifiers() & Qt::ControlModifier) {
      // Ctrl with the wheel zooms: a notch a step, away from the reader
      // larger.
      wheelZoom_ += wheel->angleDelta().y();
      const int steps = wheelZoom_ / kWheelNotch;
      wheelZoom_ -= steps * kWheelNotch;
      if (steps != 0) ZoomBy(steps);
      return true;
    }
  }
  if (e->type() == QEvent::ContextMenu && inViewer) {
    auto* menu = static_cast<QContextMenuEvent*>(e);
    const QPoint at = static_cast<QWidget*>(watched)->mapTo(viewer_, menu->pos());
    ShowPageMenu(at, menu->reason() == QContextMenuEvent::Keyboard);
    return true;
  }
  if (e->type() == QEvent::Resize && watched == panel1_) PlaceSearchBox();
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
  o["devicePixelRatio"] = devicePixelRatioF();
  // Where the page lies in the window, in logical pixels.
  const QPoint pageAt = viewer_->PaintPanel()->mapTo(this, QPoint(0, 0));
  o["pageRect"] = QJsonArray{pageAt.x(), pageAt.y(), viewer_->PaintPanel()->width(),
                             viewer_->PaintPanel()->height()};
  o["fontSizeLabel"] =
      QJsonObject{{"width", label3_->width()}, {"textWidth", label3_->sizeHint().width()}};
  o["title"] = PageQString(viewer_->Title());
  o["pageKind"] = ToQString(pageKind_);
  o["imageSource"] = ToQString(imageSource_);
  QJsonArray history;
  // Search entries hold the query as typed, in UTF-8.
  for (const std::string& h : history_)
    history.append(IsSearchEntry(h) ? QString::fromStdString(h) : ToQString(h));
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
  // Grows with every load and layout of the page.
  o["pageGeneration"] = static_cast<qint64>(viewer_->PageGeneration());
  o["pageLength"] = package_->PageLength();
  o["imagesSupplied"] = imagesSupplied_;
  o["paints"] = paintCount_;
  o["visible"] = isVisible();
  o["closed"] = closed_;
  o["pid"] = static_cast<qint64>(QCoreApplication::applicationPid());
  o["platform"] = QGuiApplication::platformName();
  o["activationToken"] = QString::fromStdString(lastActivationToken_);
  o["activationTokenPresented"] = activationTokenPresented_;
  QJsonObject find;
  find["visible"] = !findBar_->isHidden();
  find["text"] = findBar_->Edit()->text();
  find["matchCase"] = findBar_->MatchCaseBox()->isChecked();
  find["count"] = findBar_->CountText();
  find["message"] = findBar_->Message();
  find["focused"] = findBar_->Edit()->hasFocus();
  o["find"] = find;
  o["hoverUrl"] = ToQString(viewer_->HoverUrl());
  // The keyboard focus: the stop of the page that has it and the widget.
  const int stop = viewer_->FocusedStop();
  o["focusedStop"] = stop;
  o["focusedLink"] = stop >= 0 && stop < viewer_->Stops().Count()
                         ? ToQString(viewer_->Stops()[stop].Url)
                         : QString();
  for (const QWidget* w = QApplication::focusWidget(); w && w != this; w = w->parentWidget()) {
    // The named control holding the focus (a spin box's own line edit is
    // part of the box).
    if (w == viewer_ || !w->accessibleName().isEmpty()) {
      o["focus"] = w == viewer_ ? QString("page") : w->accessibleName();
      break;
    }
  }
  o["selStart"] = viewer_->Document().SelStart;
  o["selEnd"] = viewer_->Document().SelEnd;
  o["selectedText"] = PageQString(viewer_->SelectedText().substr(0, kStateTextLength));
  o["clipboard"] = QGuiApplication::clipboard()->text().left(kStateTextLength);
  o["searchText"] = searchBox_->text().left(kStateTextLength);
  o["searchFocused"] = searchBox_->hasFocus();
  o["searchVisible"] = searchBox_->isVisibleTo(this);
  QJsonArray results;
  for (const HelpSearchResult& r : searchResults_.results) results.append(ToQString(r.Link()));
  o["searchResults"] = results;
  o["resultCursor"] = resultCursor_;
  o["searchIndexed"] = indexer_->HasIndex();
  if (pageMenu_) {
    QJsonArray items;
    for (QAction* a : pageMenu_->actions()) {
      if (a->isSeparator() || !a->isVisible()) continue;
      items.append(
          QJsonObject{{"text", a->text().remove('&').remove("...")}, {"enabled", a->isEnabled()}});
    }
    o["contextMenu"] = items;
  }
  if (printMenu_->isVisible()) o["printMenu"] = true;
  if (preview_) {
    QJsonObject preview;
    preview["visible"] = preview_->isVisible();
    preview["pages"] = preview_->PageCount();
    preview["page"] = preview_->CurrentPage();
    preview["error"] = preview_->Error();
    o["preview"] = preview;
  }
  QSaveFile file(QString::fromStdString(stateFile_));
  if (file.open(QIODevice::WriteOnly)) {
    file.write(QJsonDocument(o).toJson(QJsonDocument::Compact));
    file.commit();
  }
}

}  // namespace kiv
