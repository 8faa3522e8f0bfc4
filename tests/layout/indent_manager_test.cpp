// Floating indents and list levels of one cell.
#include <gtest/gtest.h>

#include <limits>

#include "layout/image_obj.h"
#include "layout/indent_manager.h"
#include "layout/layout_limits.h"
#include "reader/attributes.h"

namespace kiv {
namespace {

std::unique_ptr<TImageObj> Float(int align, int width, int height, int hspace = 5) {
  TAttributeList none;
  auto image = std::make_unique<TImageObj>(0, none);
  image->Align = static_cast<std::uint8_t>(align);
  image->ImageWidth = width;
  image->ImageHeight = height;
  image->HSpace = hspace;
  return image;
}

class IndentManagerTest : public ::testing::Test {
 protected:
  IndentManagerTest() {
    indents.Reset(0, 600);
    indents.Width = 600;
  }
  IndentManager indents;
};

TEST_F(IndentManagerTest, LeftFloatNarrowsItsBandOnlyAndFloatsStackSideBySide) {
  auto first = Float(TImageObj::AlignFloatLeft, 100, 50);
  indents.AddFloat(0, first.get());
  EXPECT_EQ(first->FloatX, 0);
  EXPECT_EQ(indents.LeftAt(0), 105);
  EXPECT_EQ(indents.LeftAt(49), 105);
  EXPECT_EQ(indents.LeftAt(50), 0);
  EXPECT_EQ(indents.RightAt(10), 600);

  auto second = Float(TImageObj::AlignFloatLeft, 40, 20, 0);
  indents.AddFloat(0, second.get());
  EXPECT_EQ(second->FloatX, 105);
  EXPECT_EQ(indents.LeftAt(10), 145);
  EXPECT_EQ(indents.LeftAt(30), 105);  // the narrower one ended
}

TEST_F(IndentManagerTest, RightFloatTouchesTheRightBoundaryWithItsSpaceTowardsTheText) {
  auto image = Float(TImageObj::AlignFloatRight, 100, 30, 10);
  indents.AddFloat(20, image.get());
  EXPECT_EQ(image->FloatX, 500);
  EXPECT_EQ(indents.RightAt(20), 490);
  EXPECT_EQ(indents.RightAt(19), 600);
  EXPECT_EQ(indents.RightAt(50), 600);
  EXPECT_EQ(indents.LeftAt(25), 0);

  // Inline images and a missing image register nothing.
  auto inlineImage = Float(TImageObj::AlignBottom, 100, 30);
  indents.AddFloat(0, inlineImage.get());
  indents.AddFloat(0, nullptr);
  EXPECT_EQ(indents.LeftFloats.Count(), 0);
  EXPECT_EQ(indents.RightFloats.Count(), 1);
}

TEST_F(IndentManagerTest, BottomsAndClearPositionsPerSide) {
  int left = -5, right = -5;
  indents.ClearPositions(left, right);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(right, 0);
  EXPECT_EQ(indents.FloatsBottom(), 0);

  auto l = Float(TImageObj::AlignFloatLeft, 10, 40);
  auto r = Float(TImageObj::AlignFloatRight, 10, 90);
  indents.AddFloat(10, l.get());
  indents.AddFloat(5, r.get());
  indents.ClearPositions(left, right);
  EXPECT_EQ(left, 51);
  EXPECT_EQ(right, 96);
  EXPECT_EQ(indents.FloatsBottom(), 95);

  // An open list level is neither a float nor a clearable one.
  indents.SetListLevel(0, 1);
  indents.ClearPositions(left, right);
  EXPECT_EQ(left, 51);
  EXPECT_EQ(indents.FloatsBottom(), 95);
}

TEST_F(IndentManagerTest, ListLevelsOpenAndCloseAtY) {
  indents.SetListLevel(100, 2);
  EXPECT_EQ(indents.LeftAt(100), 2 * ListIndentWidth);
  EXPECT_EQ(indents.LeftAt(99), 0);
  EXPECT_EQ(indents.ListLevel, 2);

  indents.SetListLevel(300, 1);
  EXPECT_EQ(indents.LeftAt(298), 70);
  EXPECT_EQ(indents.LeftAt(300), 35);
  EXPECT_EQ(indents.LeftAt(5000), 35);

  indents.SetListLevel(400, 0);
  EXPECT_EQ(indents.LeftAt(400), 0);
  EXPECT_EQ(indents.ListLevel, 0);
}

TEST_F(IndentManagerTest, ListLevelStartsRightOfAFloatAndItsFloatsKeepItOpen) {
  auto image = Float(TImageObj::AlignFloatLeft, 100, 50);
  indents.AddFloat(0, image.get());
  indents.SetListLevel(10, 1);
  EXPECT_EQ(indents.LeftAt(10), 140);
  EXPECT_EQ(indents.LeftAt(60), 140);  // the level lasts past the float

  // Nothing started inside the level yet.
  EXPECT_EQ(indents.ListIndentBottom(), 1);
  auto inner = Float(TImageObj::AlignFloatLeft, 20, 200);
  indents.AddFloat(30, inner.get());
  EXPECT_EQ(inner->FloatX, 140);
  EXPECT_EQ(indents.ListIndentBottom(), 231);
}

TEST_F(IndentManagerTest, BadLevelsAndSizesGiveBoundedBoundaries) {
  indents.SetListLevel(0, 1000);
  EXPECT_EQ(indents.LeftAt(0), 1000 * ListIndentWidth);
  indents.SetListLevel(0, std::numeric_limits<int>::max());
  EXPECT_EQ(indents.ListLevel, MaxListLevel);
  EXPECT_EQ(indents.LeftFloats.Count(), MaxListLevel);
  indents.SetListLevel(50, -7);
  EXPECT_EQ(indents.ListLevel, 0);
  EXPECT_EQ(indents.LeftAt(50), 0);

  // A float reaching past the end of the coordinate range ends there.
  auto tall = Float(TImageObj::AlignFloatRight, 10, std::numeric_limits<int>::max());
  indents.AddFloat(1000, tall.get());
  EXPECT_EQ(indents.FloatsBottom(), std::numeric_limits<int>::max());
  EXPECT_EQ(indents.RightAt(2000000000), 585);
  int left = 0, right = 0;
  indents.ClearPositions(left, right);
  EXPECT_EQ(right, std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace kiv
