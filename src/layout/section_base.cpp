#include "layout/section_base.h"

#include "layout/indent_manager.h"
#include "layout/section_list.h"

namespace kiv {

TSectionBase::TSectionBase(TSectionList* owner, const TSectionBase& source)
    : Owner(owner), Height(source.Height) {}

TSectionBase::~TSectionBase() = default;

std::unique_ptr<TSectionBase> TSectionBase::CreateClone(TSectionList* owner) const {
  return std::unique_ptr<TSectionBase>(new TSectionBase(owner, *this));
}

void TSectionBase::CopySelectedText() {}

int TSectionBase::Layout(Canvas&, int, IndentManager& indents, int& maxWidth, int& charIndex) {
  StartIndex = charIndex;
  DrawHeight = Height;
  maxWidth = indents.Width;
  return Height;
}

int TSectionBase::Paint(Canvas&, const TRect&, IndentManager&, int, int y) {
  Top = y;
  return y + Height;
}

bool TSectionBase::LinkAt(Canvas&, int, int, TUrlTarget&) {
  return false;
}

int TSectionBase::CharIndexAt(Canvas&, int, int, int&, int&, int&, TCell*&) {
  return -1;
}

int TSectionBase::FindText(int, std::string_view, bool) {
  return -1;
}

bool TSectionBase::CaretPointOf(Canvas&, int, int&, int&) {
  return false;
}

void TSectionBase::FontsChanged() {
  ComputeFixedHeight();
}

void TSectionBase::ComputeFixedHeight() {}

void TSectionBase::MeasureWidths(Canvas&, int& minWidth, int& maxWidth) {
  minWidth = 0;
  maxWidth = 0;
}

bool TSectionBase::BandHidden(const TRect& clipRect, int y) const {
  const int scrollY = Owner ? Owner->ScrollY : 0;
  return y + DrawHeight - scrollY < clipRect.Top || y - scrollY >= clipRect.Bottom;
}

}  // namespace kiv
