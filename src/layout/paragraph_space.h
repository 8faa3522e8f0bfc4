// TParagraphSpace: the blank band where a "P" starts or ends, its height
// proportional to the document's base font size.
#pragma once

#include "layout/section_base.h"

namespace kiv {

// Height of a paragraph spacer at the standard base size of 12 points.
constexpr int ParagraphSpaceHeight = 14;

class TParagraphSpace : public TSectionBase {
 public:
  TParagraphSpace() = default;
  TParagraphSpace(TSectionList* owner, const TParagraphSpace& source)
      : TSectionBase(owner, source) {}

  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;
  // A selection across the spacer gets a line break.
  void CopySelectedText() override;
  void ComputeFixedHeight() override;
};

// Adds a line break to the document's selected-text collector, when one is
// collecting. Spacers and rules contribute this.
void CopyLineBreak(TSectionList* document);

// A height given for the standard base size of 12 points, scaled to the
// document's base size.
int ScaledToBaseFont(const TSectionList& document, int height);

}  // namespace kiv
