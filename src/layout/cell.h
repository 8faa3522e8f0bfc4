// TCell: an ordered list of sections with its own floating-indent manager.
// It is the content of a table cell and the base of the document root.
#pragma once

#include <memory>
#include <string_view>

#include "layout/indent_manager.h"
#include "layout/inline_object.h"
#include "layout/section_base.h"
#include "platform/win_types.h"
#include "reader/free_list.h"

namespace kiv {

class Canvas;
class TSectionList;
class TUrlTarget;

class TCell : public TFreeList<TSectionBase, PoolAllocator> {
 public:
  explicit TCell(TSectionList* owner);
  // Cell copy: clones every section of source for owner, in order.
  TCell(TSectionList* owner, const TCell& source);
  virtual ~TCell();

  // Appends a section (a null one is ignored) and returns it.
  TSectionBase* Add(std::unique_ptr<TSectionBase> section);
  void FontsChanged();

  // The section whose band [sectionTop, sectionTop + Height) holds y (relative
  // to the cell's start), with its top and index; null (and sectionTop and
  // index unchanged) when there is none.
  TSectionBase* SectionAtY(int y, int& sectionTop, int& index) const;
  int CharIndexAt(Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                  TCell*& cell);
  int FindText(int fromIndex, std::string_view text, bool matchCase);
  bool CaretPointOf(Canvas& canvas, int charIndex, int& x, int& y);
  void CopySelectedText();

  // Lays out every section from document Y in width; returns the height,
  // floats included. A section whose layout raises EProcessError is reported
  // and removed.
  virtual int Layout(Canvas& canvas, int y, int width, int& maxWidth, int& charIndex);
  virtual void MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth);
  virtual int Paint(Canvas& canvas, const TRect& clipRect, int clipWidth, int x, int y);
  // x is a window X, y relative to the cell's start.
  virtual bool LinkAt(Canvas& canvas, int x, int y, TUrlTarget& target);
  // Moves the laid-out content dy pixels down and its characters dIndex on,
  // floats and list levels included: the same as laying it out again there.
  void MoveBy(int dy, int dIndex);

  TSectionList* Owner;  // not owned: the document root (the root itself for the root)
  int BaseFontSize = 12;
  int StartY = 0;
  int StartIndex = 0;
  int TextLength = 0;
  TInlineObject<IndentManager> Indents;  // always present

 protected:
  // Appends clones of source's sections made for owner.
  void CloneSectionsFrom(const TCell& source, TSectionList* owner);
};

}  // namespace kiv
