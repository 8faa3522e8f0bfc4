#include "layout/horz_line.h"

#include <algorithm>

#include "layout/indent_manager.h"
#include "layout/paragraph_space.h"
#include "layout/section_list.h"
#include "platform/canvas.h"

namespace kiv {

THorzLine::THorzLine(const TAttributeList& attributes) {
  const TAttribute* size = nullptr;
  if (FindAttribute(attributes, SizeSy, size) && size->Value >= MinRuleSize &&
      size->Value <= MaxRuleSize)
    RuleSize = size->Value;
  const TAttribute* width = nullptr;
  if (FindAttribute(attributes, WidthSy, width) && width->Value > 0) {
    if (width->Text.find('%') != std::string::npos) {
      Percent = true;
      if (width->Value <= 100) RuleWidth = width->Value;  // more than 100%: full width
    } else {
      RuleWidth = std::min(width->Value, MaxRuleWidth);
    }
  }
}

THorzLine::THorzLine(TSectionList* owner, const THorzLine& source)
    : TSectionBase(owner, source),
      RuleSize(source.RuleSize),
      RuleWidth(source.RuleWidth),
      Percent(source.Percent) {}

std::unique_ptr<TSectionBase> THorzLine::CreateClone(TSectionList* owner) const {
  return std::make_unique<THorzLine>(owner, *this);
}

void THorzLine::CopySelectedText() {
  CopyLineBreak(Owner);
}

void THorzLine::ComputeFixedHeight() {
  if (Owner) Height = ScaledToBaseFont(*Owner, RuleSpaceHeight) + RuleSize - DefaultRuleSize;
}

int THorzLine::Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y) {
  const int next = TSectionBase::Paint(canvas, clipRect, indents, x, y);
  if (!Owner) return next;
  const int scrollY = Owner->ScrollY;
  if (y + Height - scrollY < clipRect.Top || y - scrollY >= clipRect.Bottom ||
      (Owner->Printing && y >= Owner->PageBottom))
    return next;

  // Floats at the rule's Y narrow it.
  int x1 = indents.LeftAt(y);
  int x2 = indents.RightAt(y);
  const int y1 = y + (Height - RuleSize) / 2 - scrollY;
  if (RuleWidth < 0) {
    x1 += RuleEndMargin;
    x2 -= RuleEndMargin;
  } else {
    const int width = Percent ? MulDiv(x2 - x1, RuleWidth, 100) : RuleWidth;
    x1 += (x2 - x1 - width) / 2;
    x2 = x1 + width;
  }

  canvas.SetPen(clBtnShadow);
  canvas.MoveTo(x1, y1 + RuleSize);
  canvas.LineTo(x1, y1);
  canvas.LineTo(x2, y1);
  canvas.SetPen(Owner->EtchedHighlightColor());
  canvas.LineTo(x2, y1 + RuleSize);
  canvas.LineTo(x1, y1 + RuleSize);
  return next;
}

}  // namespace kiv
