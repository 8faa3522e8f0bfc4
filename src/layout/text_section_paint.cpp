// TSection's operations on its laid-out lines: painting with runs, images,
// controls and the selection; the link and the character under a point; the
// point of a character; search; copying the selected characters.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "layout/font_selector.h"
#include "layout/form_control_base.h"
#include "layout/indent_manager.h"
#include "layout/list_items.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/canvas.h"
#include "platform/code_page.h"
#include "reader/map_item.h"
#include "reader/sel_text.h"

namespace kiv {

namespace {

// Characters to the next selection boundary when there is none ahead.
constexpr int NoSelectionBoundary = 32000;
// Characters of a search text compared when case is ignored.
constexpr int MaxCaselessSearch = 255;
// Copied text is indented by three spaces per list indent of the line.
constexpr char IndentSpaces[] = "   ";

// Coordinates and indexes from outside are held within this bound before any
// arithmetic, so that points far outside the document cannot overflow.
constexpr std::int64_t FarAway = 1 << 30;

int Bounded(std::int64_t value) {
  return static_cast<int>(std::clamp(value, -FarAway, FarAway));
}

// The selection relative to a section's first character, held within
// [-1, Length + 1] so that no offset arithmetic can overflow. Empty when
// printing or when the document's selection is empty or reversed.
struct LocalSelection {
  int start = 0;  // SB
  int end = 0;    // SE

  LocalSelection(const TSection& s, bool printing) {
    if (!s.Owner || printing) return;
    const auto clampLocal = [&s](int index) {
      const std::int64_t local = std::int64_t{index} - s.StartIndex;
      return static_cast<int>(std::clamp<std::int64_t>(local, -1, std::int64_t{s.Length} + 1));
    };
    start = clampLocal(s.Owner->SelStart);
    end = clampLocal(s.Owner->SelEnd);
  }

  // Whether the character at offset is selected; boundary receives the
  // characters left to the next change of that state.
  bool Test(int offset, int& boundary) const {
    if (start >= end || offset >= end) {
      boundary = NoSelectionBoundary;
      return false;
    }
    if (offset < start) {
      boundary = std::min(start - offset, NoSelectionBoundary);
      return false;
    }
    boundary = std::min(end - offset, NoSelectionBoundary);
    return true;
  }
};

// Linear look-ups of runs and objects in a section, moving forward through
// one line without rescanning from the first item.
class Objects {
 public:
  explicit Objects(const TSection& s) : s_(s) {}

  const TFontObj* RunAt(int offset) {
    const TFontList& fonts = s_.Fonts;
    if (run_ >= fonts.Count() || fonts[run_]->Pos > offset) run_ = 0;
    while (run_ + 1 < fonts.Count() && fonts[run_ + 1]->Pos <= offset) ++run_;
    return fonts[run_];
  }
  int CharsToNextRun(int offset) {
    RunAt(offset);
    const TFontList& fonts = s_.Fonts;
    return run_ + 1 < fonts.Count() ? fonts[run_ + 1]->Pos - offset : s_.Length - offset;
  }
  TImageObj* NextImage(int offset) {
    const TImageList& images = s_.Images;
    if (image_ > images.Count() || (image_ > 0 && images[image_ - 1]->Pos >= offset)) image_ = 0;
    while (image_ < images.Count() && images[image_]->Pos < offset) ++image_;
    return image_ < images.Count() ? images[image_] : nullptr;
  }
  TImageObj* ImageAt(int offset) {
    TImageObj* next = NextImage(offset);
    return next && next->Pos == offset ? next : nullptr;
  }
  int CharsToNextImage(int offset) {
    TImageObj* next = NextImage(offset);
    return next ? next->Pos - offset : NoNextObject;
  }
  // Characters of plain text from offset: up to the next run, image or
  // control, and at most limit; at least 1 so that a walk always advances.
  int TextPiece(int offset, int limit) {
    const int piece = std::min({limit, CharsToNextRun(offset), CharsToNextImage(offset),
                                s_.Controls->DistanceToNext(offset)});
    return std::max(1, piece);
  }

