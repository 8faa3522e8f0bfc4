#include "viewer/html_viewer.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <exception>
#include <fstream>
#include <istream>

#include "platform/ansi_case.h"
#include "platform/canvas.h"
#include "platform/color_contrast.h"
#include "platform/file_error.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/qt_window_control.h"
#include "platform/screen_canvas.h"
#include "reader/charset_declaration.h"
#include "viewer/accessible_document.h"
#include "viewer/document_painter.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace kiv {

// The paint box behind the panel: its one-pixel frame is the viewer's border.
class TBorderBox : public QWidget {
 public:
  explicit TBorderBox(THTMLViewer* viewer) : QWidget(viewer), viewer_(viewer) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const TColor c = ColorToRGB(viewer_->BorderColor());
    const QColor color(GetRValue(c), GetGValue(c), GetBValue(c));
    // The frame's four sides as filled pixels, so that at every device
    // ratio each side covers its whole logical pixel and nothing more.
    const int w = width(), h = height();
    painter.fillRect(QRect(0, 0, w, 1), color);
    painter.fillRect(QRect(0, h - 1, w, 1), color);
    painter.fillRect(QRect(0, 0, 1, h), color);
    painter.fillRect(QRect(w - 1, 0, 1, h), color);
  }

 private:
  THTMLViewer* viewer_;
};

namespace {

// Least contrast of the focus frame against the background around the page.
constexpr double MinFrameContrast = 3.0;

// How much of a file or stream is searched for the page's charset: as much as
// a page may hold.
constexpr std::size_t kDeclarationWindow = 128000;

std::string ReadHead(std::istream& stream) {
  std::string head(kDeclarationWindow, '\0');
  stream.clear();
  stream.seekg(0);
  stream.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, stream.gcount())));
  stream.clear();
  stream.seekg(0);
  return head;
}

std::string ReadFileHead(const std::string& fileName) {
  std::ifstream in(NativePath(fileName), std::ios::binary);
  return in ? ReadHead(in) : std::string();
}

std::string JoinHead(const std::vector<std::string>& lines) {
  std::string head;
  for (const std::string& line : lines) {
    if (head.size() >= kDeclarationWindow) break;
    head += line;
    head += '\r';
  }
  return head;
}

QEvent::Type PrivateEvent(int message) {
  return static_cast<QEvent::Type>(QEvent::User + message);
}

// Sets the viewer's Processing for a scope, also when the scope is left by
// an exception.
class ProcessingScope {
 public:
  explicit ProcessingScope(THTMLViewer& viewer) : viewer_(viewer) { viewer_.SetProcessing(true); }
  ~ProcessingScope() { viewer_.SetProcessing(false); }
  ProcessingScope(const ProcessingScope&) = delete;
  ProcessingScope& operator=(const ProcessingScope&) = delete;

 private:
  THTMLViewer& viewer_;
};

// Shows the hourglass for a scope.
class WaitCursor {
 public:
  WaitCursor() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
      QApplication::setOverrideCursor(Qt::WaitCursor), active_ = true;
  }
  ~WaitCursor() {
    if (active_) QApplication::restoreOverrideCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool active_ = false;
};

class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

std::string Upper(std::string s) {
  for (char& c : s) c = AnsiUpper(c);
  return s;
}

}  // namespace

