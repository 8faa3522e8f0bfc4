#include "layout/list_items.h"

#include <string>

#include "layout/line_rec.h"
#include "layout/section_list.h"
#include "platform/canvas.h"

namespace kiv {

namespace {

// Bullet colours on a white, silver or button-face page, by nesting level.
// Deeper levels repeat the cycle.
TColor BulletColor(int level) {
  static constexpr TColor Colors[] = {RGB(0xFF, 0, 0), RGB(0, 0, 0x80), RGB(0x80, 0, 0)};
  const int n = static_cast<int>(std::size(Colors));
  return Colors[((level % n) + n) % n];
}

// Pages on which bullets are filled in their level's colour; on any other
// page they are outlined in the text colour.
bool PlainPage(TColor background) {
  const TColor rgb = background & 0xFFFFFF;
  return background == clBtnFace || rgb == 0xFFFFFF || rgb == 0xC0C0C0;
}

}  // namespace

TUListItem::TUListItem(int listLevel, const TUrlTarget* link, const TMyFont& font,
                       std::uint8_t styleFlags)
    : TSection(listLevel, JustifyLeft, link, font, styleFlags), BaseFont(*Fonts.First()->Font) {
  ListType = BulletedItem;
}

void TUListItem::FontsChanged() {
  if (Owner) BaseFont.ApplyDefaults(*Owner, Owner->FontColor);
  TSection::FontsChanged();
}

std::unique_ptr<TSectionBase> TUListItem::CreateClone(TSectionList* owner) const {
  return std::unique_ptr<TSectionBase>(new TUListItem(owner, *this));
}

TOListItem::TOListItem(int listLevel, const TUrlTarget* link, const TMyFont& font, int number,
                       std::uint8_t styleFlags)
    : TUListItem(listLevel, link, font, styleFlags) {
  ListNumber = number;
  ListType = NumberedItem;
}

std::unique_ptr<TSectionBase> TOListItem::CreateClone(TSectionList* owner) const {
  return std::unique_ptr<TSectionBase>(new TOListItem(owner, *this));
}

TDListItem::TDListItem(int listLevel, const TUrlTarget* link, const TMyFont& font,
                       std::uint8_t styleFlags)
    : TUListItem(listLevel, link, font, styleFlags) {
  ListType = DefinitionItem;
}

std::unique_ptr<TSectionBase> TDListItem::CreateClone(TSectionList* owner) const {
  return std::unique_ptr<TSectionBase>(new TDListItem(owner, *this));
}

void TUListItem::PaintMarker(Canvas& canvas, int x, int y, const LineRec& line) const {
  if (!Owner) return;
  const int markerX = MarkerX + x;
  const int scrollY = Owner->ScrollY;
  if (ListType == NumberedItem) {
    canvas.SelectFont(BaseFont);
    std::string number = std::to_string(ListNumber) + ".";
    if (number.size() > static_cast<std::size_t>(MaxListNumberText))
      number.resize(MaxListNumberText);
    const int n = static_cast<int>(number.size());
    canvas.SetTextColor(BaseFont.Color());
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign(TA_BASELINE);
    const int width = canvas.TextExtent(number.data(), n).cx;
    canvas.TextOut(markerX - ListNumberGap - width, y - line.Descent - scrollY, number.data(), n);
  } else if (ListType == BulletedItem && !Plain) {
    const TColor background = Owner->Background;
    if (PlainPage(background)) {
      const TColor color = BulletColor(ListLevel);
      canvas.SetBrush(color);
      canvas.SetPen(color);
    } else {
      canvas.SetBrush(canvas.BrushColor(), BrushStyle::Clear);
      canvas.SetPen(Owner->FontColor);
    }
    const int cx = markerX - BulletOffset;
    const int cy = y - line.LineHt / 2 - scrollY;
    canvas.Ellipse(cx - 2, cy - 2, cx + 3, cy + 3);
    canvas.SetBrush(background);
    canvas.SetPen(Owner->FontColor);
  }
}

}  // namespace kiv
