// TAccessibleDocument: the page as assistive technology sees it, through the
// toolkit's accessibility (AT-SPI on Linux): a document named by the page's
// title, with the text interface over the page's reading text (caret and
// selection are the viewer's own) and one link child per link and image-map
// area. Nothing of it is collected until an assistive technology asks, and
// the viewer's notifications do nothing while none is active.
#pragma once

#include <QAccessible>
#include <QAccessibleWidget>

#include <vector>

#include "viewer/page_reading_text.h"

namespace kiv {

class THTMLViewer;

// Registers, once, the factory that gives every viewer its document.
void InstallViewerAccessibility();

// What the viewer tells assistive technology: a new page (or the page
// cleared), a scroll, a change of the selection, a stop taking the focus
// (-1: the page itself).
void AccessiblePageChanged(THTMLViewer& viewer);
void AccessibleScrolled(THTMLViewer& viewer);
void AccessibleSelectionChanged(THTMLViewer& viewer);
void AccessibleStopFocused(THTMLViewer& viewer, int stop);

class TAccessibleDocument : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit TAccessibleDocument(THTMLViewer* viewer);
  ~TAccessibleDocument() override;
  TAccessibleDocument(const TAccessibleDocument&) = delete;
  TAccessibleDocument& operator=(const TAccessibleDocument&) = delete;

  // The viewer this document reads; null once the viewer has gone (the
  // toolkit deletes the document only after the viewer's own destructor).
  THTMLViewer* Viewer() const { return viewer_; }
  void ViewerGone() { viewer_ = nullptr; }

  void* interface_cast(QAccessible::InterfaceType type) override;
  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;

  // The text interface, in offsets of the reading text.
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

  // The page's reading text, collected on first use after a load or layout.
  const TPageReadingText& ReadingText() const;
  // The links and areas of the page: the stop of each link child, and the
  // child of a stop (-1 when it is no link).
  int LinkCount() const;
  int StopOfChild(int child) const;
  int ChildOfStop(int stop) const;
  // The screen rectangle of a stop, as last painted.
  QRect ScreenRectOf(int stop) const;
  // Whether anything of the page was collected (text or links).
  bool Collected() const { return textBuilt_ || linksBuilt_; }
  // The page was replaced: its link children are let go.
  void PageChanged();
  // Deletes the link children made so far, telling assistive technology
  // when announce is set.
  void ReleaseLinks(bool announce) const;

 private:
  THTMLViewer* viewer_;  // not owned: the document belongs to the toolkit's cache
  void RefreshLinks() const;

  mutable unsigned textGeneration_ = 0;
  mutable bool textBuilt_ = false;
  mutable TPageReadingText text_;
  mutable unsigned linksGeneration_ = 0;
  mutable unsigned linksDocument_ = 0;
  mutable bool linksBuilt_ = false;
  mutable std::vector<int> linkStops_;  // the stop of each link child
  mutable std::vector<int> stopLinks_;  // the link child of each stop, -1 for controls
  // The children made so far (0 where none was asked for), kept for one
  // document: they stay the same across a layout.
  mutable std::vector<QAccessible::Id> linkIds_;
};

}  // namespace kiv