THTMLViewer::THTMLViewer(QWidget* parent) : QWidget(parent) {
  InstallViewerAccessibility();
  resize(DefaultViewerSize, DefaultViewerSize);
  setCursor(Qt::IBeamCursor);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);

  borderBox_ = new TBorderBox(this);
  borderBox_->setGeometry(rect());

  paintPanel_ = new TPaintPanel(this);
  paintPanel_->move(1, 1);
  paintPanel_->setCursor(cursor());

  vScrollBar_ = new T32ScrollBar(Qt::Vertical, this);
  vScrollBar_->SetSmallChange(VScrollSmallChange);
  vScrollBar_->setFocusPolicy(Qt::NoFocus);
  vScrollBar_->setFixedWidth(ViewerScrollBarWidth);
  vScrollBar_->hide();
  scrollBarWidth_ = ViewerScrollBarWidth;
  vScrollBar_->OnScroll = [this](int action, std::int32_t position) {
    setFocus(Qt::OtherFocusReason);
    std::int64_t y = document_->ScrollY;
    switch (action) {
      case QAbstractSlider::SliderMove:
        y = position;
        break;
      case QAbstractSlider::SliderSingleStepAdd:
        y += vScrollBar_->SmallChange();
        break;
      case QAbstractSlider::SliderSingleStepSub:
        y -= vScrollBar_->SmallChange();
        break;
      case QAbstractSlider::SliderPageStepAdd:
        y += vScrollBar_->LargeChange();
        break;
      case QAbstractSlider::SliderPageStepSub:
        y -= vScrollBar_->LargeChange();
        break;
      case QAbstractSlider::SliderToMinimum:
        y = 0;
        break;
      case QAbstractSlider::SliderToMaximum:
        y = docHeight_ - PanelHeight();
        break;
      default:
        break;
    }
    ScrollVerticallyTo(static_cast<int>(std::clamp<std::int64_t>(y, 0, MaxScrollY())));
  };

  hScrollBar_ = new QScrollBar(Qt::Horizontal, this);
  hScrollBar_->setSingleStep(HScrollSmallChange);
  hScrollBar_->setFocusPolicy(Qt::NoFocus);
  hScrollBar_->setFixedHeight(ViewerScrollBarWidth);
  hScrollBar_->hide();
  connect(hScrollBar_, &QScrollBar::valueChanged, this, [this](int x) { HScrollChanged(x); });

  borderBox_->lower();

  document_ = std::make_unique<TSectionList>(this, ControlParentHandle(paintPanel_));
  document_->BackgroundChanged = [this](TSectionList& document) {
    paintPanel_->SetColor(PaletteRelative(document.Background));
  };
  document_->ImageFileName = [this](const std::string& name) { return ExpandSourceName(name); };
  document_->ShowImages = false;
  document_->SetDefaults(defFontName_, defPreFontName_, defFontSize_, defFontColor_,
                         defHotSpotColor_, defBackground_);
  document_->CharSet = charSet_;
  if (document_->ImageCache) document_->ImageCache->SetMaxAge(imageCacheCount_);

  OnBitmapRequest.OnAssigned([this] { document_->ImageRequest = OnBitmapRequest.Get(); });
  OnScript.OnAssigned([this] {
    if (OnScript) {
      document_->ScriptHandler = [this](TSectionList&, const std::string& language,
                                        const std::string& script) {
        if (OnScript) OnScript(this, language, script.c_str());
      };
    } else {
      document_->ScriptHandler = nullptr;
    }
  });
  OnFormSubmit.OnAssigned([this] {
    if (OnFormSubmit) {
      document_->FormSubmitHandler = [this](auto&&... args) {
        SubmitFromDocument(std::forward<decltype(args)>(args)...);
      };
    } else {
      document_->FormSubmitHandler = nullptr;
    }
  });

  autoScrollTimer_.setInterval(AutoScrollInterval);
  connect(&autoScrollTimer_, &QTimer::timeout, this, [this] { AutoScrollStep(); });

  ArrangeScrollBars();
}

THTMLViewer::~THTMLViewer() {
  autoScrollTimer_.stop();
  // The link children point into the page that goes now.
  if (accessibleDocument_) {
    accessibleDocument_->ReleaseLinks(false);
    accessibleDocument_->ViewerGone();
  }
  nameList_.clear();
  // The document goes before the panel its controls may live on.
  document_.reset();
}

// --- loading -------------------------------------------------------------------

void THTMLViewer::PrepareLoad() {
  ForgetStops();
  document_->Clear();
  if (document_->ImageCache) document_->ImageCache->AgeAll();
  document_->CharSet = charSet_;
  document_->SetDefaults(defFontName_, defPreFontName_, defFontSize_, defFontColor_,
                         defHotSpotColor_, defBackground_);
  nameList_.clear();
  selCaret_ = 0;
  selAnchor_ = -1;
}

CodePage THTMLViewer::TextCodePage() const {
  return document_->TextCodePage();
}

void THTMLViewer::TakeDeclaredCharSet(std::string_view page) {
  // A page that declares its code page is read in it: drawing, copying,
  // finding and the caption follow; any other keeps the viewer's CharSet.
  if (const std::optional<CodePage> declared = DeclaredCodePage(page))
    document_->CharSet = static_cast<std::uint8_t>(CharsetOfCodePage(*declared));
}

