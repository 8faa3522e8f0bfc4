#include "reader/map_item.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

TAttributeList Area(std::initializer_list<std::pair<Symbol, const char*>> attrs) {
  TAttributeList list;
  for (const auto& [id, text] : attrs) list.AddReused(id, text, 0);
  return list;
}

std::string UrlAt(const TMapItem& map, int x, int y, std::string* target = nullptr) {
  std::unique_ptr<TUrlTarget> t;
  if (!map.UrlAt(x, y, t)) return "-";
  if (target) *target = t->Target;
  return t->Url;
}

TEST(MapItem, RectangleFromInclusiveCoordinates) {
  TMapItem map;
  map.AddArea(Area({{HrefSy, "r.htm"}, {CoordsSy, "10, 20,30 ,40"}, {TargetSy, "main"}}));
  ASSERT_EQ(map.Areas.size(), 1u);
  EXPECT_EQ(map.Areas[0].Region.Box(), Rect(10, 20, 31, 41));
  std::string target;
  EXPECT_EQ(UrlAt(map, 30, 40, &target), "r.htm");
  EXPECT_EQ(target, "main");
  EXPECT_EQ(UrlAt(map, 31, 40), "-");
  EXPECT_EQ(UrlAt(map, 9, 20), "-");
}

TEST(MapItem, ShapesAndTooFewCoordinates) {
  TMapItem map;
  map.AddArea(Area({{HrefSy, "gap"}, {CoordsSy, "10,20,,30,40"}}));  // reads 2 values
  map.AddArea(Area({{HrefSy, "poly5"}, {ShapeSy, "POLY"}, {CoordsSy, "0,0,9,0,9"}}));
  map.AddArea(Area({{HrefSy, "circle"}, {ShapeSy, "Circle"}, {CoordsSy, "50,50,10"}}));
  map.AddArea(Area({{HrefSy, "tri"}, {ShapeSy, "polygon"}, {CoordsSy, "100,0,120,0,100,20,7"}}));
  map.AddArea(Area({{HrefSy, "huge"}, {CoordsSy, "0,0,2147483647,5"}}));  // refused
  ASSERT_EQ(map.Areas.size(), 2u);
  EXPECT_EQ(UrlAt(map, 60, 50), "circle");
  EXPECT_EQ(UrlAt(map, 40, 50), "circle");
  EXPECT_EQ(UrlAt(map, 61, 50), "-");
  EXPECT_EQ(UrlAt(map, 101, 1), "tri");
  EXPECT_EQ(UrlAt(map, 115, 15), "-");
  // Non-numbers count as 0; pieces over 15 characters are cut first.
  TMapItem odd;
  odd.AddArea(Area({{HrefSy, "z"}, {CoordsSy, "x,0,1234567890123456,4"}}));
  ASSERT_EQ(odd.Areas.size(), 1u);
  EXPECT_EQ(odd.Areas[0].Region.Box(), Rect(0, 0, 1, 5));
}

TEST(MapItem, EarlierAreaDecidesAndNoHrefHidesLaterOnes) {
  TMapItem map;
  map.AddArea(Area({{HrefSy, "first"}, {CoordsSy, "0,0,9,9"}}));
  map.AddArea(Area({{NoHrefSy, ""}, {CoordsSy, "20,0,29,9"}}));
  map.AddArea(Area({{HrefSy, "second"}, {CoordsSy, "0,0,29,9"}}));
  map.AddArea(
      Area({{HrefSy, "dropped"}, {NoHrefSy, ""}, {HrefSy, "again"}, {CoordsSy, "40,0,49,9"}}));
  EXPECT_EQ(UrlAt(map, 5, 5), "first");
  EXPECT_EQ(UrlAt(map, 25, 5), "-");
  EXPECT_EQ(UrlAt(map, 15, 5), "second");
  EXPECT_EQ(UrlAt(map, 45, 5), "again");
}

TEST(MapItem, ReadsAtMost201Coordinates) {
  std::string coords;
  for (int i = 0; i < 300; ++i) coords += (i % 2 ? "0," : "5,");
  // 201 values: 100 points (the odd last value is ignored); still a polygon.
  TMapItem map;
  map.AddArea(Area({{HrefSy, "p"}, {ShapeSy, "poly"}, {CoordsSy, coords.c_str()}}));
  ASSERT_EQ(map.Areas.size(), 1u);
  EXPECT_EQ(map.Areas[0].Region.Points().size(), 100u);
}

}  // namespace
}  // namespace kiv
