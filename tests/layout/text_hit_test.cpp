// Which character and which link lie under a point, and where a character
// is: on painted text sections with fixed metrics (advance 8, line 20).
#include <gtest/gtest.h>

#include <climits>

#include "layout/text_section.h"
#include "paint_test_support.h"
#include "reader/map_item.h"
#include "reader/url_target.h"

namespace kiv {
namespace {

class TextHitTest : public testing::TextDocTest {
 protected:
  struct Caret {
    int index, x, y, height;
  };
  Caret At(int x, int y) {
    Caret c{0, -7, -7, -7};
    TCell* cell = nullptr;
    c.index = doc.CharIndexAt(canvas, x, y, c.x, c.y, c.height, cell);
    if (c.index >= 0) {
      EXPECT_EQ(cell, &doc);
    }
    return c;
  }
  std::string LinkAt(int x, int y) {
    TUrlTarget target;
    return doc.LinkAt(canvas, x, y, target) ? target.Url : "<none>";
  }
};

TEST_F(TextHitTest, CaretGoesAfterACharacterPastItsMiddle) {
  Add("first line");                       // index 0..9
  TSection* s = Add("abcdefgh ijklmnop");  // wraps at 80 pixels: "abcdefgh " + "ijklmnop"
  Layout(80);
  Paint(100, 100, 10);
  ASSERT_EQ(s->Lines.size(), 2u);
  // Second section, first line: its top at 20, the cell at window X 10.
  Caret c = At(10 + 16 + 3, 25);  // left half of "c"
  EXPECT_EQ(c.index, 10 + 2);
  EXPECT_EQ(c.x, 26);
  EXPECT_EQ(c.y, 20);
  EXPECT_EQ(c.height, 20);
  c = At(10 + 16 + 4, 25);  // exactly the middle stays before it
  EXPECT_EQ(c.index, 12);
  c = At(10 + 16 + 5, 25);  // right half
  EXPECT_EQ(c.index, 13);
  EXPECT_EQ(c.x, 34);
  c = At(10 + 8 * 3 + 6, 45);  // second line of the section
  EXPECT_EQ(c.index, 10 + 9 + 4);
  EXPECT_EQ(c.x, 42);
  EXPECT_EQ(c.y, 40);
}

TEST_F(TextHitTest, PointsOutsideTheTextGiveDefinedAnswers) {
  Add("abcdef");
  Layout(200);
  // Before any paint the line counts as painted at window X 0.
  Caret c = At(5, 5);
  EXPECT_EQ(c.index, 1);
  Paint(100, 100, 10);
  c = At(-1000000, 5);  // left of the line: its first character
  EXPECT_EQ(c.index, 0);
  EXPECT_EQ(c.x, 10);
  c = At(1000000, 5);  // right of the line: after its last character
  EXPECT_EQ(c.index, 6);
  EXPECT_EQ(c.x, 10 + 48);
  EXPECT_EQ(At(20, 1000000).index, -1);
  EXPECT_EQ(At(20, -1000000).index, -1);
  EXPECT_EQ(LinkAt(1000000, 1000000), "<none>");
  EXPECT_EQ(LinkAt(-1000000, -5), "<none>");
  EXPECT_EQ(At(INT_MAX, 5).index, 6);
  EXPECT_EQ(At(INT_MIN, 5).index, 0);
  EXPECT_EQ(At(INT_MIN, INT_MIN).index, -1);
  EXPECT_EQ(LinkAt(INT_MAX, INT_MAX), "<none>");
  EXPECT_EQ(LinkAt(INT_MIN, 5), "<none>");
}

TEST_F(TextHitTest, CaretPointOfGivesTheCellXAndTheLineTop) {
  Add("0123456789");
  TSection* s = Add("abcdefgh ijklmnop", 1);  // one list level: indented 35
  Layout(35 + 80);
  Paint(200, 100, 10);
  int x = -1, y = -1;
  ASSERT_TRUE(doc.CaretPointOf(canvas, 10 + 3, x, y));
  EXPECT_EQ(x, 35 + 24);  // relative to the cell, not a window X
  EXPECT_EQ(y, 20);
  ASSERT_TRUE(doc.CaretPointOf(canvas, 10 + 9 + 2, x, y));
  EXPECT_EQ(x, 35 + 16);
  EXPECT_EQ(y, 40);
  ASSERT_TRUE(doc.CaretPointOf(canvas, 10 + 17, x, y));  // the end of the text
  EXPECT_EQ(x, 35 + 64);
  EXPECT_EQ(y, 40);
  EXPECT_FALSE(doc.CaretPointOf(canvas, 10 + 18, x, y));
  EXPECT_FALSE(doc.CaretPointOf(canvas, -5, x, y));
  EXPECT_FALSE(s->CaretPointOf(canvas, 3, x, y));  // before the section
}

TEST_F(TextHitTest, LinkUnderTextIsTheRunsLink) {
  TSection* s = Add("go ");
  AddLink(*s, "here", "target.htm");
  AddLink(*s, " now", "");
  Layout(600);
  Paint(200, 40, 10);
  EXPECT_EQ(LinkAt(10 + 3 * 8 + 1, 5), "target.htm");
  EXPECT_EQ(LinkAt(10 + 7 * 8 - 1, 19), "target.htm");
  EXPECT_EQ(LinkAt(10 + 7 * 8 + 1, 5), "<none>");
  EXPECT_EQ(LinkAt(10 + 8, 5), "<none>");
  EXPECT_EQ(LinkAt(10 + 11 * 8 + 2, 5), "<none>");  // past the end of the line
  EXPECT_EQ(LinkAt(5, 5), "<none>");                // left of the line
}

class ImageLinkTest : public TextHitTest {
 protected:
  // Text "ab", then a 40x30 picture inside a link to "map" with more
  // attributes, then "cd".
  TImageObj* Picture(std::initializer_list<std::pair<Symbol, std::string>> attributes) {
    TSection* s = Add("ab");
    AddLink(*s, "", "map");
    TImageObj* image = AddImage(*s, "40x30", attributes);
    AddLink(*s, "cd", "");
    Layout(600);
    Paint(200, 60, 10);
    return image;
  }
  // The link at a point inside the picture, relative to its top-left corner.
  std::string Inside(const TImageObj& image, int dx, int dy) {
    return LinkAt(image.PaintX + dx, image.PaintDocY + dy);
  }
};

TEST_F(ImageLinkTest, ServerSideMapAddsThePointInsideThePicture) {
  TImageObj* image = Picture({{IsMapSy, ""}});
  EXPECT_EQ(image->PaintX, 10 + 16 + 1);  // after "ab", inside its frame
  EXPECT_EQ(Inside(*image, 10, 20), "map?10,20");
  EXPECT_EQ(Inside(*image, 0, 0), "map?0,0");
}

TEST_F(ImageLinkTest, PictureInALinkWithoutAMatchingMapGivesTheLink) {
  TImageObj* image = Picture({{UseMapSy, "#nowhere"}});
  EXPECT_EQ(Inside(*image, 5, 5), "map");
}

TEST_F(ImageLinkTest, ClientSideMapAnswersForItsPicture) {
  auto map = std::make_unique<TMapItem>();
  map->Name = "NAV";
  TAttributeList area;
  area.AddReused(ShapeSy, "rect", 0);
  area.AddReused(CoordsSy, "0,0,20,30", 0);
  area.AddReused(HrefSy, "left.htm", 0);
  map->AddArea(area);
  doc.ImageMaps.Add(std::move(map));
  TImageObj* image = Picture({{UseMapSy, "#nav"}});
  EXPECT_EQ(Inside(*image, 5, 5), "left.htm");
  EXPECT_EQ(Inside(*image, 30, 5), "<none>");  // no area there, and the text is not asked
}

TEST_F(ImageLinkTest, PictureOutsideALinkIsNoLink) {
  TSection* s = Add("ab");
  TImageObj* image = AddImage(*s, "40x30", {{IsMapSy, ""}});
  AddLink(*s, "cd", "text.htm");
  Layout(600);
  Paint(200, 60, 10);
  EXPECT_EQ(Inside(*image, 5, 5), "<none>");
  EXPECT_EQ(LinkAt(image->PaintX + 40 + 4, 25), "text.htm");
}

}  // namespace
}  // namespace kiv