void THTMLViewer::TakeAnchors(const TAnchorList& anchors) {
  // The first section that names an anchor keeps it.
  for (const auto& [name, section] : anchors) nameList_.emplace(name, section);
}

void THTMLViewer::FinishLoad(const TParseResult& result) {
  title_ = result.DocTitle;
  base_ = result.DocBase;
  baseTarget_ = result.DocBaseTarget;
  {
    FlagScope laying(layingOut_);
    if (document_->ShowImages) document_->BackgroundImageFetched();
  }
  DoLayout();
}

void THTMLViewer::LoadFromBuilder(const std::function<TParseResult(TAnchorList&)>& build,
                                  std::string_view declarations) {
  if (processing_) return;
  ProcessingScope processing(*this);
  PrepareLoad();
  TakeDeclaredCharSet(declarations);
  TAnchorList anchors;
  TParseResult result;
  std::exception_ptr failure;
  try {
    result = build(anchors);
  } catch (...) {
    failure = std::current_exception();
    result.DocBaseTarget = baseTarget_;
  }
  // What was built before a failure is still laid out, so that it can be
  // painted and hit-tested safely.
  TakeAnchors(anchors);
  FinishLoad(result);
  ScrollToY(0);
  SetHScrollPosition(0);
  InvalidatePanel();
  currentFile_.clear();
  KeepControlsOutOfTabChain();
  AccessiblePageChanged(*this);
  if (failure) std::rethrow_exception(failure);
}

void THTMLViewer::LoadDocumentBuffer(const char* buffer, std::size_t length) {
  if (!buffer) length = 0;
  LoadFromBuilder(
      [&](TAnchorList& anchors) {
        return ParseHtmlBuffer(*document_, anchors, buffer ? buffer : "", length, baseTarget_);
      },
      std::string_view(buffer ? buffer : "", length));
}

void THTMLViewer::LoadDocumentStream(std::istream& stream) {
  LoadFromBuilder(
      [&](TAnchorList& anchors) {
        stream.clear();
        stream.seekg(0);
        return ParseHtmlStream(*document_, anchors, stream, baseTarget_);
      },
      ReadHead(stream));
}

void THTMLViewer::LoadDocumentStrings(const std::vector<std::string>& strings, bool asText) {
  LoadFromBuilder(
      [&](TAnchorList& anchors) {
        return asText ? ParseTextStrings(*document_, anchors, strings)
                      : ParseHtmlStrings(*document_, anchors, strings, baseTarget_);
      },
      asText ? std::string() : JoinHead(strings));
}

void THTMLViewer::LoadFile(const std::string& name, std::uint8_t type) {
  WaitCursor wait;
  std::string fileName = name, anchor;
  if (const auto hash = name.find('#'); hash != std::string::npos) {
    fileName = name.substr(0, hash);
    anchor = name.substr(hash + 1, MaxAnchorLength);
  }
  ProcessingScope processing(*this);
  const std::string native = NativePath(fileName);
  // Only a readable file replaces the document: a missing name, a folder or
  // an unreadable file leave the old one in place.
  const QFileInfo info(QString::fromStdString(native));
  if (fileName.empty() || !info.isFile() || !info.isReadable()) throw CantLocateFile(fileName);
  const std::string fullName = info.absoluteFilePath().toStdString();

  PrepareLoad();
  if (type == HTMLType) TakeDeclaredCharSet(ReadFileHead(fullName));
  TAnchorList anchors;
  TParseResult result;
  std::exception_ptr failure;
  try {
    switch (type) {
      case TextType:
        result = ParseTextFile(*document_, anchors, fullName);
        break;
      case ImgType: {
        const std::string html = "<img src=\"" + fullName + "\">";
        result = ParseHtmlBuffer(*document_, anchors, html.data(), html.size(), baseTarget_);
        break;
      }
      default:
        result = ParseHtmlFile(*document_, anchors, fullName, baseTarget_);
        break;
    }
  } catch (...) {
    failure = std::current_exception();
    result.DocBaseTarget = baseTarget_;
  }
  TakeAnchors(anchors);
  const std::string oldFile = currentFile_;
  currentFile_ = fullName;
  currentFileType_ = type;
  FinishLoad(result);
  if (!anchor.empty()) {
    ScrollToAnchor(anchor);
  } else if (currentFile_ != oldFile) {
    ScrollToY(0);
    SetHScrollPosition(0);
  }
  InvalidatePanel();
  KeepControlsOutOfTabChain();
  AccessiblePageChanged(*this);
  if (failure) std::rethrow_exception(failure);
}

