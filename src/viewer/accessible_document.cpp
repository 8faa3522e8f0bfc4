#include "viewer/accessible_document.h"

#include <algorithm>

#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/screen_canvas.h"
#include "viewer/accessible_link.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"

namespace kiv {

namespace {

// The viewer has no meta object of its own: the toolkit asks for it under
// its base's class name.
QAccessibleInterface* ViewerAccessibleFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QWidget")) return nullptr;
  if (auto* viewer = dynamic_cast<THTMLViewer*>(object)) return new TAccessibleDocument(viewer);
  return nullptr;
}

// The viewer's document when an assistive technology is active and has
// asked for it; null otherwise, so that nothing is collected for nobody.
TAccessibleDocument* ActiveDocument(THTMLViewer& viewer) {
  if (!QAccessible::isActive()) return nullptr;
  return viewer.AccessibleDocument();
}

// A panel rectangle (window X, document Y) on the screen.
QRect ScreenRect(const THTMLViewer& viewer, const TRect& r) {
  if (r.IsEmpty()) return {};
  const QPoint at =
      viewer.PaintPanel()->mapToGlobal(QPoint(r.Left, r.Top - viewer.Document().ScrollY));
  return {at, QSize(r.Width(), r.Height())};
}

const TPageReadingText& EmptyText() {
  static const TPageReadingText empty;
  return empty;
}

}  // namespace

void InstallViewerAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(ViewerAccessibleFactory);
}

void AccessiblePageChanged(THTMLViewer& viewer) {
  TAccessibleDocument* document = ActiveDocument(viewer);
  if (!document) return;
  const QString before = document->ReadingText().Text();
  document->PageChanged();
  QAccessibleEvent name(&viewer, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&name);
  QAccessibleTextUpdateEvent text(&viewer, 0, before, document->ReadingText().Text());
  QAccessible::updateAccessibility(&text);
  QAccessibleEvent reorder(&viewer, QAccessible::ObjectReorder);
  QAccessible::updateAccessibility(&reorder);
  QAccessibleTextCursorEvent caret(&viewer, document->cursorPosition());
  QAccessible::updateAccessibility(&caret);
}

void AccessibleScrolled(THTMLViewer& viewer) {
  if (!ActiveDocument(viewer)) return;
  QAccessibleEvent event(&viewer, QAccessible::VisibleDataChanged);
  QAccessible::updateAccessibility(&event);
}

void AccessibleSelectionChanged(THTMLViewer& viewer) {
  TAccessibleDocument* document = ActiveDocument(viewer);
  if (!document) return;
  int start = 0, end = 0;
  document->selection(0, &start, &end);
  QAccessibleTextSelectionEvent selection(&viewer, start, end);
  QAccessible::updateAccessibility(&selection);
  QAccessibleTextCursorEvent caret(&viewer, document->cursorPosition());
  QAccessible::updateAccessibility(&caret);
}

void AccessibleStopFocused(THTMLViewer& viewer, int stop) {
  TAccessibleDocument* document = ActiveDocument(viewer);
  if (!document || !viewer.hasFocus()) return;
  const int child = stop >= 0 ? document->ChildOfStop(stop) : -1;
  QAccessibleInterface* focused = child >= 0 ? document->child(child) : document;
  if (!focused) return;
  QAccessibleEvent event(focused, QAccessible::Focus);
  QAccessible::updateAccessibility(&event);
}

// --- the document ------------------------------------------------------------------

TAccessibleDocument::TAccessibleDocument(THTMLViewer* viewer)
    : QAccessibleWidget(viewer, QAccessible::Document), viewer_(viewer) {
  viewer->SetAccessibleDocument(this);
}

TAccessibleDocument::~TAccessibleDocument() {
  // The children are the toolkit's to delete from here on: this document
  // goes with its viewer, or with the toolkit's own end.
  if (THTMLViewer* viewer = Viewer(); viewer && viewer->AccessibleDocument() == this)
    viewer->SetAccessibleDocument(nullptr);
}

void* TAccessibleDocument::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QString TAccessibleDocument::text(QAccessible::Text t) const {
  const THTMLViewer* viewer = Viewer();
  if (t == QAccessible::Name && viewer && viewer->accessibleName().isEmpty())
    return PageTextToUnicode(viewer->Document(), viewer->Title());
  return QAccessibleWidget::text(t);
}

QAccessible::State TAccessibleDocument::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.readOnly = true;
  s.multiLine = true;
  s.selectableText = true;
  s.focusable = true;
  // While a link has the focus, the link is the focused object.
  if (const THTMLViewer* viewer = Viewer(); viewer && viewer->FocusedStop() >= 0) s.focused = false;
  return s;
}

