#include "layout/cell.h"

#include <algorithm>

#include "layout/indent_manager.h"
#include "layout/layout_limits.h"
#include "layout/process_error.h"
#include "layout/section_list.h"
#include "platform/message_box.h"

namespace kiv {

TCell::TCell(TSectionList* owner) : Owner(owner) {
  Indents.Emplace();
}

TCell::TCell(TSectionList* owner, const TCell& source)
    : Owner(owner), BaseFontSize(source.BaseFontSize) {
  Indents.Emplace();
  CloneSectionsFrom(source, owner);
}

void TCell::CloneSectionsFrom(const TCell& source, TSectionList* owner) {
  for (const auto& section : source) Add(section->CreateClone(owner));
}

TCell::~TCell() = default;

TSectionBase* TCell::Add(std::unique_ptr<TSectionBase> section) {
  if (!section) return nullptr;
  section->PrepareForCell();
  section->Owner = Owner;
  TSectionBase* added = section.get();
  TFreeList::Add(std::move(section));
  added->ComputeFixedHeight();
  return added;
}

void TCell::FontsChanged() {
  for (const auto& section : *this) section->FontsChanged();
}

TSectionBase* TCell::SectionAtY(int y, int& sectionTop, int& index) const {
  int top = 0;
  for (int i = 0; i < Count(); ++i) {
    TSectionBase* section = Items(i);
    if (y >= top && y < top + section->Height) {
      sectionTop = top;
      index = i;
      return section;
    }
    top += section->Height;
  }
  return nullptr;
}

int TCell::CharIndexAt(Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                       TCell*& cell) {
  int top = 0;
  int index = 0;
  TSectionBase* section = SectionAtY(y, top, index);
  if (!section) return -1;
  const int result = section->CharIndexAt(canvas, x, y - top, caretX, caretY, caretHeight, cell);
  caretY += top;
  if (result >= 0 && !cell) cell = this;
  return result;
}

int TCell::FindText(int fromIndex, std::string_view text, bool matchCase) {
  for (const auto& section : *this) {
    const int found = section->FindText(fromIndex, text, matchCase);
    if (found >= 0) return found;
  }
  return -1;
}

bool TCell::CaretPointOf(Canvas& canvas, int charIndex, int& x, int& y) {
  for (const auto& section : *this)
    if (section->CaretPointOf(canvas, charIndex, x, y)) return true;
  return false;
}

void TCell::CopySelectedText() {
  if (!Owner || Owner->SelStart >= Owner->SelEnd) return;
  for (const auto& section : *this) {
    if (section->StartIndex >= Owner->SelEnd) break;
    if (Owner->SelStart < section->StartIndex + section->Length) section->CopySelectedText();
  }
}

int TCell::Layout(Canvas& canvas, int y, int width, int& maxWidth, int& charIndex) {
  Indents->Clear();
  Indents->Reset(0, width);
  Indents->Width = width;
  StartY = y;
  StartIndex = charIndex;
  int height = 0;
  maxWidth = 0;
  int i = 0;
  while (i < Count()) {
    TSectionBase* section = Items(i);
    const int indexBefore = charIndex;
    try {
      int sectionWidth = 0;
      height += section->Layout(canvas, y + height, *Indents, sectionWidth, charIndex);
      maxWidth = std::max(maxWidth, sectionWidth);
      ++i;
    } catch (const EProcessError& e) {
      // The document stays usable without the section that hit a limit.
      ShowErrorBox(e.what());
      charIndex = indexBefore;
      Delete(i);
    }
  }
  TextLength = charIndex - StartIndex;
  return std::max(height, Indents->FloatsBottom() - y);
}

void TCell::MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth) {
  minWidth = 0;
  maxWidth = 0;
  for (const auto& section : *this) {
    int sectionMin = 0;
    int sectionMax = 0;
    section->MeasureWidths(canvas, sectionMin, sectionMax);
    minWidth = std::max(minWidth, sectionMin);
    maxWidth = std::max(maxWidth, sectionMax);
  }
}

int TCell::Paint(Canvas& canvas, const TRect& clipRect, int clipWidth, int x, int y) {
  Indents->Reset(x, x + Indents->Width);
  Indents->ClipWidth = clipWidth;
  for (const auto& section : *this) y = section->Paint(canvas, clipRect, *Indents, x, y);
  return y;
}

void TCell::MoveBy(int dy, int dIndex) {
  StartY += dy;
  StartIndex += dIndex;
  for (const auto& section : *this) section->MoveBy(dy, dIndex);
  for (const auto* side : {&Indents->LeftFloats, &Indents->RightFloats}) {
    for (const auto& r : *side) {
      r->TopY += dy;
      if (r->BottomY != OpenListBottom) r->BottomY += dy;
    }
  }
}

bool TCell::LinkAt(Canvas& canvas, int x, int y, TUrlTarget& target) {
  // Bands overlap where floats hang below a section, so the walk goes on
  // past a section that does not answer.
  int top = 0;
  for (const auto& section : *this) {
    if (y >= top && y < top + section->DrawHeight && section->LinkAt(canvas, x, y - top, target))
      return true;
    top += section->Height;
  }
  return false;
}

}  // namespace kiv