void THTMLViewer::PublicFileLoad(const std::string& name, std::uint8_t type) {
  if (processing_ || name.empty()) return;
  const std::string oldFile = currentFile_;
  const std::string oldTitle = title_;
  const std::int32_t oldPosition = SavePosition();
  const std::uint8_t oldType = currentFileType_;
  LoadFile(name, type);
  if (oldFile != currentFile_ || oldType != currentFileType_)
    AddToHistory(oldFile, oldTitle, oldType, oldPosition);
}

void THTMLViewer::LoadHtmlFile(const std::string& name) {
  PublicFileLoad(name, HTMLType);
}

void THTMLViewer::LoadTextFile(const std::string& name) {
  PublicFileLoad(name, TextType);
}

void THTMLViewer::LoadImageFile(const std::string& name) {
  PublicFileLoad(name, ImgType);
}

void THTMLViewer::SetDefaultBase(const std::string& name) {
  if (base_.empty()) base_ = name;
}

void THTMLViewer::ClearDocument() {
  if (processing_) return;
  ForgetStops();
  document_->Clear();
  document_->CharSet = charSet_;
  document_->SetDefaults(defFontName_, defPreFontName_, defFontSize_, defFontColor_,
                         defHotSpotColor_, defBackground_);
  nameList_.clear();
  title_.clear();
  base_.clear();
  baseTarget_.clear();
  docHeight_ = 0;
  maxWidth_ = 0;
  document_->SetScrollY(0);
  vScrollBar_->SetParams(0, 0, 0, PanelHeight() + 1);
  vScrollBar_->hide();
  vScrollBar_->resize(scrollBarWidth_, PanelHeight());
  hScrollBar_->hide();
  SetHScrollPosition(0);
  selCaret_ = 0;
  selAnchor_ = -1;
  InvalidatePanel();
  AccessiblePageChanged(*this);
}

// --- layout and scroll bars -----------------------------------------------------------

int THTMLViewer::LayoutWidth() const {
  if (scrollBars_ == ssNone || scrollBars_ == ssHorizontal)
    return std::max(0, width() - 2 * ViewerLeftMargin);
  return std::max(0, width() - scrollBarWidth_ - 2 * ViewerLeftMargin);
}

int THTMLViewer::PanelHeight() const {
  return paintPanel_->height();
}

int THTMLViewer::MaxScrollY() const {
  return std::max(0, docHeight_ - PanelHeight());
}

void THTMLViewer::DoLayout() {
  // Layout may drop sections: the stops collected before are let go first,
  // and the focused one is found again afterwards.
  const bool focused = focusedStop_ >= 0;
  stops_.Clear();
  stopsBuilt_ = false;
  focusedStop_ = -1;
  ++pageGeneration_;
  {
    maxWidth_ = 0;
    FlagScope laying(layingOut_);
    int charIndex = 0;
    docHeight_ = document_->Layout(ScreenCanvas(), 0, LayoutWidth(), maxWidth_, charIndex);
  }
  ArrangeScrollBars();
  if (focused) focusedStop_ = Stops().Find(focusedPlace_);
}

void THTMLViewer::Relayout() {
  if (processing_) return;
  ProcessingScope processing(*this);
  const std::int32_t saved = SavePosition();
  DoLayout();
  RestorePosition(saved);
  InvalidatePanel();
}

