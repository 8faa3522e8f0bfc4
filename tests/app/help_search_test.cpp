// Searching the whole help: what counts as a page's text, which pages match,
// their order, the excerpts and the results page.
#include "app/help_search.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app_test_support.h"
#include "app/page_text.h"
#include "platform/file_error.h"
#include "reader/tokenizer.h"

namespace kiv {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

class HelpSearchTest : public ::testing::Test {
 protected:
  std::vector<HelpSearchResult> Search(const Entries& entries, const std::string& query) {
    const std::string path = dir_.Write("kivmap.hpm", testing::MakePackage(entries));
    THelpPackage package(path);
    return HelpSearch(package).Search(query);
  }
  static std::vector<std::string> Names(const std::vector<HelpSearchResult>& results) {
    std::vector<std::string> names;
    for (const HelpSearchResult& r : results) names.push_back(r.fileName);
    return names;
  }
  testing::TempDir dir_;
};

// The links and the bold runs of a results page, read back by the tokenizer
// as the viewer would read them.
struct ReadBack {
  std::vector<std::string> hrefs;
  std::vector<std::string> bold;
  std::string title;
};

ReadBack ReadResultsPage(const std::string& html) {
  ReadBack back;
  ReaderState reader;
  reader.StartBuffer(html.data(), html.size());
  reader.NextChar();
  bool inBold = false, inTitle = false;
  for (reader.Next(); reader.Sym != EndOfInputSymbol; reader.Next()) {
    if (reader.Sym == ASy) {
      if (const TAttribute* a = reader.Attributes.Find(HrefSy)) back.hrefs.push_back(a->Text);
    } else if (reader.Sym == BSy) {
      inBold = true;
      back.bold.emplace_back();
    } else if (reader.Sym == BEndSy) {
      inBold = false;
    } else if (reader.Sym == TitleSy) {
      inTitle = true;
    } else if (reader.Sym == TitleEndSy) {
      inTitle = false;
    } else if (reader.Sym == TextSymbol) {
      if (inBold) back.bold.back() += reader.Token();
      if (inTitle) back.title += reader.Token();
    }
  }
  return back;
}

TEST(PageTextTest, OnlyWhatTheReaderSeesWithEntitiesDecoded) {
  const std::string page =
      "<HTML><HEAD><TITLE> Printing\r\n  pages </TITLE></HEAD><BODY BGCOLOR=\"#FFFFFF\">"
      "<!-- hidden comment --><SCRIPT>var scripted = 1;</SCRIPT>"
      "<P>One<BR>two <B>three</B>four\r\n&lt;B&gt; caf&eacute;&nbsp;x"
      "<TEXTAREA>typed</TEXTAREA><TABLE><TR><TD>cell</TD><TD>next</TD></TR></TABLE>";
  const PageText text = ExtractPageText(page.data(), page.size());
  EXPECT_EQ(text.title, "Printing pages");
  EXPECT_EQ(text.text, "One two threefour <B> caf\xE9\xA0x cell next");
  EXPECT_TRUE(text.complete);

  // The viewer refuses a page that ends inside a comment.
  const std::string open = "<TITLE>T</TITLE>kept <!-- never closed";
  EXPECT_FALSE(ExtractPageText(open.data(), open.size()).complete);
  // Bytes past the page buffer are not read, as the viewer does not read them.
  std::string big(PageBufferSize, 'x');
  big[100] = ' ';
  big += " tail";
  EXPECT_EQ(ExtractPageText(big.data(), big.size()).text.find("tail"), std::string::npos);
}

TEST_F(HelpSearchTest, APageMatchesWhenItHoldsEveryWordIgnoringCase) {
  const Entries entries = {
      {"a.html", "<TITLE>Alpha</TITLE><P>Print the page, then COPY it.</P>"},
      {"b.html", "<TITLE>Beta</TITLE><P>print only</P>"},
      {"c.html",
       "<TITLE>Gamma</TITLE><P><!-- copy --><SCRIPT>print</SCRIPT>"
       "<A HREF=\"print.html\">nothing here</A></P>"},
      {"d.htm", "<TITLE>Copy and print</TITLE><P>The title holds both words.</P>"},
      {"notes.txt", "print copy"},      // not a page the search reads
      {"A.HTML", "<P>print copy</P>"},  // hidden by a.html for every lookup
      {"e.html", "<P>\xC9T\xC9 print copy</P>"},
      {"open.html", "<P>print copy <!-- never closed"},  // the window cannot show it
  };
  EXPECT_EQ(Names(Search(entries, "print copy")),
            (std::vector<std::string>{"d.htm", "a.html", "e.html"}));
  EXPECT_EQ(Names(Search(entries, "  PRINT   Copy  ")), Names(Search(entries, "print copy")));
  // Windows-1252 letters fold as well: É and é.
  EXPECT_EQ(Names(Search(entries, "\xE9t\xE9")), (std::vector<std::string>{"e.html"}));
  EXPECT_TRUE(Search(entries, "print copy missing").empty());
  EXPECT_TRUE(Search(entries, "scripted").empty());
  EXPECT_TRUE(Search(entries, "href").empty());
}

TEST_F(HelpSearchTest, TitleHitsRankFirstThenTheNumberOfHits) {
  const Entries entries = {
      {"few.html", "<TITLE>Few</TITLE>zoom"},
      {"many.html", "<TITLE>Many</TITLE>zoom zoom zoom, Zoom!"},
      {"titled.html", "<TITLE>Zoom keys</TITLE>once: zoom"},
      {"untitled.html", "zoom zoom"},
  };
  const auto results = Search(entries, "zoom");
  ASSERT_EQ(Names(results),
            (std::vector<std::string>{"titled.html", "many.html", "untitled.html", "few.html"}));
  EXPECT_EQ(results[0].titleHits, 1);
  EXPECT_EQ(results[0].hits, 1);
  EXPECT_EQ(results[1].hits, 4);
  EXPECT_EQ(results[0].title, "Zoom keys");
  EXPECT_EQ(results[2].title, "untitled.html");  // no TITLE: the file name
}

TEST_F(HelpSearchTest, ExcerptSurroundsTheFirstHit) {
  std::string body;
  for (int i = 0; i < 40; ++i) body += "filler" + std::to_string(i) + " ";
  body += "the needle is here ";
  for (int i = 0; i < 40; ++i) body += "after" + std::to_string(i) + " ";
  const auto results = Search({{"p.html", "<P>" + body + "</P><P>needle again</P>"}}, "NEEDLE");
  ASSERT_EQ(results.size(), 1u);
  const std::string& excerpt = results[0].firstHitText;
  EXPECT_EQ(excerpt.rfind("... ", 0), 0u) << excerpt;
  EXPECT_EQ(excerpt.substr(excerpt.size() - 4), " ...");
  EXPECT_NE(excerpt.find("the needle is here"), std::string::npos);
  EXPECT_EQ(excerpt.find("again"), std::string::npos);
  EXPECT_GE(excerpt.size(), 120u);
  EXPECT_LE(excerpt.size(), 180u);
  // Cut at spaces, never inside a word.
  EXPECT_EQ(excerpt.find(" ..."), excerpt.size() - 4);
  EXPECT_NE(excerpt.substr(4, 6), "iller1");
}

TEST_F(HelpSearchTest, ResultsPageLinksEveryPageAndEscapesWhatItRepeats) {
  const Entries entries = {
      {"tags & marks.html",
       "<TITLE>Bold &lt;B&gt; &amp; more</TITLE><P>Write &lt;B&gt; to "
       "make text bold.</P>"},
      {"other.html", "<P>&lt;b&gt; too</P>"},
      {"plain.html", "<P><B>bold</B> is a tag here, not text</P>"},
  };
  const auto results = Search(entries, "<B>");
  ASSERT_EQ(Names(results), (std::vector<std::string>{"tags & marks.html", "other.html"}));
  const std::string html = SearchResultsPage("<B>", results);
  EXPECT_EQ(html.find("<B><B>"), std::string::npos);
  const ReadBack back = ReadResultsPage(html);
  EXPECT_EQ(back.hrefs, (std::vector<std::string>{"tags & marks.html", "other.html"}));
  // The query as asked, then the word at each excerpt's hit, in bold.
  EXPECT_EQ(back.bold, (std::vector<std::string>{"<B>", "<B>", "<b>"}));
  EXPECT_NE(html.find("every word"), std::string::npos);
  EXPECT_FALSE(back.title.empty());
}

TEST_F(HelpSearchTest, BadQueriesGiveClearPages) {
  const Entries entries = {{"a.html", "<P>some text</P>"}};
  // Only spaces: nothing is searched, and the page says what to do.
  EXPECT_TRUE(Search(entries, "    ").empty());
  const std::string blank = SearchResultsPage("    ", {});
  EXPECT_NE(blank.find("nothing to search for"), std::string::npos);
  EXPECT_TRUE(ReadResultsPage(blank).hrefs.empty());

  const std::string none = SearchResultsPage("absent", Search(entries, "absent"));
  EXPECT_NE(none.find("No page holds every word"), std::string::npos);

  // 10000 characters, one word and many: no match, a page of bounded size,
  // and control characters that would end the page are not repeated.
  std::string longWord(10000, 'x');
  longWord[5000] = '\x1A';
  EXPECT_TRUE(Search(entries, longWord).empty());
  const std::string page = SearchResultsPage(longWord, {});
  EXPECT_LT(page.size(), 2000u);
  EXPECT_EQ(page.find('\x1A'), std::string::npos);
  std::string manyWords;
  for (int i = 0; i < 2000; ++i) manyWords += "w" + std::to_string(i) + " ";
  EXPECT_TRUE(Search(entries, manyWords).empty());
  EXPECT_NE(SearchResultsPage(manyWords, {}).find("Only the first"), std::string::npos);
}

TEST_F(HelpSearchTest, ALongWordOnARepetitivePageIsFoundWithoutOverlaps) {
  // A long word of one letter on a page of that letter: every occurrence is
  // counted once, without overlaps, and the search stays linear.
  const std::string page(100000, 'a');
  const auto results = Search({{"a.html", page}}, std::string(1000, 'a'));
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].hits, 100);
  EXPECT_TRUE(Search({{"a.html", page}}, std::string(999, 'a') + "b").empty());
}

