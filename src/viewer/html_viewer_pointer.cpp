// The viewer's pointer: the link cursor and hot-spot events, following links,
// selecting text by dragging (scrolling while the pointer is outside) and the
// selection operations.
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QFileInfo>

#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/screen_canvas.h"
#include "reader/string_routines.h"
#include "reader/url_target.h"
#include "viewer/accessible_document.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace kiv {

namespace {

// Longest extension compared when a link is followed, the dot included.
constexpr std::size_t MaxExtensionLength = 5;

bool SameText(const std::string& a, const char* b) {
  return AnsiSameText(a, b);
}

// y + offset without leaving the int range.
int DocumentY(int y, int scrollY) {
  return static_cast<int>(
      std::clamp<std::int64_t>(std::int64_t{y} + scrollY, INT32_MIN / 2, INT32_MAX / 2));
}

}  // namespace

void THTMLViewer::HTMLMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
  mouseDownFocused_ = hasFocus();
  // A click in the page takes the keyboard focus off the link it framed.
  if (focusedStop_ >= 0) {
    focusedStop_ = -1;
    InvalidatePanel();
  }
  setFocus(Qt::MouseFocusReason);
  if (button != Qt::LeftButton || !mouseDownFocused_) return;
  int caretX = 0, caretY = 0, caretHeight = 0;
  TCell* cell = nullptr;
  selAnchor_ = document_->CharIndexAt(ScreenCanvas(), x, DocumentY(y, document_->ScrollY), caretX,
                                      caretY, caretHeight, cell);
  if (selAnchor_ < 0) return;
  if (document_->SelStart != document_->SelEnd) InvalidatePanel();
  document_->SelStart = selAnchor_;
  document_->SelEnd = selAnchor_;
  selCaret_ = selAnchor_;
}

void THTMLViewer::HTMLMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x,
                                int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
  lastPointer_ = PanelToViewer(x, y);
  TUrlTarget target;
  std::string url, urlTarget;
  if (document_->LinkAt(ScreenCanvas(), x, DocumentY(y, document_->ScrollY), target)) {
    paintPanel_->setCursor(LinkCursor());
    url = target.Url;
    urlTarget = target.Target;
  } else {
    paintPanel_->setCursor(cursor());
  }
  if (url != hoverUrl_) {
    hoverUrl_ = url;
    hoverTarget_ = urlTarget;
    if (OnHotSpotCovered) OnHotSpotCovered(this, url);
  }
  const bool left = buttons & Qt::LeftButton;
  if (left && !autoScrolling_ && (lastPointer_.y() <= 0 || lastPointer_.y() > height())) {
    autoScrolling_ = true;
    QCoreApplication::postEvent(this,
                                new QEvent(static_cast<QEvent::Type>(QEvent::User + WmAutoScroll)));
  }
  if (left && !noSelect_) ExtendSelection(x, y);
}

void THTMLViewer::HTMLMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
  if (button != Qt::LeftButton) return;
  ExtendSelection(x, y);
  const bool dragged = mouseDownFocused_ && selAnchor_ >= 0;
  mouseDownFocused_ = false;
  autoScrolling_ = false;
  autoScrollTimer_.stop();
  if (dragged) AccessibleSelectionChanged(*this);
  if (document_->SelStart < document_->SelEnd) return;
  TUrlTarget target;
  if (document_->LinkAt(ScreenCanvas(), x, DocumentY(y, document_->ScrollY), target)) {
    hoverUrl_ = target.Url;
    hoverTarget_ = target.Target;
    FollowHotSpot();
  }
}

void THTMLViewer::ExtendSelection(int x, int y) {
  if (!mouseDownFocused_ || selAnchor_ < 0) return;
  y = std::clamp(y, 0, height());
  int caretX = 0, caretY = 0, caretHeight = 0;
  TCell* cell = nullptr;
  const int index = document_->CharIndexAt(ScreenCanvas(), x, DocumentY(y, document_->ScrollY),
                                           caretX, caretY, caretHeight, cell);
  if (index >= 0 && index != selCaret_ && !noSelect_) {
    document_->SelStart = std::min(selAnchor_, index);
    document_->SelEnd = std::max(selAnchor_, index);
    InvalidatePanel();
  }
  if (index >= 0) selCaret_ = index;
}