const TPageReadingText& TAccessibleDocument::ReadingText() const {
  THTMLViewer* viewer = Viewer();
  if (!viewer || viewer->LayingOut()) return EmptyText();
  if (!textBuilt_ || textGeneration_ != viewer->PageGeneration()) {
    text_.Build(viewer->Document());
    textBuilt_ = true;
    textGeneration_ = viewer->PageGeneration();
  }
  return text_;
}

void TAccessibleDocument::ReleaseLinks(bool announce) const {
  for (const QAccessible::Id id : linkIds_) {
    if (id == 0) continue;
    if (announce) {
      if (QAccessibleInterface* link = QAccessible::accessibleInterface(id)) {
        QAccessibleEvent gone(link, QAccessible::ObjectDestroyed);
        QAccessible::updateAccessibility(&gone);
      }
    }
    QAccessible::deleteAccessibleInterface(id);
  }
  linkIds_.clear();
}

void TAccessibleDocument::RefreshLinks() const {
  THTMLViewer* viewer = Viewer();
  if (!viewer || viewer->LayingOut()) return;
  if (linksBuilt_ && linksGeneration_ == viewer->PageGeneration()) return;
  if (linksDocument_ != viewer->DocumentGeneration()) ReleaseLinks(false);
  linksDocument_ = viewer->DocumentGeneration();
  linksGeneration_ = viewer->PageGeneration();
  linksBuilt_ = true;
  const TPageStops& stops = viewer->Stops();
  linkStops_.clear();
  stopLinks_.assign(static_cast<std::size_t>(stops.Count()), -1);
  for (int i = 0; i < stops.Count(); ++i) {
    if (!stops[i].IsLink()) continue;
    stopLinks_[static_cast<std::size_t>(i)] = static_cast<int>(linkStops_.size());
    linkStops_.push_back(i);
  }
  // A layout that dropped a section drops the links it held.
  while (linkIds_.size() > linkStops_.size()) {
    if (linkIds_.back() != 0) QAccessible::deleteAccessibleInterface(linkIds_.back());
    linkIds_.pop_back();
  }
  linkIds_.resize(linkStops_.size(), 0);
}

void TAccessibleDocument::PageChanged() {
  ReleaseLinks(true);
  linksBuilt_ = false;
  textBuilt_ = false;
}

int TAccessibleDocument::LinkCount() const {
  const THTMLViewer* viewer = Viewer();
  if (!viewer || viewer->LayingOut()) return 0;
  RefreshLinks();
  return static_cast<int>(linkStops_.size());
}

int TAccessibleDocument::StopOfChild(int child) const {
  if (child < 0 || child >= LinkCount()) return -1;
  return linkStops_[static_cast<std::size_t>(child)];
}

int TAccessibleDocument::ChildOfStop(int stop) const {
  LinkCount();
  if (stop < 0 || stop >= static_cast<int>(stopLinks_.size())) return -1;
  return stopLinks_[static_cast<std::size_t>(stop)];
}

QRect TAccessibleDocument::ScreenRectOf(int stop) const {
  THTMLViewer* viewer = Viewer();
  if (!viewer || stop < 0 || stop >= viewer->Stops().Count()) return {};
  return ScreenRect(*viewer, viewer->Stops().BoundsOf(ScreenCanvas(), stop));
}

namespace {

// The painting panel is a child of the page only while it holds form
// controls (their windows are its children).
bool PanelHoldsControls(const THTMLViewer& viewer) {
  return !viewer.PaintPanel()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
}

}  // namespace

int TAccessibleDocument::childCount() const {
  const THTMLViewer* viewer = Viewer();
  if (!viewer) return 0;
  return LinkCount() + (PanelHoldsControls(*viewer) ? 1 : 0);
}

QAccessibleInterface* TAccessibleDocument::child(int index) const {
  THTMLViewer* viewer = Viewer();
  if (!viewer || index < 0) return nullptr;
  const int links = LinkCount();
  if (index == links && PanelHoldsControls(*viewer))
    return QAccessible::queryAccessibleInterface(viewer->PaintPanel());
  if (index >= links) return nullptr;
  QAccessible::Id& id = linkIds_[static_cast<std::size_t>(index)];
  if (id == 0) {
    id = QAccessible::registerAccessibleInterface(
        new TAccessibleLink(viewer, index, viewer->DocumentGeneration()));
  }
  return QAccessible::accessibleInterface(id);
}

int TAccessibleDocument::indexOfChild(const QAccessibleInterface* child) const {
  if (!child) return -1;
  if (const auto* link = dynamic_cast<const TAccessibleLink*>(child))
    return link->isValid() ? link->Child() : -1;
  const THTMLViewer* viewer = Viewer();
  if (viewer && child->object() == viewer->PaintPanel() && PanelHoldsControls(*viewer))
    return LinkCount();
  return -1;
}

