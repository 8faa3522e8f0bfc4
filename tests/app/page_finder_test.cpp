#include "app/page_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace kiv {
namespace {

// A page's text searched as the document searches: the first match at or
// after the index, letter case ignored unless asked.
class FakePage {
 public:
  explicit FakePage(std::string text) : text_(std::move(text)) {}
  int Search(int from, const std::string& what, bool matchCase) {
    ++searches;
    if (from >= static_cast<int>(text_.size())) return -1;
    auto same = [matchCase](char a, char b) {
      return matchCase ? a == b
                       : std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
    };
    const auto at = std::search(text_.begin() + from, text_.end(), what.begin(), what.end(), same);
    return at == text_.end() ? -1 : static_cast<int>(at - text_.begin());
  }
  TPageFinder Finder() {
    return TPageFinder(
        [this](int from, const std::string& t, bool c) { return Search(from, t, c); });
  }
  int searches = 0;

 private:
  std::string text_;
};

TEST(PageFinderTest, CountsNonOverlappingMatchesAndWalksBothWaysWithWrap) {
  FakePage page("abc ABC aaaa abc");
  TPageFinder finder = page.Finder();
  finder.SetQuery("abc", false);
  TFindStep s = finder.FindFrom(0);
  EXPECT_EQ(s.Start, 0);
  EXPECT_EQ(s.Length, 3);
  EXPECT_EQ(finder.CountText(), "1 of 3");
  EXPECT_EQ(finder.Next().Start, 4);
  s = finder.Next();
  EXPECT_EQ(s.Start, 13);
  EXPECT_EQ(s.Wrapped, TFindWrap::None);
  EXPECT_EQ(finder.CountText(), "3 of 3");
  s = finder.Next();
  EXPECT_EQ(s.Start, 0);
  EXPECT_EQ(s.Wrapped, TFindWrap::ToTop);
  s = finder.Previous();
  EXPECT_EQ(s.Start, 13);
  EXPECT_EQ(s.Wrapped, TFindWrap::ToBottom);
  EXPECT_EQ(finder.Previous().Start, 4);

  // Overlapping candidates count once each: "aaaa" holds two of "aa".
  finder.SetQuery("aa", true);
  finder.FindFrom(0);
  EXPECT_EQ(finder.CountText(), "1 of 2");

  // Letter case.
  finder.SetQuery("ABC", true);
  s = finder.FindFrom(0);
  EXPECT_EQ(s.Start, 4);
  EXPECT_EQ(finder.CountText(), "1 of 1");
  s = finder.Next();
  EXPECT_EQ(s.Start, 4);
  EXPECT_EQ(s.Wrapped, TFindWrap::ToTop);
}

TEST(PageFinderTest, StartsAtTheGivenPlaceAndWrapsWhenNothingFollows) {
  FakePage page("one two one two");
  TPageFinder finder = page.Finder();
  finder.SetQuery("two", false);
  EXPECT_EQ(finder.FindFrom(5).Start, 12);
  EXPECT_EQ(finder.CountText(), "2 of 2");
  const TFindStep s = finder.FindFrom(13);
  EXPECT_EQ(s.Start, 4);
  EXPECT_EQ(s.Wrapped, TFindWrap::ToTop);
  // Without a current match, previous is the last one, not a wrap.
  finder.Reset();
  const TFindStep last = finder.Previous();
  EXPECT_EQ(last.Start, 12);
  EXPECT_EQ(last.Wrapped, TFindWrap::None);
}

TEST(PageFinderTest, NothingToFindOrNothingFound) {
  FakePage page("some text");
  TPageFinder finder = page.Finder();
  finder.SetQuery("", false);
  EXPECT_EQ(finder.FindFrom(0).Start, -1);
  EXPECT_EQ(finder.Next().Start, -1);
  EXPECT_EQ(finder.Previous().Start, -1);
  EXPECT_EQ(finder.CountText(), "");
  EXPECT_EQ(page.searches, 0);

  finder.SetQuery("absent", false);
  EXPECT_EQ(finder.FindFrom(0).Start, -1);
  EXPECT_EQ(finder.Next().Start, -1);
  EXPECT_EQ(finder.Previous().Start, -1);
  EXPECT_EQ(finder.CountText(), "No matches");

  finder.SetQuery("text", false);
  finder.CountMatches();
  EXPECT_EQ(finder.CountText(), "1 match");
}

TEST(PageFinderTest, CountingStopsAtTheLimitAndStepsGoOnPastIt) {
  FakePage page(std::string(3 * MaxCountedMatches, 'x'));
  TPageFinder finder = page.Finder();
  finder.SetQuery("x", false);
  finder.FindFrom(0);
  EXPECT_EQ(finder.CountText(), "1 of " + std::to_string(MaxCountedMatches + 1) + "+");
  EXPECT_LE(page.searches, MaxCountedMatches + 1);
  // A place past the counted matches is still found.
  const TFindStep s = finder.FindFrom(2 * MaxCountedMatches);
  EXPECT_EQ(s.Start, 2 * MaxCountedMatches);
  EXPECT_EQ(s.Ordinal, 2 * MaxCountedMatches + 1);
  // The last one needs them all: the count is then exact.
  finder.Reset();
  EXPECT_EQ(finder.Previous().Start, 3 * MaxCountedMatches - 1);
  EXPECT_EQ(finder.CountText(),
            std::to_string(3 * MaxCountedMatches) + " of " + std::to_string(3 * MaxCountedMatches));
}

TEST(PageFinderTest, ASearchThatGoesBackwardsCannotLoop) {
  int calls = 0;
  TPageFinder finder([&calls](int, const std::string&, bool) {
    ++calls;
    return 0;  // always the same place, whatever was asked
  });
  finder.SetQuery("a", false);
  finder.FindFrom(0);
  EXPECT_EQ(finder.Next().Start, 0);
  EXPECT_EQ(finder.Previous().Start, 0);
  EXPECT_LE(calls, 3);
}

}  // namespace
}  // namespace kiv