void THTMLViewer::StartAutoScroll() {
  if (!autoScrolling_) return;
  autoScrollStepped_ = false;
  AutoScrollStep();
  if (autoScrolling_) autoScrollTimer_.start();
}

void THTMLViewer::AutoScrollStep() {
  const int y = lastPointer_.y();
  if (!autoScrolling_ || (y >= 1 && y <= height())) {
    autoScrolling_ = false;
    autoScrollTimer_.stop();
    return;
  }
  // Further than 15 pixels outside, eight lines a step; else one.
  const int line = vScrollBar_->SmallChange();
  int step;
  if (y < -15)
    step = -8 * line;
  else if (y <= 0)
    step = -line;
  else if (y > height() + 15)
    step = 8 * line;
  else
    step = line;
  const int target = std::clamp(document_->ScrollY + step, 0, MaxScrollY());
  document_->SetScrollY(target);
  vScrollBar_->SetPosition(target);
  const QPoint panel = lastPointer_ - paintPanel_->pos();
  ExtendSelection(panel.x(), panel.y());
  paintPanel_->repaint();
}

// --- hot spots ----------------------------------------------------------------------------

bool THTMLViewer::HotSpotClickHandled() {
  bool handled = false;
  if (OnHotSpotClick) OnHotSpotClick(this, hoverUrl_, handled);
  return handled;
}

void THTMLViewer::FollowHotSpot() {
  if (HotSpotClickHandled()) return;
  const std::int32_t saved = SavePosition();
  const std::string url = hoverUrl_;
  if (!url.empty() && url[0] == '#') {
    if (ScrollToAnchor(url)) AddToHistory(currentFile_, title_, currentFileType_, saved);
    return;
  }
  // The file before "#" and the anchor from "#" on, taken from the link as
  // they stand in it.
  const auto hash = url.find('#');
  std::string file = ExpandSourceName(url.substr(0, hash));
  const std::string anchor =
      hash == std::string::npos ? std::string() : url.substr(hash, MaxAnchorLength + 1);
  std::string ext;
  if (const auto dot = file.rfind('.'); dot != std::string::npos) {
    const auto slash = file.find_last_of("/\\");
    if (slash == std::string::npos || slash < dot)
      ext = file.substr(dot, std::min(MaxExtensionLength, file.size() - dot));
  }
  if (SameText(ext, ".HTM") || SameText(ext, ".HTML")) {
    const std::string full =
        QFileInfo(QString::fromStdString(file)).absoluteFilePath().toStdString();
    if (full != currentFile_) {
      LoadHtmlFile(file + anchor);
    } else if (ScrollToAnchor(anchor)) {
      AddToHistory(currentFile_, title_, HTMLType, saved);
    }
  } else if (SameText(ext, ".BMP") || SameText(ext, ".GIF") || SameText(ext, ".JPG") ||
             SameText(ext, ".JPEG") || SameText(ext, ".PNG")) {
    LoadImageFile(file);
  }
}

std::string THTMLViewer::ExpandSourceName(const std::string& name) {
  std::string result = UrlToFilePath(TrimWhite(name));
  if (!result.empty() && result[0] == '\\') {
    // A rooted name: the root of this file system.
  } else if (!(result.size() > 1 && result[1] == ':') && !AnsiSameText(base_, "DosPath")) {
    if (!base_.empty()) {
      result = UrlToFilePath(base_) + result;
    } else if (!currentFile_.empty()) {
      const auto slash = currentFile_.find_last_of("/\\");
      if (slash != std::string::npos) result = currentFile_.substr(0, slash + 1) + result;
    }
  }
  return NativePath(result);
}

// --- selection -------------------------------------------------------------------------------

void THTMLViewer::SelectAllText() {
  if (document_->Count() == 0 || noSelect_) return;
  const TSectionBase* last = document_->Last();
  document_->SelStart = 0;
  document_->SelEnd = last->StartIndex + last->Length;
  InvalidatePanel();
  AccessibleSelectionChanged(*this);
}

void THTMLViewer::CopySelection() {
  document_->CopySelectionToClipboard();
}

void THTMLViewer::CollapseSelection() {
  document_->SelEnd = document_->SelStart;
  InvalidatePanel();
  AccessibleSelectionChanged(*this);
}

int THTMLViewer::SelectedTextLength() {
  return document_->SelectedTextLength();
}

}  // namespace kiv
