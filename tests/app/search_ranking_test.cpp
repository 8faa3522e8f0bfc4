// Ranking on small packages where the right order is plain: fields, page
// length, adjacency, phrases, common and missing words, and the section of
// the best hit.
#include "app/search_ranking.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app_test_support.h"
#include "app/search_query.h"

namespace kiv {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

class SearchRankingTest : public ::testing::Test {
 protected:
  void Build(const Entries& entries) {
    index_ = SearchIndex::Build(dir_.Write("kivmap.hpm", testing::MakePackage(entries)));
  }
  SearchRanking Rank(const std::string& query) const {
    return RankPages(*index_, ParseSearchQuery(query), 100);
  }
  std::vector<std::string> Order(const std::string& query) const {
    std::vector<std::string> names;
    for (const RankedPage& r : Rank(query).pages) names.push_back(index_->Page(r.page).name);
    return names;
  }
  static std::string Filler(int words) {
    std::string s;
    for (int i = 0; i < words; ++i) s += "filler" + std::to_string(i % 50) + " ";
    return s;
  }
  testing::TempDir dir_;
  std::unique_ptr<SearchIndex> index_;
};

TEST_F(SearchRankingTest, TitleBeforeHeadingBeforeBody) {
  Build({
      {"body.html", "<TITLE>Other</TITLE><P>" + Filler(20) + "zebra</P>"},
      {"heading.html", "<TITLE>Another</TITLE><H2>Zebra</H2><P>" + Filler(20) + "</P>"},
      {"title.html", "<TITLE>Zebra</TITLE><P>" + Filler(20) + "</P>"},
      {"none.html", "<P>" + Filler(20) + "</P>"},
  });
  EXPECT_EQ(Order("zebra"), (std::vector<std::string>{"title.html", "heading.html", "body.html"}));
}

TEST_F(SearchRankingTest, ALongPageDoesNotWinByCountAlone) {
  // The page on locking names deadlocks a few times in a short text; a long
  // page of benchmark output mentions them more often among thousands of words.
  std::string tool = "<TITLE>pgbench</TITLE><P>";
  for (int i = 0; i < 6; ++i) tool += Filler(600) + "deadlock ";
  Build({
      {"tool.html", tool + "</P>"},
      {"locking.html",
       "<TITLE>Explicit Locking</TITLE><H2>Deadlocks</H2><P>A deadlock happens when... "
       "deadlocks are resolved by aborting one transaction. " +
           Filler(100) + "</P>"},
      {"other.html", "<P>" + Filler(100) + "</P>"},
  });
  EXPECT_EQ(Order("deadlock"), (std::vector<std::string>{"locking.html", "tool.html"}));
  // Words no longer match inside longer words.
  Build({{"a.html", "<P>profile Makefile</P>"}, {"b.html", "<P>the file</P>"}});
  EXPECT_EQ(Order("file"), (std::vector<std::string>{"b.html"}));
}

TEST_F(SearchRankingTest, WordsNextToEachOtherAndPhrases) {
  Build({
      {"apart.html", "<P>foreign words about a key " + Filler(10) + "</P>"},
      {"together.html", "<P>" + Filler(5) + " foreign keys " + Filler(5) + "</P>"},
      {"reversed.html", "<P>conflict on the insert " + Filler(10) + "</P>"},
      {"insert.html", "<P>insert ... on conflict do update " + Filler(10) + "</P>"},
  });
  EXPECT_EQ(Order("foreign key").front(), "together.html");
  EXPECT_EQ(Order("on conflict do update").front(), "insert.html");
  // A quoted phrase must match as a phrase, in order.
  EXPECT_EQ(Order("\"on conflict\""), (std::vector<std::string>{"insert.html"}));
  EXPECT_EQ(Order("insert \"on conflict\""), (std::vector<std::string>{"insert.html"}));
  EXPECT_TRUE(Order("\"key foreign\"").empty());
  EXPECT_EQ(Rank("\"on conflict\"").matched, 1u);
}

TEST_F(SearchRankingTest, CommonAndShortWordsWeighLittleAndMissingWordsDoNotExclude) {
  Entries entries;
  for (int i = 0; i < 6; ++i)
    entries.push_back({"common" + std::to_string(i) + ".html",
                       "<P>the the the a a a of the " + Filler(10) + "</P>"});
  entries.push_back({"zebra.html", "<P>one zebra " + Filler(10) + "</P>"});
  Build(entries);
  EXPECT_EQ(Order("the a zebra").front(), "zebra.html");
  EXPECT_EQ(Order("the a zebra").size(), 7u);  // every page holds a word of it
  // A word no page holds leaves the others to find what they can.
  EXPECT_EQ(Order("zebra unicorn"), (std::vector<std::string>{"zebra.html"}));
  // While typed, a word finds the words it begins.
  EXPECT_EQ(Order("zeb"), (std::vector<std::string>{"zebra.html"}));
  EXPECT_TRUE(Order("unicorn").empty());
}

TEST_F(SearchRankingTest, TheBestHitNamesItsSection) {
  Build({{"m.html",
          "<TITLE>Manual</TITLE><A NAME=\"intro\"></A><H1>Introduction</H1><P>Replication "
          "is mentioned. " +
              Filler(40) +
              "</P><A NAME=\"sr\"></A><H2>Streaming Replication</H2><P>Streaming replication "
              "sends the log. " +
              Filler(40) + "</P><H2>Other</H2><P>" + Filler(10) + "</P>"}});
  const SearchRanking r = Rank("streaming replication");
  ASSERT_EQ(r.pages.size(), 1u);
  const SearchPage& page = index_->Page(r.pages[0].page);
  ASSERT_EQ(r.pages[0].heading, 1);
  EXPECT_EQ(page.headings[1].anchor, "sr");
  // The hit is in the body under the heading: "Streaming replication sends".
  EXPECT_EQ(r.pages[0].position, page.headings[1].wordEnd);
  // A page found by its title alone has no hit in the body.
  Build({{"t.html", "<TITLE>Zebra</TITLE><P>text</P>"}});
  EXPECT_EQ(Rank("zebra").pages[0].position, RankedPage::NoPosition);
  EXPECT_EQ(Rank("zebra").pages[0].heading, -1);
}

}  // namespace
}  // namespace kiv
