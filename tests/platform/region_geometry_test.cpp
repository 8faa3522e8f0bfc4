#include "platform/region_geometry.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

TEST(RegionGeometry, RectangleExcludesRightAndBottomAndOrdersCorners) {
  auto r = TRegion::CreateRect(31, 41, 10, 20);  // corners given reversed
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Box(), Rect(10, 20, 31, 41));
  EXPECT_TRUE(r->Contains(10, 20));
  EXPECT_TRUE(r->Contains(30, 40));
  EXPECT_FALSE(r->Contains(31, 40));
  EXPECT_FALSE(r->Contains(30, 41));
  EXPECT_FALSE(r->Contains(9, 25));
}

TEST(RegionGeometry, EllipseInscribedInItsBox) {
  // Circle of radius 10 round (50, 50): box 40..61 exclusive.
  auto e = TRegion::CreateEllipse(40, 40, 61, 61);
  ASSERT_TRUE(e);
  EXPECT_TRUE(e->Contains(50, 50));
  EXPECT_TRUE(e->Contains(60, 50));
  EXPECT_TRUE(e->Contains(40, 50));
  EXPECT_TRUE(e->Contains(50, 40));
  EXPECT_FALSE(e->Contains(61, 50));
  EXPECT_FALSE(e->Contains(39, 50));
  // Corners of the box lie outside the circle.
  EXPECT_FALSE(e->Contains(41, 41));
  EXPECT_FALSE(e->Contains(59, 59));
  EXPECT_TRUE(e->Contains(57, 57));
}

TEST(RegionGeometry, PolygonWindingAndAlternateDifferOnOverlap) {
  // A square traced twice: winding counts 2 inside (filled), alternate 0.
  std::vector<TPoint> twice = {{0, 0}, {10, 0}, {10, 10}, {0, 10},
                               {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(PointInPolygon(twice, 5, 5, PolyFillMode::Winding));
  EXPECT_FALSE(PointInPolygon(twice, 5, 5, PolyFillMode::Alternate));

  std::vector<TPoint> triangle = {{0, 0}, {20, 0}, {0, 20}};
  EXPECT_TRUE(PointInPolygon(triangle, 1, 1, PolyFillMode::Winding));
  EXPECT_TRUE(PointInPolygon(triangle, 9, 9, PolyFillMode::Winding));
  EXPECT_FALSE(PointInPolygon(triangle, 10, 10, PolyFillMode::Winding));
  EXPECT_FALSE(PointInPolygon(triangle, 19, 19, PolyFillMode::Winding));
  // Square polygon: right and bottom edges are outside, as for rectangles.
  auto sq = TRegion::CreatePolygon({{10, 10}, {20, 10}, {20, 20}, {10, 20}}, PolyFillMode::Winding);
  ASSERT_TRUE(sq);
  EXPECT_TRUE(sq->Contains(10, 10));
  EXPECT_TRUE(sq->Contains(19, 19));
  EXPECT_FALSE(sq->Contains(20, 15));
  EXPECT_FALSE(sq->Contains(15, 20));
}

TEST(RegionGeometry, RefusesOutOfRangeAndDegenerateInput) {
  EXPECT_FALSE(TRegion::CreateRect(0, 0, RegionCoordinateLimit + 1, 5));
  EXPECT_FALSE(TRegion::CreateEllipse(INT32_MIN, 0, 5, 5));
  EXPECT_FALSE(TRegion::CreatePolygon({{0, 0}, {5, 5}}, PolyFillMode::Winding));
  EXPECT_FALSE(TRegion::CreatePolygon({{0, 0}, {5, 5}, {INT32_MAX, 0}}, PolyFillMode::Winding));
  // Extreme but permitted boxes do not overflow.
  auto big = TRegion::CreateEllipse(-RegionCoordinateLimit, -RegionCoordinateLimit,
                                    RegionCoordinateLimit, RegionCoordinateLimit);
  ASSERT_TRUE(big);
  EXPECT_TRUE(big->Contains(0, 0));
  EXPECT_FALSE(big->Contains(RegionCoordinateLimit - 1, RegionCoordinateLimit - 1));
  EXPECT_FALSE(PointInEllipse(Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), INT32_MAX, 0));
}

}  // namespace
}  // namespace kiv