 private:
  const TSection& s_;
  int run_ = 0;
  int image_ = 0;
};

// The most of the first n characters whose extent is at most room, by binary
// search over the extents.
int FitText(const Canvas& canvas, const char* text, int n, int room) {
  int low = 0;
  int high = n;
  while (low < high) {
    const int mid = low + (high - low + 1) / 2;
    if (canvas.TextExtent(text, mid).cx > room)
      high = mid - 1;
    else
      low = mid;
  }
  return low;
}

// How many of the n characters from p fit in width, for hit testing: inline
// images and controls take their width, floats none; the count stops before
// an object that does not fit and includes the text characters that fit.
int HitFit(Canvas& canvas, const TSection& s, int p, int n, int width) {
  Objects objects(s);
  FontSelector fonts(canvas);
  const char* text = s.Buffer.data();
  int x = 0;
  int k = 0;
  while (k < n) {
    const int offset = p + k;
    if (const TImageObj* image = objects.ImageAt(offset)) {
      if (!image->Floats()) x += image->ImageWidth;
      if (x > width) return k;
      ++k;
      continue;
    }
    const int controlWidth = s.Controls->WidthAt(offset);
    if (controlWidth >= 0) {
      x += controlWidth;
      if (x > width) return k;
      ++k;
      continue;
    }
    const int limit = objects.TextPiece(offset, n - k);
    const TFontObj* run = objects.RunAt(offset);
    fonts.Select(run);
    const int m = FitText(canvas, text + offset, limit, width - x + run->Overhang);
    k += m;
    if (m < limit) return k;
    x += canvas.TextExtent(text + offset, m).cx - run->Overhang;
  }
  return k;
}

int FullHeight(const LineRec& line) {
  return line.SpaceBefore + line.LineHt + line.SpaceAfter;
}

// Paints the lines of one section.
class LinePainter {
 public:
  LinePainter(TSection& s, Canvas& canvas, IndentManager& indents, int x, bool printing)
      : s_(s),
        canvas_(canvas),
        indents_(indents),
        cellX_(x),
        scrollY_(s.Owner->ScrollY),
        printing_(printing),
        selection_(s, printing),
        objects_(s),
        fonts_(canvas),
        preformatted_(dynamic_cast<const TPreFormated*>(&s) != nullptr) {}

  // Paints the line whose top is at document Y y; returns the next line's top.
  int Paint(int index, int y);

 private:
  void DrawText(const LineRec& line, int offset, int count, int bandBottom, int& xx);
  void PlaceControl(TFormControlBase& control, const LineRec& line, int bandBottom, int xx);

