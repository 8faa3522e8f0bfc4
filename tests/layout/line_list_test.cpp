// The line list of a text section: the first line kept inside the list, the
// lines beyond it moved into an array that grows, and clearing for the next
// layout.
#include "layout/line_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace kiv {
namespace {

LineRec Line(int start) {
  LineRec line;
  line.Start = start;
  line.Count = start + 1;
  line.DrawHeight = 2 * start;
  return line;
}

std::vector<int> Starts(const TLineList& lines) {
  std::vector<int> starts;
  for (const LineRec& line : lines) starts.push_back(line.Start);
  return starts;
}

TEST(LineListTest, LinesKeepTheirOrderAndValuesWhileTheListGrows) {
  TLineList lines;
  EXPECT_TRUE(lines.empty());
  std::vector<int> expected;
  for (int i = 0; i < 40; ++i) {
    lines.push_back(Line(i));
    expected.push_back(i);
    ASSERT_EQ(Starts(lines), expected);
  }
  EXPECT_EQ(lines.size(), 40u);
  EXPECT_EQ(lines[17].Count, 18);
  EXPECT_EQ(lines[39].DrawHeight, 78);
  lines.back().DrawHeight = 5;
  EXPECT_EQ(lines[39].DrawHeight, 5);
}

TEST(LineListTest, ClearingStartsAfreshForTheNextLayout) {
  TLineList lines;
  for (int i = 0; i < 9; ++i) lines.push_back(Line(i));
  lines.clear();
  EXPECT_TRUE(lines.empty());
  lines.push_back(Line(7));
  EXPECT_EQ(Starts(lines), std::vector<int>{7});
  lines.clear();
  for (int i = 0; i < 3; ++i) lines.push_back(Line(10 + i));
  EXPECT_EQ(Starts(lines), (std::vector<int>{10, 11, 12}));
}

}  // namespace
}  // namespace kiv