void THTMLViewer::ArrangeScrollBars() {
  const int b = borderStyle_ == htNone ? 0 : 1;
  const int W = width(), H = height(), S = scrollBarWidth_;
  const std::int64_t wide = std::int64_t{maxWidth_} + 20;
  const bool vertical = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  const bool horizontal = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
  const bool V = vertical && (docHeight_ >= H - 2 ||
                              (scrollBars_ == ssBoth && docHeight_ >= H - S - 2 && wide > W - S));
  const bool Hz = horizontal && (wide > W || (V && wide > W - S));
  const int w0 = V ? W - S : W;
  const int panelWidth = std::max(0, w0 - 2 * b);
  const int panelHeight = std::max(0, H - 2 * b - (Hz ? S : 0));
  borderBox_->setGeometry(0, 0, W, H);
  borderBox_->setVisible(borderStyle_ != htNone);
  paintPanel_->setGeometry(b, b, panelWidth, panelHeight);

  hMaximum_ = static_cast<int>(std::min<std::int64_t>(
      INT32_MAX, std::max<std::int64_t>({0, wide, std::int64_t{w0} - 2 * b})));
  hScrollBar_->setPageStep(std::max(1, w0 - 20));
  hScrollBar_->setGeometry(b, H - S - b, std::max(0, w0 - b), S);
  {
    const int position = hScrollBar_->value();
    const bool blocked = hScrollBar_->blockSignals(true);
    hScrollBar_->setRange(0, std::max(0, hMaximum_ - panelWidth));
    hScrollBar_->blockSignals(blocked);
    if (hScrollBar_->value() != position) InvalidatePanel();
  }
  hScrollBar_->setVisible(Hz);

  vScrollBar_->setGeometry(W - S - b, b, S, panelHeight);
  vScrollBar_->SetLargeChange(panelHeight - vScrollBar_->SmallChange());
  vScrollBar_->SetParams(vScrollBar_->Position(), 0, docHeight_, panelHeight + 1);
  vScrollBar_->setVisible(V);
}

void THTMLViewer::ScrollToY(int y) {
  y = std::max(0, std::min(y, docHeight_ - PanelHeight()));
  vScrollBar_->SetPosition(y);
  const bool moved = y != document_->ScrollY;
  document_->SetScrollY(y);
  InvalidatePanel();
  if (moved) AccessibleScrolled(*this);
}

void THTMLViewer::ScrollVerticallyTo(int y) {
  const int old = document_->ScrollY;
  y = std::max(0, std::min(y, MaxScrollY()));
  vScrollBar_->SetPosition(y);
  if (y == old) return;
  document_->SetScrollY(y);
  AccessibleScrolled(*this);
  const int moved = y - old;
  if ((moved == VScrollSmallChange || moved == -VScrollSmallChange) && paintPanel_->isVisible()) {
    // One line: move the pixels and paint only the strip they uncovered.
    paintPanel_->scroll(0, -moved);
    const int h = PanelHeight();
    const QRect strip = moved > 0 ? QRect(0, h - moved, paintPanel_->width(), moved)
                                  : QRect(0, 0, paintPanel_->width(), -moved);
    paintPanel_->repaint(strip);
  } else {
    InvalidatePanel();
  }
}

int THTMLViewer::HScrollPosition() const {
  return hScrollBar_->value();
}

void THTMLViewer::SetHScrollPosition(int x) {
  hScrollBar_->setValue(std::max(0, x));
}

void THTMLViewer::HScrollChanged(int) {
  InvalidatePanel();
}

std::int32_t THTMLViewer::SavePosition() const {
  int top = 0, index = 0;
  if (!document_->SectionAtY(document_->ScrollY, top, index)) return 0;
  const int offset = document_->ScrollY - top;
  const std::uint32_t value = (static_cast<std::uint32_t>(index) << 16) |
                              static_cast<std::uint32_t>(std::min(offset, 0xFFFF));
  lastSaved_ = static_cast<std::int32_t>(value);
  lastSavedOffset_ = offset;
  return lastSaved_;
}

void THTMLViewer::RestorePosition(std::int32_t saved) {
  const std::uint32_t value = static_cast<std::uint32_t>(saved);
  const int index = static_cast<int>(value >> 16);
  int offset = static_cast<int>(value & 0xFFFF);
  // An offset past 16 bits (a section taller than 65535 pixels) is held
  // saturated in the value; the last saved position knows it in full.
  if (offset == 0xFFFF && saved == lastSaved_) offset = lastSavedOffset_;
  if (index < document_->Count()) ScrollToY(document_->TopOfSection(index) + offset);
}

