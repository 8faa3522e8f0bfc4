// Searching the whole help: what counts as a page's text, which pages are
// found, the excerpts and find words of the results, and the results page.
#include "app/help_search.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
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
  HelpSearchResults Found(const Entries& entries, const std::string& query,
                          std::size_t limit = MaxListedResults) {
    const std::string path = dir_.Write("kivmap.hpm", testing::MakePackage(entries));
    index_ = SearchIndex::Build(path);
    return HelpSearch(*index_).Search(query, limit);
  }
  std::vector<HelpSearchResult> Search(const Entries& entries, const std::string& query) {
    return Found(entries, query).results;
  }
  static std::vector<std::string> Names(const std::vector<HelpSearchResult>& results) {
    std::vector<std::string> names;
    for (const HelpSearchResult& r : results) names.push_back(r.fileName);
    return names;
  }
  testing::TempDir dir_;
  std::unique_ptr<SearchIndex> index_;
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

TEST(PageTextTest, HeadingsTakeTheAnchorInsideThemOrTheNearestBefore) {
  const std::string page =
      "<P>Intro</P><H1>Top</H1><A NAME=\"one\"></A><P>text</P>"
      "<H2><A NAME=\"two\">Second</A> part</H2><P>more</P><H3>Third</H3>"
      "<H2> </H2><A NAME=\"late\">";
  const PageText text = ExtractPageText(page.data(), page.size());
  ASSERT_EQ(text.headings.size(), 3u);  // the blank heading is left out
  auto headingText = [&](const PageHeading& h) {
    return text.text.substr(h.begin, h.end - h.begin);
  };
  EXPECT_EQ(headingText(text.headings[0]), "Top");
  EXPECT_EQ(text.headings[0].level, 1);
  EXPECT_EQ(text.headings[0].anchor, "");  // no A NAME before it
  EXPECT_EQ(headingText(text.headings[1]), "Second part");
  EXPECT_EQ(text.headings[1].anchor, "two");
  EXPECT_EQ(headingText(text.headings[2]), "Third");
  EXPECT_EQ(text.headings[2].level, 3);
  EXPECT_EQ(text.headings[2].anchor, "two");
  ASSERT_EQ(text.anchors.size(), 3u);
  EXPECT_EQ(text.anchors[2].name, "late");
  EXPECT_EQ(text.anchors[2].offset, text.text.size());
  // Headings and words stay apart: "Top" and "text" do not join.
  EXPECT_EQ(text.text, "Intro Top text Second part more Third");
}

TEST_F(HelpSearchTest, PagesHoldingTheWordsAreFoundIgnoringCaseBestFirst) {
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
  const std::vector<std::string> names = Names(Search(entries, "print copy"));
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names.front(), "d.htm");  // both words in the title
  EXPECT_EQ(names.back(), "b.html");  // one word of two
  EXPECT_EQ(std::set<std::string>(names.begin() + 1, names.end() - 1),
            (std::set<std::string>{"a.html", "e.html"}));
  EXPECT_EQ(Names(Search(entries, "  PRINT   Copy  ")), names);
  // Windows-1252 letters fold as well: \xC9 and \xE9.
  EXPECT_EQ(Names(Search(entries, "\xC3\xA9t\xC3\xA9")), (std::vector<std::string>{"e.html"}));
  EXPECT_TRUE(Search(entries, "scripted").empty());
  EXPECT_TRUE(Search(entries, "href").empty());
  // The title of a page without one is its file name.
  EXPECT_EQ(Search(entries, "\xC3\xA9t\xC3\xA9")[0].title, "e.html");
}

TEST(PageTextTest, ElementIdsAreAnchorsAndAHeadingTakesItsOwnFirst) {
  // As the PostgreSQL and Git manuals mark sections: an ID on the heading,
  // or on the DIV around it, and IDs of index terms in the text.
  const std::string page =
      "<div class=sect1 id=\"DDL\"><div class=titlepage><h2>Constraints</h2></div>"
      "<a id=\"idx-1\" class=indexterm></a><p>text</p>"
      "<div class=sect2 id=\"DDL-FK\"><h3>Foreign Keys</h3><p>more</p></div>"
      "<h2 id=\"_name\"><a name=\"inner\"></a>NAME</h2></div>";
  const PageText text = ExtractPageText(page.data(), page.size());
  ASSERT_EQ(text.headings.size(), 3u);
  EXPECT_EQ(text.headings[0].anchor, "DDL");
  EXPECT_EQ(text.headings[1].anchor, "DDL-FK");
  EXPECT_EQ(text.headings[2].anchor, "_name");
  std::vector<std::string> names;
  for (const PageAnchor& a : text.anchors) names.push_back(a.name);
  EXPECT_EQ(names, (std::vector<std::string>{"DDL", "idx-1", "DDL-FK", "_name", "inner"}));
}

