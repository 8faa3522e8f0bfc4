// THeadingSpace: the blank band before and after a heading's text, its
// height by heading level and proportional to the base font size.
#pragma once

#include "layout/section_base.h"

namespace kiv {

class THeadingSpace : public TSectionBase {
 public:
  explicit THeadingSpace(int headingLevel) : HeadingLevel(headingLevel) {}
  THeadingSpace(TSectionList* owner, const THeadingSpace& source)
      : TSectionBase(owner, source), HeadingLevel(source.HeadingLevel) {}

  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;
  void CopySelectedText() override;
  void ComputeFixedHeight() override;

  // Height at the base size of 12 points for a heading level (1 to 6; other
  // levels take the height of level 4).
  static int StandardHeight(int headingLevel);

  int HeadingLevel;  // 1 to 6
};

}  // namespace kiv
