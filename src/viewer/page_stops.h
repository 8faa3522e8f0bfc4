// TPageStops: the places of a page that take the keyboard focus, in document
// order: every link (the characters of one text section that lead to the
// same place, the pictures among them included), every area of a client-side
// image map that leads somewhere, and every form control. Tab walks them, the
// focus rectangle is drawn around them, and assistive technology sees the
// links and areas as the page's link children. Built from a laid-out
// document; every pointer in it dies with the document's sections, so the
// viewer rebuilds the list after each load and layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

class QWidget;

namespace kiv {

class Canvas;
class TCell;
class TFormControlObj;
class TImageObj;
class TMapItem;
class TSection;
class TSectionList;

struct TPageStop {
  enum Kind : std::uint8_t { LinkStop, AreaStop, ControlStop };

  Kind StopKind = LinkStop;
  TSection* Section = nullptr;  // not owned: the section holding the stop
  // The characters of a link, or the placeholder of an area's picture or of
  // a control: offsets [Start, End) in the section's buffer.
  int Start = 0;
  int End = 0;
  const TImageObj* Image = nullptr;    // not owned: the picture of an area
  const TMapItem* Map = nullptr;       // not owned: the map of an area
  int Area = -1;                       // the area's index in Map
  TFormControlObj* Control = nullptr;  // not owned: the form control
  std::string Url;                     // where a link or area leads
  std::string Target;

  bool IsLink() const { return StopKind != ControlStop; }
  // The same place of the same document (identity across a relayout).
  bool SamePlace(const TPageStop& other) const {
    return StopKind == other.StopKind && Section == other.Section && Start == other.Start &&
           Area == other.Area;
  }
};

// The rectangles, one per line, of the characters [start, end) of a laid-out
// text section: window X as last painted, document Y from the layout. With
// trimBlanks the blanks at either end of a line's piece are left out.
void SectionRangeRects(Canvas& canvas, const TSection& section, int start, int end, bool trimBlanks,
                       std::vector<TRect>& rects);

class TPageStops {
 public:
  // Collects the stops of document, nested tables included.
  void Build(TSectionList& document);
  void Clear() { stops_.clear(); }

  int Count() const { return static_cast<int>(stops_.size()); }
  const TPageStop& operator[](int index) const { return stops_[static_cast<std::size_t>(index)]; }
  // The index of the stop at the same place as stop, -1 when it is gone.
  int Find(const TPageStop& stop) const;
  // The stop whose control shows widget (or one of its parts), -1 when none.
  int FindControl(const QWidget* widget) const;

  // What a reader is told a link is: its text with blanks folded; without
  // text the ALT of a picture in it, else where it leads. An area: its ALT,
  // else where it leads. Windows-1252, as the page.
  std::string NameOf(int index) const;

  // Where the stop was drawn at the last paint: window X (the painting
  // panel's) and document Y, one rectangle per line a link covers.
  // Characters are measured on canvas.
  void RectsOf(Canvas& canvas, int index, std::vector<TRect>& rects) const;
  // The union of RectsOf; empty when the stop has no place.
  TRect BoundsOf(Canvas& canvas, int index) const;

 private:
  void CollectCell(const TCell& cell, TSectionList& document);
  void CollectSection(TSection& section, TSectionList& document);

  std::vector<TPageStop> stops_;
};

}  // namespace kiv