QAccessibleInterface* TAccessibleDocument::childAt(int x, int y) const {
  const int links = LinkCount();
  for (int i = 0; i < links; ++i) {
    if (ScreenRectOf(StopOfChild(i)).contains(x, y)) return child(i);
  }
  return nullptr;
}

QAccessibleInterface* TAccessibleDocument::focusChild() const {
  const THTMLViewer* viewer = Viewer();
  if (!viewer || !viewer->hasFocus()) return QAccessibleWidget::focusChild();
  const int link = ChildOfStop(viewer->FocusedStop());
  return link >= 0 ? child(link) : nullptr;
}

// --- the text interface ---------------------------------------------------------------

void TAccessibleDocument::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  const THTMLViewer* viewer = Viewer();
  if (!viewer || selectionIndex != 0) return;
  const TSectionList& document = viewer->Document();
  if (document.SelStart >= document.SelEnd) return;
  const TPageReadingText& text = ReadingText();
  *startOffset = text.OffsetOfIndex(document.SelStart);
  *endOffset = text.OffsetOfIndex(document.SelEnd);
}

int TAccessibleDocument::selectionCount() const {
  const THTMLViewer* viewer = Viewer();
  return viewer && viewer->Document().SelStart < viewer->Document().SelEnd ? 1 : 0;
}

void TAccessibleDocument::addSelection(int startOffset, int endOffset) {
  setSelection(0, startOffset, endOffset);
}

void TAccessibleDocument::removeSelection(int selectionIndex) {
  if (THTMLViewer* viewer = Viewer(); viewer && selectionIndex == 0) viewer->CollapseSelection();
}

void TAccessibleDocument::setSelection(int selectionIndex, int startOffset, int endOffset) {
  THTMLViewer* viewer = Viewer();
  if (!viewer || selectionIndex != 0 || viewer->NoSelect()) return;
  const TPageReadingText& text = ReadingText();
  const int a = text.IndexOfOffset(std::min(startOffset, endOffset));
  const int b = text.IndexOfOffset(std::max(startOffset, endOffset));
  viewer->SelectRange(a, b - a);
}

int TAccessibleDocument::cursorPosition() const {
  const THTMLViewer* viewer = Viewer();
  return viewer ? ReadingText().OffsetOfIndex(viewer->SelCaret()) : 0;
}

void TAccessibleDocument::setCursorPosition(int position) {
  if (THTMLViewer* viewer = Viewer()) viewer->SelectRange(ReadingText().IndexOfOffset(position), 0);
}

QString TAccessibleDocument::text(int startOffset, int endOffset) const {
  const QString& all = ReadingText().Text();
  const int start = std::clamp(startOffset, 0, static_cast<int>(all.size()));
  const int end = endOffset < 0 ? static_cast<int>(all.size())
                                : std::clamp(endOffset, start, static_cast<int>(all.size()));
  return all.mid(start, end - start);
}

int TAccessibleDocument::characterCount() const {
  return ReadingText().Length();
}

QRect TAccessibleDocument::characterRect(int offset) const {
  THTMLViewer* viewer = Viewer();
  if (!viewer) return {};
  const TPageReadingText& text = ReadingText();
  int inSection = 0;
  const TSection* section = text.SectionOfIndex(text.IndexOfOffset(offset), inSection);
  if (!section) return {};
  std::vector<TRect> rects;
  SectionRangeRects(ScreenCanvas(), *section, inSection, inSection + 1, false, rects);
  return rects.empty() ? QRect() : ScreenRect(*viewer, rects.front());
}

int TAccessibleDocument::offsetAtPoint(const QPoint& point) const {
  THTMLViewer* viewer = Viewer();
  if (!viewer) return -1;
  const QPoint p = viewer->PaintPanel()->mapFromGlobal(point);
  if (!viewer->PaintPanel()->rect().contains(p)) return -1;
  TSectionList& document = viewer->Document();
  int caretX = 0, caretY = 0, caretHeight = 0;
  TCell* cell = nullptr;
  const int index = document.CharIndexAt(ScreenCanvas(), p.x(), p.y() + document.ScrollY, caretX,
                                         caretY, caretHeight, cell);
  return index < 0 ? -1 : ReadingText().OffsetOfIndex(index);
}

void TAccessibleDocument::scrollToSubstring(int startIndex, int /*endIndex*/) {
  if (THTMLViewer* viewer = Viewer())
    viewer->ScrollCharIntoView(ReadingText().IndexOfOffset(startIndex));
}

QString TAccessibleDocument::attributes(int offset, int* startOffset, int* endOffset) const {
  (void)offset;
  *startOffset = 0;
  *endOffset = characterCount();
  return {};
}

}  // namespace kiv
