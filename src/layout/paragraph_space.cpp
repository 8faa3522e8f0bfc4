#include "layout/paragraph_space.h"

#include "layout/section_list.h"
#include "reader/sel_text.h"

namespace kiv {

namespace {

// The base font size that the spacer heights are given for.
constexpr int StandardBaseFontSize = 12;

}  // namespace

void CopyLineBreak(TSectionList* document) {
  if (document && document->ClipText) AddLineBreak(*document->ClipText);
}

int ScaledToBaseFont(const TSectionList& document, int height) {
  return MulDiv(height, document.BaseFontSize, StandardBaseFontSize);
}

std::unique_ptr<TSectionBase> TParagraphSpace::CreateClone(TSectionList* owner) const {
  return std::make_unique<TParagraphSpace>(owner, *this);
}

void TParagraphSpace::CopySelectedText() {
  CopyLineBreak(Owner);
}

void TParagraphSpace::ComputeFixedHeight() {
  if (Owner) Height = ScaledToBaseFont(*Owner, ParagraphSpaceHeight);
}

}  // namespace kiv
