#include "viewer/page_stops.h"

#include <QWidget>

#include <algorithm>
#include <map>

#include "layout/form_control.h"
#include "layout/image_obj.h"
#include "layout/section_list.h"
#include "layout/table.h"
#include "layout/text_section.h"
#include "platform/qt_window_control.h"
#include "reader/map_item.h"

namespace kiv {

namespace {

bool IsBlankChar(char c) {
  return c == ' ' || c == ImagePlaceholder || c == ControlPlaceholder;
}

int FullHeight(const LineRec& line) {
  return line.SpaceBefore + line.LineHt + line.SpaceAfter;
}

// Blanks folded to one space and trimmed; placeholders are blanks.
std::string Folded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingSpace = false;
  for (const char c : text) {
    if (IsBlankChar(c) || c == '\r' || c == '\n') {
      pendingSpace = !out.empty();
      continue;
    }
    if (pendingSpace) out += ' ';
    pendingSpace = false;
    out += c;
  }
  return out;
}

}  // namespace

// A piece holding a picture or a control takes the whole height of its line.
void SectionRangeRects(Canvas& canvas, const TSection& s, int start, int end, bool trimBlanks,
                       std::vector<TRect>& rects) {
  int top = s.Top;
  for (const LineRec& line : s.Lines) {
    const int full = FullHeight(line);
    const int lineEnd = line.Start + line.Count;
    if (line.Start >= end) break;
    if (lineEnd > start) {
      int from = std::max(start, line.Start);
      int to = std::min(end, lineEnd);
      if (trimBlanks) {
        while (from < to && s.Buffer[static_cast<std::size_t>(from)] == ' ') ++from;
        while (to > from && s.Buffer[static_cast<std::size_t>(to - 1)] == ' ') --to;
      }
      if (from < to) {
        const bool object = std::any_of(s.Buffer.begin() + from, s.Buffer.begin() + to, [](char c) {
          return c == ImagePlaceholder || c == ControlPlaceholder;
        });
        const int x0 = line.PaintX + s.TextWidth(canvas, line.Start, from - line.Start, false);
        const int x1 = x0 + s.TextWidth(canvas, from, to - from, false);
        const bool whole = object || line.LineHt == 0;
        const int y0 = whole ? top : top + line.SpaceBefore;
        const int y1 = whole ? top + full : y0 + line.LineHt;
        if (x1 > x0) rects.push_back({x0, y0, x1, y1});
      }
    }
    top += full;
  }
  // Floating pictures stand beside the lines, where they were drawn.
  for (const auto& image : s.Images) {
    if (image->Pos < start || image->Pos >= end || !image->Floats()) continue;
    rects.push_back({image->PaintX, image->PaintDocY, image->PaintX + image->ObjWidth,
                     image->PaintDocY + image->ObjHeight});
  }
}

void TPageStops::Build(TSectionList& document) {
  stops_.clear();
  CollectCell(document, document);
}

void TPageStops::CollectCell(const TCell& cell, TSectionList& document) {
  for (const auto& item : cell) {
    if (auto* section = dynamic_cast<TSection*>(item.get())) {
      CollectSection(*section, document);
    } else if (const auto* table = dynamic_cast<const ThtmlTable*>(item.get())) {
      table->ForEachContainer([&](const TCell& inner) { CollectCell(inner, document); });
    }
  }
}