  TSection& s_;
  Canvas& canvas_;
  IndentManager& indents_;
  int cellX_;
  int scrollY_;
  bool printing_;
  LocalSelection selection_;
  Objects objects_;
  FontSelector fonts_;
  bool preformatted_;
};

int LinePainter::Paint(int index, int y) {
  LineRec& line = s_.Lines[static_cast<std::size_t>(index)];
  y += line.SpaceBefore + line.LineHt;  // the bottom of the text band
  if (index == 0 &&
      (s_.ListType == TSection::NumberedItem || s_.ListType == TSection::BulletedItem)) {
    if (const auto* item = dynamic_cast<const TUListItem*>(&s_)) {
      item->PaintMarker(canvas_, cellX_, y, line);
      fonts_.Forget();
    }
  }

  int xx = cellX_ + line.LineIndent;
  line.PaintY = y - line.LineHt - scrollY_;
  line.PaintX = xx;
  bool first = true;
  const int end = line.Start + line.Count;
  int offset = line.Start;
  while (offset < end) {
    if (TImageObj* image = objects_.ImageAt(offset)) {
      const TFontObj& run = *objects_.RunAt(offset);
      const int baseline = y - line.Descent;
      if (!image->Floats()) {
        image->Draw(canvas_, xx, run, baseline, y - line.LineHt);
        xx += image->ImageWidth;
        first = false;
      } else {
        // A float met first on the line stands at the line's top; one met
        // after text hangs from the bottom of the text band.
        const int floatX = indents_.LeftEdge + image->FloatX;
        image->Draw(canvas_, floatX, run, baseline, first ? y - line.LineHt - line.SpaceBefore : y);
      }
      fonts_.Forget();
      ++offset;
      continue;
    }
    if (TFormControlBase* control = s_.Controls->ControlAt(offset)) {
      PlaceControl(*control, line, y, xx);
      xx += control->ControlWidth();
      first = false;
      ++offset;
      continue;
    }
    int boundary = 0;
    selection_.Test(offset, boundary);
    const int count = std::min(objects_.TextPiece(offset, end - offset), boundary);
    DrawText(line, offset, count, y, xx);
    first = false;
    offset += count;
  }
  return y + line.SpaceAfter;
}

void LinePainter::DrawText(const LineRec& line, int offset, int count, int bandBottom, int& xx) {
  const TFontObj* run = objects_.RunAt(offset);
  fonts_.Select(run);
  int boundary = 0;
  const TColor color = run->Font->Color();
  if (selection_.Test(offset, boundary)) {
    // Selected text: the page's colour on a field of the text's colour.
    canvas_.SetBkMode(BkMode::Opaque);
    canvas_.SetBkColor(color);
    canvas_.SetTextColor(s_.Owner->Background);
  } else {
    canvas_.SetBkMode(BkMode::Transparent);
    canvas_.SetTextColor(color);
  }
  if (printing_) canvas_.SetTextColor(clBlack);

  const char* text = s_.Buffer.data() + offset;
  const int x = xx - run->Overhang / 2;
  const int baseline = bandBottom - line.Descent - scrollY_;
  if (preformatted_) {
    const TRect clip{cellX_, bandBottom - line.LineHt - line.SpaceBefore - scrollY_,
                     cellX_ + indents_.ClipWidth, bandBottom - scrollY_};
    canvas_.ExtTextOut(x, baseline, ETO_CLIPPED, &clip, text, count);
  } else {
    int shift = 0;
    if (run->Shift == ShiftSuperscript)
      shift = -(run->LineHeight / 3);
    else if (run->Shift == ShiftSubscript)
      shift = run->Descent / 2 + 1;
    canvas_.TextOut(x, baseline + shift, text, count);
  }
  xx += canvas_.TextExtent(text, count).cx - run->Overhang;
}

void LinePainter::PlaceControl(TFormControlBase& control, const LineRec& line, int bandBottom,
                               int xx) {
  control.Placed = true;
  int top = bandBottom - control.ControlHeight() - scrollY_;
  if (control.OnBaseline) top -= line.Descent;
  control.MoveControl(xx, top);
  if (!printing_) {
    control.ShowControl();
    return;
  }
  // On paper the window is not there: its outline stands in for it.
  canvas_.SetPen(clBlack);
  canvas_.SetBrush(canvas_.BrushColor(), BrushStyle::Clear);
  const int right = xx + control.ControlWidth();
  const int bottom = top + control.ControlHeight();
  if (control.IsRadio())
    canvas_.Ellipse(xx, top, right, bottom);
  else
    canvas_.Rectangle(xx, top, right, bottom);
}

}  // namespace

int TSection::Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y) {
  const int result = y + Height;
  if (!Owner || BandHidden(clipRect, y)) return result;
  const bool printing = Owner->Printing || canvas.IsPrinter();
  canvas.SetTextAlign(TA_BASELINE);
  LinePainter painter(*this, canvas, indents, x, printing);
  for (int i = 0; i < LineCount(); ++i) {
    const LineRec& line = Lines[static_cast<std::size_t>(i)];
    // A printed line that would cross the page's end starts the next page,
    // unless it is taller than a whole page.
    if (printing && line.DrawHeight < clipRect.Height() &&
        Owner->PageBottom < y + line.DrawHeight) {
      Owner->PageBottom = std::min(Owner->PageBottom, y);
      break;
    }
    y = painter.Paint(i, y);
  }
  return result;
}

bool TSection::LinkAt(Canvas& canvas, int x, int y, TUrlTarget& target) {
  if (Images.Count() > 0) {
    int inX = 0, inY = 0, pos = 0;
    bool isMap = false, mapFound = false;
    const TMapItem* mapItem = nullptr;
    if (Images.HitTest(Bounded(x), Bounded(std::int64_t{Top} + y), inX, inY, pos, isMap, mapFound,
                       mapItem)) {
      if (mapFound && mapItem) {
        std::unique_ptr<TUrlTarget> area;
        if (!mapItem->UrlAt(inX, inY, area) || !area) return false;
        target = *area;
        return true;
      }
      // No client-side map: the link around the image, with the point inside
      // the image for a server-side map.
      int index = 0;
      const TFontObj* run = Fonts.RunAt(pos, index);
      if (!run || !run->IsLink()) return false;
      target = run->Link;
      if (isMap) {
        // "?X,Y" appended piece by piece: no temporary strings to join.
        target.Url.push_back('?');
        target.Url.append(std::to_string(inX));
        target.Url.push_back(',');
        target.Url.append(std::to_string(inY));
      }
      return true;
    }
  }

  int top = 0;
  for (const LineRec& line : Lines) {
    const int bottom = top + FullHeight(line);
    if (y >= top && y < bottom) {
      if (x < line.PaintX) return false;
      const int n =
          HitFit(canvas, *this, line.Start, line.Count, Bounded(std::int64_t{x} - line.PaintX));
      if (n >= line.Count) return false;
      int index = 0;
      const TFontObj* run = Fonts.RunAt(line.Start + n, index);
      if (!run || !run->IsLink()) return false;
      target = run->Link;
      return true;
    }
    top = bottom;
  }
  return false;
}

