#include "layout/text_section.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "layout/font_selector.h"
#include "layout/form_control.h"
#include "layout/form_control_list.h"
#include "layout/indent_manager.h"
#include "layout/layout_limits.h"
#include "layout/section_list.h"
#include "platform/canvas.h"
#include "reader/symbols.h"

namespace kiv {

namespace {

// Widest minimum width a preformatted line asks for.
constexpr int MaxPreformattedMinWidth = 500;
// Characters of a "CLEAR" value that are compared.
constexpr std::size_t MaxClearValue = 15;

bool IsBreakChar(char c) {
  return c == ' ' || c == ImagePlaceholder || c == ControlPlaceholder;
}

// Answers the look-ups of the runs and images at an offset. Layout asks about
// offsets that mostly move forward, so the cursor remembers the run and the
// image it found last and steps from there instead of scanning from the first.
class ObjectCursor {
 public:
  ObjectCursor(const TFontList& fonts, const TImageList& images, int length)
      : runs_(fonts.begin()),
        runCount_(fonts.Count()),
        images_(images.begin()),
        imageCount_(images.Count()),
        length_(length) {
    SetRun(0);
  }

  // The run holding offset: the last one starting at or before it.
  TFontObj* RunAt(int offset) {
    if (offset < runStart_ || offset >= runEnd_) {
      int i = run_;
      while (i > 0 && runs_[i]->Pos > offset) --i;
      while (i + 1 < runCount_ && runs_[i + 1]->Pos <= offset) ++i;
      SetRun(i);
    }
    return runs_[run_].get();
  }
  // Characters from offset to the next run's start, or to the end.
  int CountAt(int offset) {
    RunAt(offset);
    return runEnd_ - offset;
  }
  // The first image at or after offset, or null.
  TImageObj* NextImage(int offset) {
    while (image_ > 0 && images_[image_ - 1]->Pos >= offset) --image_;
    while (image_ < imageCount_ && images_[image_]->Pos < offset) ++image_;
    return image_ < imageCount_ ? images_[image_].get() : nullptr;
  }
  int DistanceToImage(int offset) {
    TImageObj* next = NextImage(offset);
    return next ? next->Pos - offset : NoNextObject;
  }
  TImageObj* ImageAt(int offset) {
    TImageObj* next = NextImage(offset);
    return next && next->Pos == offset ? next : nullptr;
  }

 private:
  void SetRun(int i) {
    run_ = i;
    runStart_ = i == 0 ? std::numeric_limits<int>::min() : runs_[i]->Pos;
    runEnd_ = i + 1 < runCount_ ? runs_[i + 1]->Pos : std::max(length_, runs_[i]->Pos + 1);
  }