void TPageStops::CollectSection(TSection& s, TSectionList& document) {
  const std::size_t first = stops_.size();
  // Links: runs next to each other leading to the same place are one link.
  const TFontList& runs = s.Fonts;
  for (int i = 0; i < runs.Count(); ++i) {
    const TFontObj* run = runs[i];
    if (!run->IsLink()) continue;
    const int start = std::clamp(run->Pos, 0, s.Length);
    int j = i + 1;
    while (j < runs.Count() && runs[j]->Link.Url == run->Link.Url &&
           runs[j]->Link.Target == run->Link.Target)
      ++j;
    const int end = j < runs.Count() ? std::clamp(runs[j]->Pos, start, s.Length) : s.Length;
    i = j - 1;
    if (end <= start) continue;
    TPageStop stop;
    stop.StopKind = TPageStop::LinkStop;
    stop.Section = &s;
    stop.Start = start;
    stop.End = end;
    stop.Url = run->Link.Url;
    stop.Target = run->Link.Target;
    stops_.push_back(std::move(stop));
  }
  // The areas of client-side maps, at their picture's place.
  for (const auto& image : s.Images) {
    if (!image->UseMap || image->Pos < 0 || image->Pos >= s.Length) continue;
    const TMapItem* map = nullptr;
    for (const auto& m : document.ImageMaps) {
      if (m->Name == image->MapName) {
        map = m.get();
        break;
      }
    }
    if (!map) continue;
    for (std::size_t a = 0; a < map->Areas.size(); ++a) {
      const TMapItem::TArea& area = map->Areas[a];
      if (area.Url.empty()) continue;
      TPageStop stop;
      stop.StopKind = TPageStop::AreaStop;
      stop.Section = &s;
      stop.Start = image->Pos;
      stop.End = image->Pos + 1;
      stop.Image = image.get();
      stop.Map = map;
      stop.Area = static_cast<int>(a);
      stop.Url = area.Url;
      stop.Target = area.Target;
      stops_.push_back(std::move(stop));
    }
  }
  // Form controls with a window, at their placeholders.
  const TControlList& controls = *s.Controls;
  if (controls.Count() > 0) {
    int offset = 0;
    while (offset < s.Length) {
      const int distance = controls.DistanceToNext(offset);
      if (distance < 0) break;
      const int pos = offset + distance;
      if (pos >= s.Length) break;
      TFormControlBase* base = controls.ControlAt(pos);
      // NoNextObject says none follows, unless a control stands just there.
      if (!base && distance == NoNextObject) break;
      auto* control = dynamic_cast<TFormControlObj*>(base);
      if (control && control->Control && WidgetOf(*control->Control)) {
        TPageStop stop;
        stop.StopKind = TPageStop::ControlStop;
        stop.Section = &s;
        stop.Start = pos;
        stop.End = pos + 1;
        stop.Control = control;
        stops_.push_back(std::move(stop));
      }
      offset = pos + 1;
    }
  }
  // Document order inside the section: by place, a link before the areas
  // of a picture it starts with.
  std::stable_sort(stops_.begin() + static_cast<std::ptrdiff_t>(first), stops_.end(),
                   [](const TPageStop& a, const TPageStop& b) { return a.Start < b.Start; });
}

int TPageStops::Find(const TPageStop& stop) const {
  for (std::size_t i = 0; i < stops_.size(); ++i)
    if (stops_[i].SamePlace(stop)) return static_cast<int>(i);
  return -1;
}

int TPageStops::FindControl(const QWidget* widget) const {
  if (!widget) return -1;
  for (std::size_t i = 0; i < stops_.size(); ++i) {
    const TPageStop& stop = stops_[i];
    if (stop.StopKind != TPageStop::ControlStop || !stop.Control->Control) continue;
    const QWidget* own = WidgetOf(*stop.Control->Control);
    if (own && (own == widget || own->isAncestorOf(widget))) return static_cast<int>(i);
  }
  return -1;
}

std::string TPageStops::NameOf(int index) const {
  if (index < 0 || index >= Count()) return {};
  const TPageStop& stop = (*this)[index];
  if (stop.StopKind == TPageStop::AreaStop) {
    const std::string alt = Folded(stop.Map->Areas[static_cast<std::size_t>(stop.Area)].Alt);
    return alt.empty() ? stop.Url : alt;
  }
  if (stop.StopKind == TPageStop::ControlStop) return stop.Control->FieldName;
  const TSection& s = *stop.Section;
  std::string name = Folded(std::string_view(s.Buffer).substr(
      static_cast<std::size_t>(stop.Start), static_cast<std::size_t>(stop.End - stop.Start)));
  if (!name.empty()) return name;
  for (const auto& image : s.Images) {
    if (image->Pos < stop.Start || image->Pos >= stop.End || !image->Alt) continue;
    name = Folded(*image->Alt);
    if (!name.empty()) return name;
  }
  return stop.Url;
}

void TPageStops::RectsOf(Canvas& canvas, int index, std::vector<TRect>& rects) const {
  rects.clear();
  if (index < 0 || index >= Count()) return;
  const TPageStop& stop = (*this)[index];
  if (stop.StopKind == TPageStop::AreaStop) {
    const TRect& box = stop.Map->Areas[static_cast<std::size_t>(stop.Area)].Region.Box();
    const int x = stop.Image->PaintX, y = stop.Image->PaintDocY;
    // The area within the picture.
    const TRect r{x + std::clamp(box.Left, 0, stop.Image->ObjWidth),
                  y + std::clamp(box.Top, 0, stop.Image->ObjHeight),
                  x + std::clamp(box.Right, 0, stop.Image->ObjWidth),
                  y + std::clamp(box.Bottom, 0, stop.Image->ObjHeight)};
    if (r.Right > r.Left && r.Bottom > r.Top) rects.push_back(r);
    return;
  }
  SectionRangeRects(canvas, *stop.Section, stop.Start, stop.End, true, rects);
}

TRect TPageStops::BoundsOf(Canvas& canvas, int index) const {
  std::vector<TRect> rects;
  RectsOf(canvas, index, rects);
  if (rects.empty()) return {};
  TRect bounds = rects.front();
  for (const TRect& r : rects) {
    bounds.Left = std::min(bounds.Left, r.Left);
    bounds.Top = std::min(bounds.Top, r.Top);
    bounds.Right = std::max(bounds.Right, r.Right);
    bounds.Bottom = std::max(bounds.Bottom, r.Bottom);
  }
  return bounds;
}

}  // namespace kiv