TEST_F(HelpSearchTest, WordInEveryPageKeepsTheResultsPageWithinThePageBuffer) {
  Entries entries;
  std::string body = "<TITLE>Topic</TITLE><P>";
  for (int i = 0; i < 60; ++i) body += "common word number " + std::to_string(i) + " ";
  for (int i = 0; i < 600; ++i) entries.push_back({"topic" + std::to_string(i) + ".html", body});
  const auto results = Search(entries, "common");
  ASSERT_EQ(results.size(), 600u);
  const std::string html = SearchResultsPage("common", results);
  EXPECT_LE(html.size(), static_cast<std::size_t>(PageBufferSize));
  const ReadBack back = ReadResultsPage(html);
  EXPECT_GT(back.hrefs.size(), 100u);
  EXPECT_LT(back.hrefs.size(), 600u);
  EXPECT_NE(html.find(std::to_string(600 - back.hrefs.size()) + " more pages are not listed"),
            std::string::npos);
}

TEST_F(HelpSearchTest, PagesTheWindowCannotReadAreSkipped) {
  // A reversed range, and an entry whose offset runs past the file.
  const std::string path = dir_.Write(
      "kivmap.hpm",
      "START,0\r\nbad.html,50\r\nok.html,10\r\nlate.html,99999\r\n******,99999\r\nfound");
  // ok.html begins at byte 10 and ends at the file's end.
  THelpPackage package(path);
  std::int32_t start = 0, end = 0;
  package.FindPackageEntry("ok.html", start, end);
  const std::string file = testing::ReadFile(path);
  const std::string okBytes = file.substr(static_cast<std::size_t>(start));
  const auto results = HelpSearch(package).Search(okBytes.substr(okBytes.size() - 5));
  EXPECT_EQ(Names(results), (std::vector<std::string>{"ok.html"}));
  EXPECT_THROW(HelpSearch(THelpPackage(dir_.File("missing.hpm"))).Search("x"), EInOutError);
}

}  // namespace
}  // namespace kiv