TEST_F(HelpSearchTest, AResultLinksTheIdOfItsSection) {
  // The contents at the top name the section too: the hit is the one under
  // the heading that names what was asked for.
  std::string page =
      "<TITLE>Constraints</TITLE><div class=sect1 id=\"ddl-constraints\">"
      "<h2>Constraints</h2><p>Intro.</p><ul><li>Check Constraints<li>Foreign Keys</ul>";
  for (int i = 0; i < 30; ++i)
    page += "<p>filler words of no interest " + std::to_string(i) + "</p>";
  page +=
      "<div class=sect2 id=\"DDL-CONSTRAINTS-FK\"><div class=titlepage><div><h3>"
      "Foreign Keys</h3></div></div><p>A foreign key constraint.</p></div></div>";
  const auto results = Search({{"ddl.html", page}}, "foreign key");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].heading, "Foreign Keys");
  EXPECT_EQ(results[0].Link(), "ddl.html#DDL-CONSTRAINTS-FK");
}

TEST_F(HelpSearchTest, ExcerptSurroundsTheBestHitWithTheQueryWordsInBold) {
  std::string body;
  for (int i = 0; i < 40; ++i) body += "filler" + std::to_string(i) + " ";
  body += "the needles are here ";
  for (int i = 0; i < 40; ++i) body += "after" + std::to_string(i) + " ";
  const auto results = Search({{"p.html", "<P>" + body + "</P><P>Needle again</P>"}}, "NEEDLE");
  ASSERT_EQ(results.size(), 1u);
  const std::string& excerpt = results[0].excerpt;
  EXPECT_EQ(excerpt.rfind("... ", 0), 0u) << excerpt;
  EXPECT_EQ(excerpt.substr(excerpt.size() - 4), " ...");
  EXPECT_NE(excerpt.find("the needles are here"), std::string::npos);
  EXPECT_EQ(excerpt.find("again"), std::string::npos);
  EXPECT_GE(excerpt.size(), 120u);
  EXPECT_LE(excerpt.size(), 180u);
  // Cut at spaces, never inside a word.
  EXPECT_EQ(excerpt.find(" ..."), excerpt.size() - 4);
  EXPECT_NE(excerpt.substr(4, 6), "iller1");
  // The plural is found and marked; the find bar gets both forms as one
  // ("needle" finds "needles" too), and the hit is the first match.
  ASSERT_EQ(results[0].bold.size(), 1u);
  EXPECT_EQ(excerpt.substr(results[0].bold[0].first, results[0].bold[0].second), "needles");
  EXPECT_EQ(results[0].findWords, (std::vector<std::string>{"needle"}));
  EXPECT_EQ(results[0].hitOrdinal, 0);
}

TEST_F(HelpSearchTest, AResultNamesItsSectionAndTheHitsBeforeIt) {
  std::string page = "<TITLE>Manual</TITLE><H1>Manual</H1><P>A keyboard and keys.</P>";
  for (int i = 0; i < 30; ++i)
    page += "<P>filler words of no interest " + std::to_string(i) + "</P>";
  page +=
      "<A NAME=\"locks\"></A><H2>Explicit Locking</H2><P>Each lock and the keys it takes: "
      "the lock keys.</P>";
  const auto results = Search({{"m.html", page}, {"o.html", "<P>other</P>"}}, "lock keys");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].heading, "Explicit Locking");
  EXPECT_EQ(results[0].anchor, "locks");
  EXPECT_EQ(results[0].Link(), "m.html#locks");
  // Find words: the forms on the page, each held once ("lock" finds
  // "locking"; "key" finds "keyboard" as the find bar would).
  EXPECT_EQ(std::set<std::string>(results[0].findWords.begin(), results[0].findWords.end()),
            (std::set<std::string>{"lock", "keys"}));
  // "keys" in the first paragraph and "Lock" in the heading come before the
  // hit "lock keys" near the end... or the hit is the first "lock" of the
  // section: either way the matches before it are those of the page above.
  EXPECT_GE(results[0].hitOrdinal, 2);
}

