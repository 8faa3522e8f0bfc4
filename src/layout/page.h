// TPage: the page break of a "PAGE" tag. It has no height; while printing it
// ends the page being painted at its Y.
#pragma once

#include "layout/section_base.h"

namespace kiv {

// A break this close to the top of a printed page has no effect.
constexpr int PageBreakTopMargin = 5;

class TPage : public TSectionBase {
 public:
  TPage() = default;
  TPage(TSectionList* owner, const TPage& source) : TSectionBase(owner, source) {}

  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;
  int Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y) override;
};

}  // namespace kiv
