#include "layout/fonts.h"

#include "layout/section_list.h"
#include "platform/canvas.h"
#include "platform/screen_canvas.h"
#include "platform/win_types.h"

namespace kiv {

// --- TMyFont -----------------------------------------------------------------

int ScaledPointSize(int baseFontSize, int twelfths) {
  return MulDiv(baseFontSize, twelfths, 12);
}

void TMyFont::Assign(const Font& source) {
  if (const auto* mine = dynamic_cast<const TMyFont*>(&source)) {
    SizeTwelfths = mine->SizeTwelfths;
    Fixed = mine->Fixed;
  }
  Font::Assign(source);
}

void TMyFont::SetScaled(const TSectionList& document, int twelfths) {
  SizeTwelfths = twelfths;
  SetSize(ScaledPointSize(document.BaseFontSize, twelfths));
}

void TMyFont::ApplyDefaults(const TSectionList& document, TColor color) {
  // All properties change together, so the run is measured once.
  Font changed(*this);
  changed.SetName(Fixed ? document.PreFontName : document.FontName);
  changed.SetCharset(document.CharSet);
  changed.SetSize(ScaledPointSize(document.BaseFontSize, SizeTwelfths));
  changed.SetColor(PaletteRelative(color));
  Font::Assign(changed);
}

// --- TFontObj ----------------------------------------------------------------

TFontObj::TFontObj(std::unique_ptr<TMyFont> font, int pos)
    : TFontObj(font ? *font : TMyFont(), pos) {}

TFontObj::TFontObj(const TFontObj& source)
    : Pos(source.Pos), Shift(source.Shift), Font(*source.Font), Link(source.Link) {
  Hook();
}

void TFontObj::Hook() {
  // The font is a member, so the notification never outlives the run.
  Font->OnChange = [this] { UpdateMetrics(); };
  UpdateMetrics();
}

void TFontObj::UpdateMetrics() {
  // The run keeps its resolved face, shared by the screen's copy below and by
  // every later selection for layout and painting.
  Font->Face();
  const TextMetrics tm = ScreenCanvas().MetricsOf(*Font);
  TextHeight = tm.tmHeight;
  LineHeight = tm.tmHeight + tm.tmExternalLeading;
  Descent = tm.tmDescent;
  Overhang = tm.tmOverhang;
}

// --- TFontList ---------------------------------------------------------------

TFontList::TFontList(const TFontList& source) {
  for (const auto& run : source) Add(run->CreateClone());
}

void TFontList::FontsChanged(const TSectionList& document) {
  for (const auto& run : *this)
    run->Font->ApplyDefaults(document, run->IsLink() ? document.LinkColor : document.FontColor);
}

TFontObj* TFontList::RunAt(int offset, int& index) const {
  // The last run starting at or before offset; runs are in ascending Pos.
  TFontObj* found = nullptr;
  for (int i = 0; i < Count(); ++i) {
    TFontObj* run = Items(i);
    if (run->Pos > offset && found) break;
    found = run;
    index = i;
  }
  return found;
}

TMyFont* TFontList::FontAt(int offset, int& overhang) const {
  int index = 0;
  TFontObj* run = RunAt(offset, index);
  if (!run) return nullptr;
  overhang = run->Overhang;
  return run->Font.get();
}

int TFontList::CountAt(int offset, int length) const {
  for (const auto& run : *this)
    if (run->Pos > offset) return run->Pos - offset;
  return length - offset;
}

void TFontList::LineMetrics(int offset, int& lineHeight, int& descent) const {
  int index = 0;
  TFontObj* run = RunAt(offset, index);
  lineHeight = run ? run->LineHeight : 0;
  descent = run ? run->Descent : 0;
}

void TFontList::StartRuns(const TMyFont& font, std::uint8_t styleFlags, const TUrlTarget* link) {
  font.Face();  // resolved once on the source, so that its copies share the face
  // Most sections keep one to three runs; room for three costs no more
  // memory than room for one.
  items_.reserve(3);
  TFontObj* run = Emplace(
      font, 0, [styleFlags](TMyFont& f) { f.SetStyle(f.Style() | (styleFlags & StyleFlagsMask)); });
  if (link && !(link->Url.empty() && link->Target.empty())) run->Link = *link;
}

TFontObj* TFontList::RunForFont(const TSectionList& document, const TMyFont& font, int length,
                                std::uint8_t styleFlags, std::uint8_t verticalShift) {
  font.Face();  // as in StartRuns
  // The run's font is made complete first, so the run is measured once.
  auto complete = [&](TMyFont& made) {
    made.SetStyle(made.Style() | (styleFlags & StyleFlagsMask));
    if (verticalShift == ShiftSubscript || verticalShift == ShiftSuperscript)
      made.SetScaled(document, MulDiv(made.SizeTwelfths, 3, 4));
  };
  TFontObj* run = Empty() ? nullptr : Last();
  if (run && run->Pos == length) {
    // No character in the last run yet: it takes the new font.
    TMyFont made(font);
    complete(made);
    run->Font->Assign(made);
  } else {
    run = Emplace(font, length, complete);
  }
  run->Shift = verticalShift;
  return run;
}

void TFontList::ChangeFont(const TSectionList& document, const TMyFont& font, int length,
                           std::uint8_t styleFlags, std::uint8_t verticalShift) {
  TFontObj* previous = Empty() ? nullptr : Last();
  TFontObj* run = RunForFont(document, font, length, styleFlags, verticalShift);
  if (previous && run != previous) run->Link = previous->Link;
}

void TFontList::ChangeFontAndLink(bool isLinkStart, const TSectionList& document,
                                  const TUrlTarget* link, const TMyFont& font, int length,
                                  std::uint8_t styleFlags, std::uint8_t verticalShift) {
  // The run does not inherit the previous run's link: it is set here.
  TFontObj* run = RunForFont(document, font, length, styleFlags, verticalShift);
  run->Link.Clear();
  if (isLinkStart && link) run->Link = *link;
}

}  // namespace kiv
