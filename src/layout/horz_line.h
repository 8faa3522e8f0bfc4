// THorzLine: the horizontal rule of an "HR", drawn etched and centred in the
// room left between the floats at its Y.
#pragma once

#include "layout/section_base.h"
#include "reader/attributes.h"

namespace kiv {

// Rule thickness: "SIZE" is taken from 1 to 20; the default is 2.
constexpr int MinRuleSize = 1;
constexpr int MaxRuleSize = 20;
constexpr int DefaultRuleSize = 2;
// Height of a rule of default thickness at the base size of 12 points.
constexpr int RuleSpaceHeight = 20;
// Room left at each end of a full-width rule.
constexpr int RuleEndMargin = 10;
// Widest rule in pixels; a larger "WIDTH" is held at it so that positions
// cannot overflow.
constexpr int MaxRuleWidth = 32000;

class THorzLine : public TSectionBase {
 public:
  // Reads "SIZE" and "WIDTH"; no other attribute.
  explicit THorzLine(const TAttributeList& attributes);
  THorzLine(TSectionList* owner, const THorzLine& source);

  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;
  void CopySelectedText() override;
  int Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y) override;
  void ComputeFixedHeight() override;

  int RuleSize = DefaultRuleSize;  // thickness in pixels
  int RuleWidth = -1;              // -1 full width, else pixels or a percentage
  bool Percent = false;            // RuleWidth is a percentage of the room
};

}  // namespace kiv