  decltype(std::declval<const TFontList&>().begin()) runs_;
  int runCount_;
  decltype(std::declval<const TImageList&>().begin()) images_;
  int imageCount_;
  int length_;
  int run_ = 0;
  int runStart_ = 0, runEnd_ = 0;  // offsets the remembered run covers
  int image_ = 0;
};

int TextWidthOf(Canvas& canvas, const TSection& s, ObjectCursor& cursor, FontSelector& fonts, int p,
                int n, bool dropTrailingSpaces) {
  if (n <= 0) return 0;
  if (dropTrailingSpaces)
    while (n > 1 && s.Buffer[p + n - 1] == ' ') --n;
  const char* text = s.Buffer.data();
  int width = 0;
  const int end = p + n;
  int offset = p;
  // A section of text alone (most of them) has no objects to look for.
  const bool textOnly = s.HoldsTextOnly();
  while (offset < end) {
    if (!textOnly) {
      if (TImageObj* image = cursor.ImageAt(offset)) {
        if (!image->Floats()) width += image->ImageWidth;
        ++offset;
        continue;
      }
      const int controlWidth = s.Controls->WidthAt(offset);
      if (controlWidth >= 0) {
        width += controlWidth;
        ++offset;
        continue;
      }
    }
    const int piece = textOnly ? std::min(end - offset, cursor.CountAt(offset))
                               : std::min({end - offset, cursor.CountAt(offset),
                                           cursor.DistanceToImage(offset),
                                           s.Controls->DistanceToNext(offset)});
    const TFontObj* run = cursor.RunAt(offset);
    fonts.Select(run);
    width += canvas.TextExtent(text + offset, piece).cx - run->Overhang;
    offset += piece;
  }
  return width;
}

}  // namespace

// --- construction and building ----------------------------------------------

TSection::TSection(int listLevel, int justify, const TUrlTarget* link, const TMyFont& font,
                   std::uint8_t styleFlags)
    : ListLevel(std::clamp(listLevel, 0, MaxListLevel)),
      Indent(ListLevel * ListIndentWidth),
      Justify(static_cast<std::uint8_t>(justify)) {
  Fonts.StartRuns(font, styleFlags, link);
}

TSection::TSection(TSectionList* owner, const TSection& source)
    : TSectionBase(owner, source),
      Buffer(source.Buffer),
      Fonts(source.Fonts),
      Capacity(static_cast<int>(Buffer.capacity()) + 1),
      ListLevel(source.ListLevel),
      Indent(source.Indent),
      ListNumber(source.ListNumber),
      ListType(source.ListType),
      Justify(source.Justify),
      // A copy made for printing breaks its lines as the screen did.
      ClearAttr(source.ClearAttr) {
  Length = source.Length;
  for (const auto& image : source.Images) Images.Add(TImageObj::CreateClone(*image));
  // The controls' windows stay on the screen; paper gets their outlines.
  if (const TControlList* controls = source.Controls.Owned())
    Controls = controls->CloneForPrinting();
}

TSection::~TSection() = default;

std::unique_ptr<TSectionBase> TSection::CreateClone(TSectionList* owner) const {
  return std::unique_ptr<TSectionBase>(new TSection(owner, *this));
}

void TSection::AppendText(std::string_view s) {
  if (s.empty() || Length > MaxSectionText) return;
  // The string grows in steps beyond what is needed and keeps short texts
  // (most table cells) without an allocation of their own.
  Buffer.append(s);
  Length += static_cast<int>(s.size());
  Capacity = static_cast<int>(Buffer.capacity()) + 1;
}

bool TSection::IsFloatPlaceholder(int offset) const {
  if (Buffer[offset] != ImagePlaceholder) return false;
  const TImageObj* image = Images.ImageAt(offset);
  return image && image->Floats();
}

void TSection::AddText(std::string_view s) {
  if (s.empty() || Length > MaxSectionText) return;
  if (s.front() == ' ') {
    bool drop = Length == 0 || Buffer[Length - 1] == ' ';
    if (!drop) {
      // A space after nothing but floating images would start the first line.
      int i = 0;
      while (i < Length && IsFloatPlaceholder(i)) ++i;
      drop = i == Length;
    }
    if (drop) s.remove_prefix(1);
  }
  AppendText(s);
}

void TPreFormated::AddText(std::string_view s) {
  AppendText(s);
}

void TSection::ChangeFont(const TSectionList& document, const TMyFont& font,
                          std::uint8_t styleFlags, std::uint8_t verticalShift) {
  Fonts.ChangeFont(document, font, Length, styleFlags, verticalShift);
}

void TSection::ChangeFontAndLink(bool isLinkStart, const TSectionList& document,
                                 const TUrlTarget* link, const TMyFont& font,
                                 std::uint8_t styleFlags, std::uint8_t verticalShift) {
  Fonts.ChangeFontAndLink(isLinkStart, document, link, font, Length, styleFlags, verticalShift);
}

TImageObj* TSection::AddImage(const TAttributeList& attributes) {
  // A full section takes no more text, so no image without its placeholder.
  if (Length > MaxSectionText) return nullptr;
  TImageObj* image = Images.Emplace(Length, attributes);
  AppendText(std::string_view(&ImagePlaceholder, 1));
  return image;
}

TFormControlObj* TSection::AddControl(Symbol tag, TSectionList& document,
                                      const TAttributeList& attributes, ThtmlForm*& currentForm) {
  const bool hidden = IsHiddenInput(tag, attributes);
  // A full section takes no more text, so no control without its placeholder.
  if (!hidden && Length > MaxSectionText) return nullptr;
  TFormControlObj* control = CreateFormControl(tag, document, attributes, Length, currentForm);
  if (!control || hidden) return control;
  auto* list = static_cast<TFormControlList*>(Controls.Owned());
  if (!list) {
    auto owned = std::make_unique<TFormControlList>();
    list = owned.get();
    Controls = std::move(owned);
  }
  list->Add(control);
  AppendText(std::string_view(&ControlPlaceholder, 1));
  return control;
}

void TSection::SetClear(const TAttributeList& attributes) {
  const TAttribute* clear = nullptr;
  if (!FindAttribute(attributes, ClearSy, clear)) return;
  std::string value = clear->Text.substr(0, MaxClearValue);
  for (char& c : value)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  ClearAttr = value == "left" ? 1 : value == "right" ? 2 : 3;
}

int TSection::EnsureText() {
  if (Length == 0) {
    AddText("X");
    if (Length > 0) Buffer[Length - 1] = ' ';
  }
  return Justify;
}

void TPreFormated::PrepareForCell() {
  if (Length == 0) AddText(" ");
}

std::unique_ptr<TSectionBase> TPreFormated::CreateClone(TSectionList* owner) const {
  return std::unique_ptr<TSectionBase>(new TPreFormated(owner, *this));
}

void TSection::FontsChanged() {
  if (Owner) {
    Fonts.FontsChanged(*Owner);
  }
  TSectionBase::FontsChanged();
}

int TSection::LineDrawHeight(int index) const {
  if (index < 0 || index >= LineCount()) return 0;
  return Lines[index].DrawHeight;
}

int TSection::TextWidth(Canvas& canvas, int p, int n, bool dropTrailingSpaces) const {
  p = std::clamp(p, 0, Length);
  n = std::clamp(n, 0, Length - p);
  ObjectCursor cursor(Fonts, Images, Length);
  FontSelector fonts(canvas);
  return TextWidthOf(canvas, *this, cursor, fonts, p, n, dropTrailingSpaces);
}

// --- layout -------------------------------------------------------------------

// The state of one layout of a section: the running Y, the pending floats,
// the object cursor and the font last selected into the canvas.
class TSection::LayoutPass {
 public:
  LayoutPass(TSection& s, Canvas& canvas, IndentManager& indents, int y)
      : s_(s),
        canvas_(canvas),
        indents_(indents),
        y_(y),
        cursor_(s.Fonts, s.Images, s.Length),
        fonts_(canvas),
        textOnly_(s.HoldsTextOnly()) {}