bool THTMLViewer::ScrollToAnchor(const std::string& name) {
  if (name.empty()) return false;
  std::string key = name[0] == '#' ? name.substr(1) : name;
  const auto it = nameList_.find(Upper(std::move(key)));
  if (it == nameList_.end() || !it->second) return false;
  // The section must still belong to the document (layout may drop one).
  if (document_->IndexOf(it->second) < 0) return false;
  ScrollToY(it->second->Top);
  SetHScrollPosition(0);
  return true;
}

// --- history ---------------------------------------------------------------------------

void THTMLViewer::AddToHistory(const std::string& file, const std::string& title, int type,
                               std::int32_t position) {
  if (historyMaxCount_ < 1 || currentFile_.empty()) return;
  if (file == currentFile_ && type == currentFileType_ && position == SavePosition()) return;
  if (!historyFiles_.empty() && !file.empty()) {
    const auto at = static_cast<std::size_t>(historyIndex_);
    historyFiles_[at] = file;
    historyTitles_[at] = title;
    historyPositions_[historyIndex_]->ScrollPos = position;
    historyPositions_[historyIndex_]->DocType = static_cast<std::uint8_t>(type);
    for (int i = 0; i < historyIndex_; ++i) {
      historyFiles_.erase(historyFiles_.begin());
      historyTitles_.erase(historyTitles_.begin());
      historyPositions_.Delete(0);
    }
  }
  historyIndex_ = 0;
  historyFiles_.insert(historyFiles_.begin(), currentFile_);
  historyTitles_.insert(historyTitles_.begin(), title_);
  historyPositions_.Insert(0, std::make_unique<PositionObj>(SavePosition(), currentFileType_));
  if (static_cast<int>(historyFiles_.size()) > historyMaxCount_) {
    historyFiles_.erase(historyFiles_.begin() + historyMaxCount_);
    historyTitles_.erase(historyTitles_.begin() + historyMaxCount_);
    historyPositions_.Delete(historyMaxCount_);
  }
  if (OnHistoryChange) OnHistoryChange(this);
}

void THTMLViewer::ClearHistory() {
  const bool had = !historyFiles_.empty();
  historyFiles_.clear();
  historyTitles_.clear();
  historyPositions_.ClearAndFree();
  historyIndex_ = 0;
  if (had && OnHistoryChange) OnHistoryChange(this);
}

// --- state -------------------------------------------------------------------------------

void THTMLViewer::SetProcessing(bool on) {
  if (on == processing_) return;
  processing_ = on;
  if (OnProcessing) OnProcessing(this, on);
}

TColor THTMLViewer::BorderColor() const {
  const QColor own = palette().color(backgroundRole());
  const TColor around = RGB(own.red(), own.green(), own.blue());
  if ((hasFocus() && borderStyle_ == htFocused) || borderStyle_ == htSingle) {
    // The frame stands out against the bar around the page; on a dark
    // desktop theme the classic button-text black would not.
    return ContrastRatio(clBtnText, around) >= MinFrameContrast ? clBtnText
                                                                : ContrastingInk(around);
  }
  return PaletteRelative(around);
}

void THTMLViewer::DrawBorder() {
  if (!borderBox_->isVisible()) return;
  const TColor color = BorderColor();
  if (color == borderDrawn_) return;
  borderDrawn_ = color;
  // Only the frame: the panel lies over the rest of the box.
  const int w = borderBox_->width(), h = borderBox_->height();
  QRegion frame(0, 0, w, h);
  frame -= QRegion(1, 1, std::max(0, w - 2), std::max(0, h - 2));
  borderBox_->update(frame);
}

void THTMLViewer::InvalidatePanel() {
  paintPanel_->update();
}

QPoint THTMLViewer::PanelToViewer(int x, int y) const {
  return {x + paintPanel_->x(), y + paintPanel_->y()};
}

// --- painting --------------------------------------------------------------------------------

void THTMLViewer::PaintBackground(Canvas& canvas, const TRect& rect) {
  PaintViewerBackground(*document_, canvas, rect, document_->ScrollY, HScrollPosition());
}

void THTMLViewer::PaintDocument(Canvas& canvas, const TRect& clip) {
  PaintViewerDocument(*document_, canvas, paintPanel_->width(), paintPanel_->height(),
                      document_->ScrollY, HScrollPosition(), &clip);
  PaintFocusRing(canvas);
}

