// List item text sections: TUListItem (bulleted), TOListItem (numbered) and
// TDListItem (definition term or definition). Their text is indented by the
// list levels of the cell's indent manager; bullets and numbers are drawn in
// the gutter left of the first line.
#pragma once

#include <cstdint>

#include "layout/text_section.h"

namespace kiv {

struct LineRec;

// Characters kept of a list number with its full stop.
constexpr int MaxListNumberText = 7;
// Gap between a list number's right end and the item's text.
constexpr int ListNumberGap = 5;
// Distance from the item's text back to the bullet's centre.
constexpr int BulletOffset = 8;

class TUListItem : public TSection {
 public:
  TUListItem(int listLevel, const TUrlTarget* link, const TMyFont& font,
             std::uint8_t styleFlags = 0);

  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;

  // Draws the number or bullet of the item beside its first line: x is the
  // window X of the cell, y the document Y of the bottom of the line's text
  // band. Definition items and plain bulleted items draw nothing.
  void FontsChanged() override;
  void PaintMarker(Canvas& canvas, int x, int y, const LineRec& line) const;

  TMyFont BaseFont;    // the first run's font as built: item numbers are drawn in it
  bool Plain = false;  // items of a "UL" with "PLAIN": no bullet

 protected:
  TUListItem(TSectionList* owner, const TUListItem& source)
      : TSection(owner, source), BaseFont(source.BaseFont), Plain(source.Plain) {}
};

class TOListItem : public TUListItem {
 public:
  TOListItem(int listLevel, const TUrlTarget* link, const TMyFont& font, int number,
             std::uint8_t styleFlags = 0);

  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;

 protected:
  TOListItem(TSectionList* owner, const TOListItem& source) : TUListItem(owner, source) {}
};

class TDListItem : public TUListItem {
 public:
  TDListItem(int listLevel, const TUrlTarget* link, const TMyFont& font,
             std::uint8_t styleFlags = 0);

  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;

 protected:
  TDListItem(TSectionList* owner, const TDListItem& source) : TUListItem(owner, source) {}
};

}  // namespace kiv
