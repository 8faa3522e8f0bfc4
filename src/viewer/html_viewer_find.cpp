// THTMLViewer's find in page: the document's own search over its sections,
// a selection made from a match, and scrolling a character into view.
#include <QScrollBar>

#include <algorithm>
#include <vector>

#include "layout/section_base.h"
#include "platform/screen_canvas.h"
#include "reader/sel_text.h"
#include "viewer/accessible_document.h"
#include "viewer/document_painter.h"
#include "viewer/html_viewer.h"
#include "viewer/page_reading_text.h"
#include "viewer/paint_panel.h"

namespace kiv {

namespace {

// Room kept above a match scrolled into view, as a share of the view.
constexpr int ScrollIntoViewShare = 3;
// Room kept at the right of a match scrolled into view horizontally.
constexpr int HorizontalRoom = 40;

}  // namespace

std::string THTMLViewer::SelectedText() {
  if (document_->SelStart >= document_->SelEnd) return {};
  std::vector<char> buffer(ClipBufferSize);
  SelTextBuf sink(buffer.data(), static_cast<int>(buffer.size()));
  CollectDocumentText(*document_, document_->SelStart, document_->SelEnd, sink);
  sink.Terminate();
  return std::string(buffer.data(), static_cast<std::size_t>(sink.Length));
}

int THTMLViewer::TextLength() const {
  if (document_->Count() == 0) return 0;
  const TSectionBase* last = document_->Last();
  return std::max(0, last->StartIndex + last->Length);
}

int THTMLViewer::FindText(int fromIndex, const std::string& text, bool matchCase) {
  if (text.empty() || processing_ || layingOut_) return -1;
  return document_->FindText(std::max(0, fromIndex), text, matchCase);
}

void THTMLViewer::SelectRange(int start, int length) {
  const int end = TextLength();
  start = std::clamp(start, 0, end);
  const int stop =
      static_cast<int>(std::clamp<std::int64_t>(std::int64_t{start} + length, start, end));
  document_->SelStart = start;
  document_->SelEnd = stop;
  selAnchor_ = start;
  selCaret_ = stop;
  ScrollCharIntoView(start);
  InvalidatePanel();
  AccessibleSelectionChanged(*this);
}

bool THTMLViewer::ScrollCharIntoView(int charIndex) {
  if (processing_ || layingOut_ || charIndex < 0) return false;
  int x = 0, y = 0;
  if (!document_->CaretPointOf(ScreenCanvas(), charIndex, x, y)) return false;
  const int h = PanelHeight();
  // The line's height is not known here: a line of the default size is kept
  // in view below its top.
  const int lineRoom = 2 * defFontSize_;
  if (y < document_->ScrollY || y + lineRoom > document_->ScrollY + h) {
    ScrollToY(y - h / ScrollIntoViewShare);
  }
  const int w = paintPanel_->width();
  const int windowX = x + ViewerLeftMargin;
  const int hScroll = HScrollPosition();
  if (windowX < hScroll || windowX + HorizontalRoom > hScroll + w) {
    SetHScrollPosition(std::clamp(windowX - w / 2, 0, std::max(0, hScrollBar_->maximum())));
  }
  return true;
}

}  // namespace kiv
