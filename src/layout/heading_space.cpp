#include "layout/heading_space.h"

#include "layout/paragraph_space.h"
#include "layout/section_list.h"

namespace kiv {

std::unique_ptr<TSectionBase> THeadingSpace::CreateClone(TSectionList* owner) const {
  return std::make_unique<THeadingSpace>(owner, *this);
}

void THeadingSpace::CopySelectedText() {
  CopyLineBreak(Owner);
}

int THeadingSpace::StandardHeight(int headingLevel) {
  switch (headingLevel) {
    case 1:
      return 16;
    case 2:
      return 12;
    case 3:
      return 10;
    case 5:
      return 6;
    case 6:
      return 4;
    default:
      return 8;
  }
}

void THeadingSpace::ComputeFixedHeight() {
  if (Owner) Height = ScaledToBaseFont(*Owner, StandardHeight(HeadingLevel));
}

}  // namespace kiv