int TSection::CharIndexAt(Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                          TCell*&) {
  int top = 0;
  int before = 0;
  for (const LineRec& line : Lines) {
    const int bottom = top + FullHeight(line);
    if (bottom > y) {
      caretHeight = line.LineHt;
      caretY = top + line.SpaceBefore;
      // Left of the line's start: its first character, with the caret there.
      caretX = line.PaintX;
      if (x >= line.PaintX) {
        const int inX = Bounded(std::int64_t{x} - line.PaintX);
        int e = HitFit(canvas, *this, line.Start, line.Count, inX);
        const int w = TextWidth(canvas, line.Start, e, false);
        caretX = line.PaintX + w;
        if (e < line.Count) {
          // Past the middle of the character the caret goes after it.
          const int g = TextWidth(canvas, line.Start + e, 1, false);
          if (w + g / 2 < inX) {
            caretX += g;
            ++e;
          }
        }
        before += e;
      }
      return StartIndex + before;
    }
    top = bottom;
    before += line.Count;
  }
  return -1;
}

bool TSection::CaretPointOf(Canvas& canvas, int charIndex, int& x, int& y) {
  if (Length == 0 || charIndex < StartIndex || charIndex > StartIndex + Length) return false;
  const int offset = charIndex - StartIndex;
  int top = Top;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    const LineRec& line = Lines[i];
    // The section's end lies at the end of its last line.
    const bool last = i + 1 == Lines.size();
    if (offset < line.Start + line.Count || (last && offset == line.Start + line.Count)) {
      x = TextWidth(canvas, line.Start, offset - line.Start, false) + line.LineIndent;
      y = top;
      return true;
    }
    top += FullHeight(line);
  }
  return false;
}

int TSection::FindText(int fromIndex, std::string_view text, bool matchCase) {
  if (Length == 0 || text.empty() || fromIndex >= StartIndex + Length) return -1;
  const int from = Bounded(std::max<std::int64_t>(0, std::int64_t{fromIndex} - StartIndex));
  const std::string_view buffer(Buffer.data(), static_cast<std::size_t>(Length));
  if (matchCase) {
    const std::size_t at = buffer.find(text, static_cast<std::size_t>(from));
    return at == std::string_view::npos ? -1 : StartIndex + static_cast<int>(at);
  }
  // A long search text matches wherever its first 255 characters match.
  const std::string_view key = text.substr(0, MaxCaselessSearch);
  // Letter case is that of the page's code page.
  const CodePage page = Owner ? Owner->TextCodePage() : CodePage::Windows1252;
  const std::uint8_t* fold = FoldTable(page);
  const std::uint8_t first = fold[static_cast<unsigned char>(key.front())];
  for (std::size_t i = static_cast<std::size_t>(from); i + key.size() <= buffer.size(); ++i) {
    if (fold[static_cast<unsigned char>(buffer[i])] != first) continue;
    if (SameTextIn(page, buffer.substr(i, key.size()), key))
      return StartIndex + static_cast<int>(i);
  }
  return -1;
}

void TSection::CopySelectedText() {
  if (!Owner || !Owner->ClipText) return;
  TTextSink& sink = *Owner->ClipText;
  const LocalSelection selection(*this, false);
  for (const LineRec& line : Lines) {
    const int o = line.Start;
    const int c = line.Count;
    // A line that ends where the selection starts gives nothing, not even
    // its line break.
    if (o >= selection.end || o + c <= selection.start) continue;
    const int f = std::max(0, selection.start - o);
    const int e = std::min(c, selection.end - o);
    if (f == 0)
      for (int i = 0; i < line.LineIndent / ListIndentWidth; ++i) sink.AddChars(IndentSpaces, 3);
    sink.AddTextAt(Buffer.data() + o + f, e - f, StartIndex + o + f);
    if (e == c) AddLineBreak(sink);
  }
}

}  // namespace kiv