// --- properties ----------------------------------------------------------------------------------

void THTMLViewer::FontsChangedRepaint(bool relayout) {
  document_->FontsChanged();
  if (relayout && document_->Count() > 0) Relayout();
  InvalidatePanel();
}

void THTMLViewer::SetDefBackground(TColor color) {
  if (processing_) return;
  defBackground_ = color;
  document_->SetBackgroundColor(color);
  InvalidatePanel();
}

void THTMLViewer::SetDefFontColor(TColor color) {
  defFontColor_ = color;
  document_->FontColor = color;
  FontsChangedRepaint(false);
}

void THTMLViewer::SetDefHotSpotColor(TColor color) {
  defHotSpotColor_ = color;
  document_->LinkColor = color;
  FontsChangedRepaint(false);
}

void THTMLViewer::SetDefFontSize(int size) {
  defFontSize_ = std::max(MinViewerFontSize, size);
  document_->BaseFontSize = defFontSize_;
  FontsChangedRepaint(true);
}

void THTMLViewer::SetDefFontName(const std::string& name) {
  if (AnsiSameText(name, document_->FontName)) return;
  defFontName_ = name;
  document_->FontName = name.substr(0, std::min<std::size_t>(name.size(), MaxFontNameLength - 1));
  FontsChangedRepaint(true);
}

void THTMLViewer::SetDefPreFontName(const std::string& name) {
  if (AnsiSameText(name, document_->PreFontName)) return;
  defPreFontName_ = name;
  document_->PreFontName =
      name.substr(0, std::min<std::size_t>(name.size(), MaxFontNameLength - 1));
  FontsChangedRepaint(true);
}

void THTMLViewer::SetCharSet(std::uint8_t charSet) {
  charSet_ = charSet;
  document_->CharSet = charSet;
  FontsChangedRepaint(true);
}

bool THTMLViewer::ViewImages() const {
  return document_->ShowImages;
}

void THTMLViewer::SetViewImages(bool on) {
  if (on == document_->ShowImages || processing_) return;
  WaitCursor wait;
  ProcessingScope processing(*this);
  document_->ShowImages = on;
  if (document_->Count() > 0) {
    const std::int32_t saved = SavePosition();
    DoLayout();
    RestorePosition(saved);
    InvalidatePanel();
  }
  document_->BackgroundImageFetched();
}

void THTMLViewer::SetImageCacheCount(int count) {
  imageCacheCount_ = std::clamp(count, 0, MaxImageCacheCount);
  if (document_->ImageCache) document_->ImageCache->SetMaxAge(imageCacheCount_);
}

void THTMLViewer::SetNoSelect(bool on) {
  noSelect_ = on;
  if (on) {
    document_->SelStart = -1;
    document_->SelEnd = -1;
    InvalidatePanel();
    AccessibleSelectionChanged(*this);
  }
}

void THTMLViewer::SetScrollBars(TScrollStyle style) {
  if (style == scrollBars_) return;
  scrollBars_ = style;
  Relayout();
}

void THTMLViewer::SetBorderStyle(THTMLBorderStyle style) {
  borderStyle_ = style;
  ArrangeScrollBars();
  borderDrawn_ = clNone;
  DrawBorder();
}

void THTMLViewer::SetHistoryMaxCount(int count) {
  if (count < 0) return;
  const bool lower = count < historyMaxCount_;
  historyMaxCount_ = count;
  if (lower) ClearHistory();
}

// --- events --------------------------------------------------------------------------------

void THTMLViewer::DeferSubmit(const std::string& action, const std::string& method,
                              std::vector<std::string> results) {
  if (!OnFormSubmit) return;
  pendingSubmits_.push_back({action, method, std::move(results)});
  QCoreApplication::postEvent(this, new QEvent(PrivateEvent(WmFormSubmit)));
}

void THTMLViewer::DeliverFormSubmit() {
  if (pendingSubmits_.empty()) return;
  PendingSubmit submit = std::move(pendingSubmits_.front());
  pendingSubmits_.erase(pendingSubmits_.begin());
  if (OnFormSubmit) OnFormSubmit(this, submit.Action, submit.Method, submit.Results);
}