TEST_F(HelpSearchTest, ResultsPageLinksEverySectionAndEscapesWhatItRepeats) {
  const Entries entries = {
      {"tags & marks.html",
       "<TITLE>Bold &lt;B&gt; &amp; more</TITLE><A NAME=\"x&quot;y\"><H2>On bold</H2>"
       "<P>Write &lt;B&gt; to make text bold.</P>"},
      {"other.html", "<P>&lt;b&gt; too</P>"},
      {"plain.html", "<P><B>strong</B> is a tag here, not text</P>"},
  };
  const HelpSearchResults found = Found(entries, "<B>");
  ASSERT_EQ(Names(found.results), (std::vector<std::string>{"tags & marks.html", "other.html"}));
  const std::string html = SearchResultsPage("<B>", found);
  EXPECT_EQ(html.find("<B><B>"), std::string::npos);
  const ReadBack back = ReadResultsPage(html);
  EXPECT_EQ(back.hrefs, (std::vector<std::string>{"tags & marks.html#x\"y", "other.html"}));
  // The query as asked, then the word at each excerpt's hit, in bold.
  EXPECT_EQ(back.bold, (std::vector<std::string>{"<B>", "B", "b"}));
  EXPECT_NE(html.find("<I>On bold</I>"), std::string::npos);
  EXPECT_NE(html.find("2 pages match"), std::string::npos);
  EXPECT_FALSE(back.title.empty());
}

TEST_F(HelpSearchTest, BadQueriesGiveClearPages) {
  const Entries entries = {{"a.html", "<P>some text</P>"}};
  // Only spaces or punctuation, a quote alone: nothing is searched, and the
  // page says what to do.
  for (const std::string q : {"    ", "!?,.;", "\"", "\"\""}) {
    const HelpSearchResults found = Found(entries, q);
    EXPECT_TRUE(found.empty) << q;
    const std::string blank = SearchResultsPage(q, found);
    EXPECT_NE(blank.find("nothing to search for"), std::string::npos);
    EXPECT_TRUE(ReadResultsPage(blank).hrefs.empty());
  }
  const std::string none = SearchResultsPage("absent", Found(entries, "absent"));
  EXPECT_NE(none.find("No page matches"), std::string::npos);

  // 10000 characters, one word and many: no match, a page of bounded size,
  // and control characters that would end the page are not repeated.
  std::string longWord(10000, 'x');
  longWord[5000] = '\x1A';
  const HelpSearchResults longFound = Found(entries, longWord);
  EXPECT_TRUE(longFound.results.empty());
  const std::string page = SearchResultsPage(longWord, longFound);
  EXPECT_LT(page.size(), 2000u);
  EXPECT_EQ(page.find('\x1A'), std::string::npos);
  std::string manyWords = "text ";
  for (int i = 0; i < 500; ++i) manyWords.append("w").append(std::to_string(i)).append(" ");
  const HelpSearchResults many = Found(entries, manyWords);
  EXPECT_EQ(Names(many.results), (std::vector<std::string>{"a.html"}));
  EXPECT_NE(SearchResultsPage(manyWords, many).find("Only the first"), std::string::npos);
}

TEST_F(HelpSearchTest, APageOfOneEndlessWordStaysSmall) {
  const std::string page(100000, 'a');
  const auto results = Search({{"a.html", page}}, std::string(1000, 'a'));
  ASSERT_EQ(results.size(), 1u);
  EXPECT_LT(index_->HeldBytes(), 10000u);
}

TEST_F(HelpSearchTest, WordInEveryPageKeepsTheResultsPageShort) {
  Entries entries;
  std::string body = "<TITLE>Topic</TITLE><P>";
  for (int i = 0; i < 60; ++i) body += "common word number " + std::to_string(i) + " ";
  for (int i = 0; i < 600; ++i) entries.push_back({"topic" + std::to_string(i) + ".html", body});
  const HelpSearchResults found = Found(entries, "common");
  EXPECT_EQ(found.matched, 600u);
  ASSERT_EQ(found.results.size(), MaxListedResults);
  const std::string html = SearchResultsPage("common", found);
  EXPECT_LE(html.size(), static_cast<std::size_t>(PageBufferSize));
  const ReadBack back = ReadResultsPage(html);
  EXPECT_EQ(back.hrefs.size(), MaxListedResults);
  EXPECT_NE(html.find(std::to_string(600 - MaxListedResults) + " more pages are not listed"),
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
  const auto index = SearchIndex::Build(path);
  const auto results = HelpSearch(*index).Search(okBytes.substr(okBytes.size() - 5)).results;
  EXPECT_EQ(Names(results), (std::vector<std::string>{"ok.html"}));
  EXPECT_EQ(index->PagesLeftOut(), 1u);  // bad.html; late.html reads as empty
  EXPECT_THROW(SearchIndex::Build(dir_.File("missing.hpm")), EInOutError);
}

}  // namespace
}  // namespace kiv