  int Run();
  int ClearSpace() const;

 private:
  int Fit(int p, int width, int allowed, int& floatHeight);
  void FinishLine(LineRec& line, int p, int n, int floatHeight);

  TSection& s_;
  Canvas& canvas_;
  IndentManager& indents_;
  int y_;
  ObjectCursor cursor_;
  FontSelector fonts_;
  const bool textOnly_;  // no images or controls: Fit need not look for them
  std::vector<TImageObj*> pending_;  // floats met after text, registered below the line
};

int TSection::LayoutPass::ClearSpace() const {
  if (s_.ClearAttr == 0) return 0;
  int left = 0, right = 0;
  indents_.ClearPositions(left, right);
  const int l = left - y_ - 1;
  const int r = std::max(0, right - y_ - 1);
  switch (s_.ClearAttr) {
    case 1:
      return std::max(0, l);
    case 2:
      return r;
    default:
      return std::max(l, r);
  }
}

int TSection::LayoutPass::Fit(int p, int width, int allowed, int& floatHeight) {
  const char* text = s_.Buffer.data();
  int x = 0;
  int k = 0;
  bool first = true;
  int offset = p;
  for (;;) {
    // A section of text alone (most of them) has no objects to look for.
    if (!textOnly_) {
      if (TImageObj* image = cursor_.ImageAt(offset)) {
        if (!image->Floats()) {
          x += image->ImageWidth;
          first = false;
        } else if (first) {
          const int room = image->ImageWidth + image->HSpace;
          // A float that no longer fits beside the ones before it starts the
          // next line, where it is registered once.
          if (k > 0 && x + room > width) return k;
          indents_.AddFloat(y_, image);
          floatHeight = std::max(floatHeight, image->ImageHeight);
          x += room;
        } else {
          pending_.push_back(image);
        }
        if (x > width) return k;
        if (k + 1 >= allowed) return allowed;
        ++k;
        ++offset;
        continue;
      }
      const int controlWidth = s_.Controls->WidthAt(offset);
      if (controlWidth >= 0) {
        x += controlWidth;
        if (x > width) return k;
        first = false;
        if (k + 1 >= allowed) return allowed;
        ++k;
        ++offset;
        continue;
      }
    }
    const int limit = textOnly_ ? cursor_.CountAt(offset)
                                : std::min({cursor_.CountAt(offset), cursor_.DistanceToImage(offset),
                                            s_.Controls->DistanceToNext(offset)});
    const TFontObj* run = cursor_.RunAt(offset);
    fonts_.Select(run);
    // The most characters whose extent less the overhang fits in what is left.
    const int room = width - x;
    int extent = 0;
    const int m = room + run->Overhang < 0
                      ? 0
                      : canvas_.TextFit(text + offset, limit, room + run->Overhang, extent);
    if (k + m >= allowed) return allowed;
    k += m;
    if (m < limit) return k;
    x += extent - run->Overhang;
    first = false;
    offset += m;
  }
}

void TSection::LayoutPass::FinishLine(LineRec& line, int p, int n, int floatHeight) {
  const char* text = s_.Buffer.data();
  const int end = p + n;

  // Text band: the tallest run met (the first of equal height wins).
  bool allObjects = true;
  for (int i = p; i < end; ++i) {
    if (text[i] != ImagePlaceholder && text[i] != ControlPlaceholder) {
      allObjects = false;
      break;
    }
  }
  int lineHt = 0, descent = 0;
  if (!allObjects) {
    for (int offset = p; offset < end;) {
      const TFontObj* run = cursor_.RunAt(offset);
      if (run->LineHeight > lineHt) {
        lineHt = run->LineHeight;
        descent = run->Descent;
      }
      offset += std::max(1, cursor_.CountAt(offset));
    }
  }

  // Room for images and controls above and below the text band.
  int before = 0, after = 0;
  for (TImageObj* image = cursor_.NextImage(p); image && image->Pos < end;
       image = cursor_.NextImage(image->Pos + 1)) {
    const int d = image->ImageHeight - lineHt;
    switch (image->Align) {
      case TImageObj::AlignTop:
        after = std::max(after, d);
        break;
      case TImageObj::AlignMiddle:
        after = std::max(after, d / 2);
        before = std::max(before, d - d / 2);
        break;
      case TImageObj::AlignBottom:
        before = std::max(before, image->ImageHeight + descent - lineHt);
        break;
      default:
        break;
    }
  }
  if (s_.Controls->Count() > 0) {
    for (int offset = p; offset < end;) {
      const int distance = s_.Controls->DistanceToNext(offset);
      if (distance >= end - offset) break;
      offset += distance;
      bool onBaseline = false;
      const int h = s_.Controls->HeightAt(offset, onBaseline);
      if (h >= 0) before = std::max(before, onBaseline ? h + descent - lineHt : h - lineHt);
      ++offset;
    }
  }

  line.Start = p;
  line.Count = n;
  line.LineHt = lineHt;
  line.Descent = descent;

  const int left = indents_.LeftAt(y_);
  if (s_.Justify == JustifyLeft) {
    line.LineIndent = left;
  } else {
    const int t = TextWidthOf(canvas_, s_, cursor_, fonts_, p, n, true);
    const int right = indents_.RightAt(y_);
    line.LineIndent =
        s_.Justify == JustifyCenter ? std::max(left, (left + right - t) / 2) : right - t;
  }

  line.SpaceBefore += before;
  line.SpaceAfter = after;
  s_.Height += lineHt + after + line.SpaceBefore;
  const int band = lineHt + after + before;
  y_ += band;
  line.DrawHeight = std::max(band, floatHeight);
  for (TImageObj* image : pending_) {
    indents_.AddFloat(y_, image);
    line.DrawHeight = std::max(line.DrawHeight, band + image->ImageHeight);
  }
  pending_.clear();
}

int TSection::LayoutPass::Run() {
  const char* text = s_.Buffer.data();
  const int last = s_.Length - 1;
  int p = 0;
  bool final = false;
  while (p <= last && !final) {
    LineRec line;
    if (s_.Lines.empty()) {
      line.SpaceBefore = ClearSpace();
      y_ += line.SpaceBefore;
    }
    const int width =
        s_.Unwrapped() ? PreformattedWidth : indents_.RightAt(y_) - indents_.LeftAt(y_);
    const int remaining = last - p + 1;
    int floatHeight = 0;
    int n = std::max(1, Fit(p, width, remaining, floatHeight));
    // A preformatted line is never wrapped, however long.
    if (s_.Unwrapped()) n = remaining;

    if (n == remaining) {
      final = true;
    } else {
      const int c = p + n - 1;
      if (text[c] == ' ') {
        // Spaces at a break hang past the right edge of the line they follow.
        while (p + n <= last && text[p + n] == ' ') ++n;
        final = n == remaining;
      } else if (text[c + 1] == ImagePlaceholder || text[c + 1] == ControlPlaceholder) {
        // The object starts the next line.
      } else {
        int b = c;
        while (b > p && !IsBreakChar(text[b])) --b;
        if (b > p) {
          n = b - p + 1;
        } else {
          // A word longer than the line overflows it, with the spaces after it.
          int e = c;
          while (e < last && !IsBreakChar(text[e + 1])) ++e;
          while (e < last && text[e + 1] == ' ') ++e;
          n = e - p + 1;
          final = e == last;
        }
      }
    }
    FinishLine(line, p, n, floatHeight);
    s_.Lines.push_back(line);
    p += n;
  }
  // Floats still pending (a section cut short) are registered below it.
  for (TImageObj* image : pending_) indents_.AddFloat(y_, image);
  pending_.clear();
  return s_.Height;
}

int TSection::Layout(Canvas& canvas, int y, IndentManager& indents, int& maxWidth, int& charIndex) {
  Top = y;
  StartIndex = charIndex;
  Height = 0;
  Lines.clear();
  indents.SetListLevel(y, ListLevel);
  LayoutPass pass(*this, canvas, indents, y);
  if (Length == 0) {
    const int h = pass.ClearSpace();
    Height = DrawHeight = h;
    maxWidth = 0;
    return h;
  }

  MarkerX = indents.LeftAt(y);
  maxWidth = indents.Width;
  {
    ObjectCursor cursor(Fonts, Images, Length);
    for (const auto& image : Images) {
      image->Measure(Owner, canvas, *cursor.RunAt(image->Pos));
      maxWidth = std::max(maxWidth, image->ImageWidth + Indent);
    }
  }
  for (int i = 0; i < Controls->Count(); ++i)
    maxWidth = std::max(maxWidth, Controls->WidthOfIndex(i) + Indent);

  pass.Run();
  charIndex = StartIndex + Length;
  // Floats that started inside a list item's indent keep the item open.
  if (ListLevel > 0) Height = std::max(Height, indents.ListIndentBottom() - Top);
  DrawHeight = std::max(Height, indents.FloatsBottom() - Top);
  return Height;
}

void TSection::MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth) {
  minWidth = 0;
  maxWidth = 0;
  if (Length == 0) return;
  if (HoldsTextOnly() && Fonts.Count() == 1) {
    // Text in one font, as most sections are: the whole and its widest word
    // measured in one pass.
    const TFontObj* run = Fonts.First();
    FontSelector fonts(canvas);
    fonts.Select(run);
    int widest = 0;
    maxWidth = canvas.MeasureWords(Buffer.data(), Length, ImagePlaceholder, widest) -
               run->Overhang + Indent;
    minWidth = (widest < 0 ? 0 : std::max(0, widest - run->Overhang)) + Indent;
    return;
  }
  ObjectCursor cursor(Fonts, Images, Length);
  int floatSum = 0;
  for (const auto& image : Images) {
    image->Measure(Owner, canvas, *cursor.RunAt(image->Pos));
    if (image->Floats())
      floatSum += image->ImageWidth + image->HSpace;
    else
      minWidth = std::max(minWidth, image->ImageWidth);
  }
  FontSelector fonts(canvas);
  maxWidth = floatSum + TextWidthOf(canvas, *this, cursor, fonts, 0, Length, false) + Indent;

  // Words run up to a space or an image; a control belongs to its word.
  const char* text = Buffer.data();
  int i = 0;
  while (i < Length && text[i] == ' ') ++i;
  while (i < Length) {
    const int start = i;
    while (i < Length && text[i] != ' ' && text[i] != ImagePlaceholder) ++i;
    minWidth =
        std::max(minWidth, TextWidthOf(canvas, *this, cursor, fonts, start, i - start, false));
    while (i < Length && (text[i] == ' ' || text[i] == ImagePlaceholder)) ++i;
  }
  minWidth += floatSum + Indent;
}

int TPreFormated::Layout(Canvas& canvas, int y, IndentManager& indents, int& maxWidth,
                         int& charIndex) {
  {
    // The cell's width is lent out for the line and given back even when
    // layout fails.
    struct WidthLoan {
      IndentManager& indents;
      int width;
      ~WidthLoan() { indents.Width = width; }
    } loan{indents, indents.Width};
    indents.Width = PreformattedWidth;
    TSection::Layout(canvas, y, indents, maxWidth, charIndex);
  }
  int minWidth = 0;
  MeasureWidths(canvas, minWidth, maxWidth);
  return Height;
}

void TPreFormated::MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth) {
  ObjectCursor cursor(Fonts, Images, Length);
  for (const auto& image : Images) image->Measure(Owner, canvas, *cursor.RunAt(image->Pos));
  const int t = TextWidth(canvas, 0, Length, false) + Indent;
  maxWidth = t;
  minWidth = std::min(MaxPreformattedMinWidth, t);
}

}  // namespace kiv