bool THTMLViewer::event(QEvent* e) {
  if (e->type() == PrivateEvent(WmFormSubmit)) {
    // The owner's handler runs from the event loop: what it raises is shown.
    try {
      DeliverFormSubmit();
    } catch (const std::exception& error) {
      ShowErrorBox(error.what());
    }
    return true;
  }
  if (e->type() == PrivateEvent(WmDrawBorder)) {
    DrawBorder();
    return true;
  }
  if (e->type() == PrivateEvent(WmAutoScroll)) {
    StartAutoScroll();
    return true;
  }
  return QWidget::event(e);
}

void THTMLViewer::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (width() == lastWidth_) {
    ArrangeScrollBars();
  } else {
    paintPanel_->PaintBackgroundOnce();
    if (processing_) {
      ArrangeScrollBars();
    } else {
      Relayout();
      lastWidth_ = width();
    }
  }
  if (docHeight_ < PanelHeight())
    ScrollToY(0);
  else
    ScrollToY(document_->ScrollY);
  SetHScrollPosition(std::min(HScrollPosition(), hMaximum_ - paintPanel_->width()));
}

void THTMLViewer::keyPressEvent(QKeyEvent* e) {
  int key = e->key();
  try {
    if (OnKeyDown) OnKeyDown(this, key, e->modifiers());
    if (OnKeyPress && !e->text().isEmpty()) {
      QChar c = e->text().at(0);
      OnKeyPress(this, c);
    }
    if (key == e->key() && PageKey(e)) return;
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
    return;
  }
  const std::int64_t y = document_->ScrollY;
  std::int64_t target = y;
  switch (key) {
    case Qt::Key_PageUp:
      target = y - vScrollBar_->LargeChange();
      break;
    case Qt::Key_PageDown:
      target = y + vScrollBar_->LargeChange();
      break;
    case Qt::Key_Space:
      // Space pages down, with Shift up, as Page Down and Page Up do.
      target = e->modifiers() & Qt::ShiftModifier ? y - vScrollBar_->LargeChange()
                                                  : y + vScrollBar_->LargeChange();
      break;
    case Qt::Key_Home:
      target = 0;
      break;
    case Qt::Key_End:
      target = docHeight_;
      break;
    case Qt::Key_Up:
      target = y - VScrollSmallChange;
      break;
    case Qt::Key_Down:
      target = y + VScrollSmallChange;
      break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const int step = key == Qt::Key_Left ? -HScrollSmallChange : HScrollSmallChange;
      const int limit = std::max(0, hMaximum_ - paintPanel_->width());
      SetHScrollPosition(std::clamp(HScrollPosition() + step, 0, limit));
      InvalidatePanel();
      return;
    }
    default:
      QWidget::keyPressEvent(e);
      return;
  }
  target = std::max<std::int64_t>(0, target);
  target = std::max<std::int64_t>(0, std::min<std::int64_t>(target, MaxScrollY()));
  ScrollVerticallyTo(static_cast<int>(target));
}

void THTMLViewer::keyReleaseEvent(QKeyEvent* e) {
  int key = e->key();
  if (OnKeyUp) OnKeyUp(this, key, e->modifiers());
  QWidget::keyReleaseEvent(e);
}

void THTMLViewer::wheelEvent(QWheelEvent* e) {
  // Three lines a notch, as the bar's line step.
  const int notches = e->angleDelta().y() / 120;
  if (notches != 0) ScrollVerticallyTo(document_->ScrollY - notches * 3 * VScrollSmallChange);
  e->accept();
}

void THTMLViewer::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  if (OnEnter) OnEnter(this);
  DrawBorder();
  // Tabbing in from the toolbar reaches the first stop, Shift+Tab the last.
  if (e->reason() == Qt::TabFocusReason && Stops().Count() > 0)
    FocusStop(0);
  else if (e->reason() == Qt::BacktabFocusReason && Stops().Count() > 0)
    FocusStop(Stops().Count() - 1);
  // The focused link's frame shows only while the page has the focus.
  if (focusedStop_ >= 0) InvalidatePanel();
}

void THTMLViewer::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  DrawBorder();
  if (focusedStop_ >= 0) InvalidatePanel();
}

}  // namespace kiv
