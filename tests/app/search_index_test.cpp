// The search index: words and their stems, fields and positions, the anchors
// of headings, queries and phrases, names sharing a page, the bounds, and an
// index that knows when its package changed.
#include "app/search_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/app_test_support.h"
#include "app/search_query.h"
#include "app/search_terms.h"
#include "platform/file_error.h"

namespace kiv {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string Stem(std::string w) {
  StemWord(w);
  return w;
}

TEST(SearchTermsTest, PluralsAndCommonEndingsMeetTheirWord) {
  const std::vector<std::vector<std::string>> families = {
      {"key", "keys", "keyed"},
      {"index", "indexes", "indices", "indexed", "indexing"},
      {"print", "prints", "printing", "printed"},
      {"update", "updates", "updating", "updated"},
      {"table", "tables"},
      {"use", "uses", "using", "used"},
      {"class", "classes"},
      {"query", "queries", "queried"},
      {"copy", "copies", "copied"},
      {"run", "runs", "running"},
      {"match", "matches", "matching"},
      {"cache", "caches", "caching"},
  };
  for (const auto& family : families)
    for (const std::string& w : family) EXPECT_EQ(Stem(w), Stem(family[0])) << w;
  // Words that must stay apart.
  EXPECT_NE(Stem("file"), Stem("profile"));
  EXPECT_NE(Stem("string"), Stem("str"));
  EXPECT_EQ(Stem("status"), "status");
  EXPECT_EQ(Stem("analysis"), "analysis");
  // Short words, numbers and words with other letters are left alone.
  EXPECT_EQ(Stem("was"), "was");
  EXPECT_EQ(Stem("x86s"), "x86s");
  EXPECT_EQ(Stem("caf\xE9s"), "caf\xE9s");
}

TEST(SearchTermsTest, WordsAreLettersAndDigitsFoldedInTheCodePage) {
  const SearchFolding& f = FoldingFor(1252);
  const std::string text = "pg_dump: \xC9T\xC9, x86-64 \xD7 na\xEFve!";
  std::vector<std::string> words;
  ForEachWord(text, f, [&](std::size_t s, std::size_t n) { words.push_back(text.substr(s, n)); });
  EXPECT_EQ(words, (std::vector<std::string>{"pg", "dump", "\xC9T\xC9", "x86", "64", "na\xEFve"}));
  EXPECT_EQ(SearchTerm("\xC9T\xC9", f), SearchTerm("\xE9t\xE9", f));
  EXPECT_EQ(SearchTerm("Keys", f), "key");
  // A code page without a table of its own folds as the ANSI one.
  EXPECT_EQ(SearchTerm("\xC9T\xC9", FoldingFor(1250)), SearchTerm("\xE9t\xE9", f));
  EXPECT_EQ(FoldWord(std::string(500, 'A'), f), std::string(MaxSearchWordLength, 'a'));
}

TEST(SearchQueryTest, WordsPhrasesAndLimits) {
  SearchQuery q = ParseSearchQuery("INSERT \"on conflict\" do update keys");
  ASSERT_EQ(q.terms.size(), 6u);
  EXPECT_EQ(q.terms[0].word, "insert");
  EXPECT_EQ(q.terms[5].term, "key");
  ASSERT_EQ(q.phrases.size(), 1u);
  EXPECT_EQ(q.phrases[0], (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(q.sequence, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
  // An unclosed quote runs to the end; a phrase of one word is a word.
  q = ParseSearchQuery("a \"b c");
  ASSERT_EQ(q.phrases.size(), 1u);
  EXPECT_EQ(q.phrases[0], (std::vector<std::size_t>{1, 2}));
  q = ParseSearchQuery("\"alone\" other");
  EXPECT_TRUE(q.phrases.empty());
  EXPECT_EQ(q.terms.size(), 2u);
  // Repeated words are one term; punctuation and a quote alone are nothing.
  EXPECT_EQ(ParseSearchQuery("Key keys KEY").terms.size(), 1u);
  EXPECT_TRUE(ParseSearchQuery("\"").Empty());
  EXPECT_TRUE(ParseSearchQuery("!?; -- \"\"").Empty());
  // 500 words, or 10000 characters: the first ones, and a note.
  std::string many;
  for (int i = 0; i < 500; ++i) many.append("w").append(std::to_string(i)).append(" ");
  q = ParseSearchQuery(many);
  EXPECT_EQ(q.terms.size(), MaxQueryTerms);
  EXPECT_TRUE(q.truncated);
  q = ParseSearchQuery(std::string(10000, 'z'));
  EXPECT_EQ(q.terms.size(), 1u);
  EXPECT_TRUE(q.truncated);
}

class SearchIndexTest : public ::testing::Test {
 protected:
  const SearchIndex& Build(const Entries& entries) {
    path_ = dir_.Write("kivmap.hpm", testing::MakePackage(entries));
    index_ = SearchIndex::Build(path_);
    return *index_;
  }
  // The postings of a word's term as (page, title count, heading count,
  // positions).
  struct Hits {
    std::uint32_t page;
    int title, heading;
    std::vector<std::uint32_t> positions;
    bool operator==(const Hits&) const = default;
    friend void PrintTo(const Hits& h, std::ostream* os) {
      *os << "{" << h.page << ", " << h.title << ", " << h.heading << ", {";
      for (std::uint32_t p : h.positions) *os << p << " ";
      *os << "}}";
    }
  };
  std::vector<Hits> HitsOf(const std::string& word) const {
    std::vector<Hits> hits;
    const std::int64_t id = index_->Find(SearchTerm(word, FoldingFor(1252)));
    if (id < 0) return hits;
    const auto t = static_cast<std::uint32_t>(id);
    for (const SearchPosting* p = index_->PostingsBegin(t); p != index_->PostingsEnd(t); ++p)
      hits.push_back(
          {p->page, p->titleCount, p->headingCount,
           std::vector<std::uint32_t>(index_->PositionsBegin(p), index_->PositionsEnd(p))});
    return hits;
  }
  testing::TempDir dir_;
  std::string path_;
  std::unique_ptr<SearchIndex> index_;
};

TEST_F(SearchIndexTest, FieldsPositionsAndTheAnchorsOfHeadings) {
  const SearchIndex& ix = Build({
      {"a.html",
       "<TITLE>Locking Keys</TITLE><P>Intro about keys.</P>"
       "<A NAME=\"explicit\"></A><H2>Explicit locks</H2><P>A lock waits.</P>"
       "<H3><A NAME=\"dead\">Deadlocks</A></H3><P>Keys and locks.</P>"},
      {"b.html", "<P>No title, one lock.</P>"},
  });
  ASSERT_EQ(ix.PageCount(), 2u);
  const SearchPage& a = ix.Page(0);
  EXPECT_EQ(a.title, "Locking Keys");
  EXPECT_EQ(a.titleWords, 2u);
  // Intro about keys | Explicit locks | A lock waits | Deadlocks | Keys and locks
  EXPECT_EQ(a.bodyWords, 12u);
  ASSERT_EQ(a.headings.size(), 2u);
  EXPECT_EQ(a.headings[0].text, "Explicit locks");
  EXPECT_EQ(a.headings[0].anchor, "explicit");
  EXPECT_EQ(a.headings[0].wordBegin, 5u);
  EXPECT_EQ(a.headings[0].wordEnd, 7u);
  EXPECT_EQ(a.headings[1].anchor, "dead");
  EXPECT_EQ(a.headings[1].wordBegin, 10u);
  EXPECT_EQ(a.headingWords, 3u);
  EXPECT_EQ(ix.Page(1).title, "b.html");

  // "Locking", "locks" and "lock" are one term; positions count the title first.
  EXPECT_EQ(HitsOf("lock"), (std::vector<Hits>{{0, 1, 1, {0, 6, 8, 13}}, {1, 0, 0, {3}}}));
  EXPECT_EQ(HitsOf("KEY"), (std::vector<Hits>{{0, 1, 0, {1, 4, 11}}}));
  EXPECT_EQ(HitsOf("deadlock"), (std::vector<Hits>{{0, 0, 1, {10}}}));
  EXPECT_TRUE(HitsOf("missing").empty());
  // Terms that begin with a prefix, in order.
  std::vector<std::string> prefixed;
  for (std::uint32_t id : ix.FindPrefix("lo", 10)) prefixed.emplace_back(ix.Term(id));
  EXPECT_EQ(prefixed, (std::vector<std::string>{"lock"}));
}

TEST_F(SearchIndexTest, NamesOfOnePageAreIndexedOnceAndBoundsHold) {
  // 10000 names pointing at one page's bytes.
  std::string package = "START,0\r\n";
  for (int i = 0; i < 10000; ++i) package.append("n").append(std::to_string(i)).append(".html,0\r\n");
  package += "******,30\r\n";
  const std::size_t base = package.size();
  package.replace(6, 1, std::to_string(base));
  package.insert(package.size(), "<P>one page of text</P>");
  const std::string path = dir_.Write("kivmap.hpm", package);
  const auto shared = SearchIndex::Build(path);
  // Each name ends where the next begins, as the lookup has it: 9999 empty
  // ranges read once, and the last name with the page's bytes.
  EXPECT_EQ(shared->PageCount(), 2u);
  EXPECT_EQ(shared->SharedNames(), 9998u);

  // Pages past the bound are left out and counted.
  Entries entries;
  for (std::size_t i = 0; i < MaxIndexedPages + 3; ++i) {
    const std::string number = std::to_string(i);
    entries.push_back({"p" + number + ".html", "<P>w" + number + "</P>"});
  }
  const SearchIndex& ix = Build(entries);
  EXPECT_EQ(ix.PageCount(), MaxIndexedPages);
  EXPECT_EQ(ix.PagesLeftOut(), 3u);
  EXPECT_GE(ix.Find("w19999"), 0);
  EXPECT_LT(ix.Find("w20000"), 0);
}

TEST_F(SearchIndexTest, AChangedPackageIsNoLongerCurrent) {
  const SearchIndex& ix = Build({{"a.html", "<P>first</P>"}});
  EXPECT_TRUE(ix.IsCurrent());
  const auto before = std::filesystem::last_write_time(path_);
  dir_.Write("kivmap.hpm", testing::MakePackage({{"a.html", "<P>second text</P>"}}));
  std::filesystem::last_write_time(path_, before + std::chrono::seconds(2));
  EXPECT_FALSE(ix.IsCurrent());
  std::filesystem::remove(path_);
  EXPECT_FALSE(ix.IsCurrent());
  EXPECT_THROW(SearchIndex::Build(path_), EInOutError);
}

}  // namespace
}  // namespace kiv
