// The whole-help search across code pages: words folded in each page's own
// code page into one Unicode term, a query typed in Unicode finding pages in
// any of them, and results whose texts come out in UTF-8 and whose results
// page is written in a code page that holds them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/app_test_support.h"
#include "app/help_search.h"
#include "app/search_index.h"
#include "app/search_query.h"
#include "app/search_terms.h"
#include "platform/code_page.h"
#include "reader/charset_declaration.h"

namespace kiv {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Text of the test, written in UTF-8, as a page in that code page holds it.
std::string In(CodePage page, const std::string& utf8) {
  bool lossless = true;
  std::string bytes = Utf8ToCodePage(page, utf8, &lossless);
  EXPECT_TRUE(lossless) << utf8;
  return bytes;
}

std::string TermIn(CodePage page, const std::string& utf8) {
  return SearchTerm(In(page, utf8), FoldingFor(page));
}

TEST(SearchCodePagesTest, LettersFoldInTheirCodePageIntoOneUnicodeTerm) {
  struct Case {
    CodePage page;
    std::string upper, lower;
  };
  const Case cases[] = {
      {CodePage::Windows1250, "ŁÓDŹ", "łódź"},     {CodePage::Windows1251, "ЯЗЫК", "язык"},
      {CodePage::Windows1252, "ÉTÉ", "été"},       {CodePage::Windows1253, "ΣΟΦΙΑ", "σοφια"},
      {CodePage::Windows1254, "ŞEKER", "şeker"},   {CodePage::Windows1257, "ĄŽUOLAS", "ąžuolas"},
      {CodePage::Windows1251, "ПрИвЕт", "привет"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TermIn(c.page, c.upper), c.lower) << c.upper;
    EXPECT_EQ(TermIn(c.page, c.lower), c.lower) << c.lower;
    // The page's letters are word letters: the word is not cut at them.
    const std::string text = In(c.page, "(" + c.upper + ", " + c.lower + ")");
    std::vector<std::string> words;
    ForEachWord(text, FoldingFor(c.page),
                [&](std::size_t s, std::size_t n) { words.push_back(text.substr(s, n)); });
    EXPECT_EQ(words, (std::vector<std::string>{In(c.page, c.upper), In(c.page, c.lower)}));
  }
  // The Greek final sigma meets the other small sigma and the capital.
  EXPECT_EQ(TermIn(CodePage::Windows1253, "λογος"), TermIn(CodePage::Windows1253, "ΛΟΓΟΣ"));
  // One byte, two letters: 0xFF is "ÿ" in Windows-1252 and "я" in
  // Windows-1251, and the two never meet.
  EXPECT_EQ(SearchTerm("\xFF", FoldingFor(CodePage::Windows1252)), "ÿ");
  EXPECT_EQ(SearchTerm("\xDF", FoldingFor(CodePage::Windows1251)), "я");
  EXPECT_NE(SearchTerm("\xFF", FoldingFor(CodePage::Windows1252)),
            SearchTerm("\xFF", FoldingFor(CodePage::Windows1251)));
  // English words stem alike in every code page.
  EXPECT_EQ(TermIn(CodePage::Windows1251, "Keys"), "key");
  // A word of 500 Cyrillic letters is cut to the bound, in characters.
  std::string longWord;
  for (int i = 0; i < 500; ++i) longWord += "ж";
  EXPECT_EQ(TermIn(CodePage::Windows1251, longWord).size(), 2 * MaxSearchWordLength);
}

TEST(SearchCodePagesTest, AUnicodeQueryFoldsInEveryCodePageThatHoldsIt) {
  SearchQuery q = ParseSearchQuery("Язык ÉTÉ µs я");
  ASSERT_EQ(q.terms.size(), 4u);
  EXPECT_EQ(q.terms[0].terms, (std::vector<std::string>{"язык"}));
  EXPECT_EQ(q.terms[0].letters, 4u);
  // é folds alike in each code page holding it: one term.
  EXPECT_EQ(q.terms[1].terms, (std::vector<std::string>{"été"}));
  // The micro sign is its own letter in Windows-1252 and folds to the Greek
  // small mu in Windows-1253: both are searched.
  EXPECT_EQ(q.terms[2].terms, (std::vector<std::string>{"µs", "μs"}));
  EXPECT_EQ(q.terms[3].letters, 1u);
  EXPECT_FALSE(q.unmatchable);
  // A character no code page holds: no page can hold the word.
  q = ParseSearchQuery("key 中文");
  ASSERT_EQ(q.terms.size(), 2u);
  EXPECT_TRUE(q.terms[1].terms.empty());
  EXPECT_TRUE(q.unmatchable);
  // Cyrillic phrases, and invalid UTF-8 between words.
  q = ParseSearchQuery("\"Язык запросов\"\xFFпоиск");
  ASSERT_EQ(q.terms.size(), 3u);
  ASSERT_EQ(q.phrases.size(), 1u);
  EXPECT_EQ(q.phrases[0], (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(q.terms[2].word, "поиск");
}

class SearchCodePagesIndexTest : public ::testing::Test {
 protected:
  static std::string Page(CodePage page, const std::string& title, const std::string& body) {
    return "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=" +
           CodePageName(page) + "\"><TITLE>" + In(page, title) + "</TITLE></HEAD><BODY>" +
           In(page, body) + "</BODY></HTML>";
  }
  void SetUp() override {
    const Entries entries = {
        {"ru.html", Page(CodePage::Windows1251, "Справка",
                         "<P>Вступление.</P><H2><A NAME=\"q\"></A>Язык запросов</H2>"
                         "<P>Слова ищутся в любом регистре: ЯЗЫК и язык. Буква я.</P>")},
        // No declaration: Windows-1252, where 0xFF is "ÿ".
        {"fr.html", "<TITLE>\xC9t\xE9</TITLE><P>L'\xE9t\xE9 et la lettre \xFF.</P>"},
        {"el.html", Page(CodePage::Windows1253, "Λόγος", "<P>ΛΟΓΟΣ και λογος.</P>")},
        {"pl.html", Page(CodePage::Windows1250, "Miasto", "<P>Łódź leży w Polsce.</P>")},
        {"tr.html", Page(CodePage::Windows1254, "Şeker", "<P>Şeker tatlıdır.</P>")},
        {"lt.html", Page(CodePage::Windows1257, "Medis", "<P>Ąžuolas auga.</P>")},
        // Declares two code pages: the viewer reads it in the first, so
        // does the search, even after the second.
        {"two.html",
         "<META CHARSET=windows-1251><P>\xEF\xE5\xF0\xE2\xEE\xE5</P>"
         "<META CHARSET=windows-1253><P>\xE2\xF2\xEE\xF0\xEE\xE5</P>"},
    };
    path_ = dir_.Write("kivmap.hpm", testing::MakePackage(entries));
    index_ = SearchIndex::Build(path_);
  }
  std::vector<std::string> Names(const std::string& query) const {
    std::vector<std::string> names;
    for (const HelpSearchResult& r : HelpSearch(*index_).Search(query, 20, false).results)
      names.push_back(r.fileName);
    return names;
  }
  testing::TempDir dir_;
  std::string path_;
  std::unique_ptr<SearchIndex> index_;
};

TEST_F(SearchCodePagesIndexTest, AQueryFindsPagesInEachCodePageIgnoringCase) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Names("язык"), V{"ru.html"});
  EXPECT_EQ(Names("ЯЗЫК"), V{"ru.html"});
  EXPECT_EQ(Names("Я"), V{"ru.html"});  // not the "ÿ" of the same byte
  EXPECT_EQ(Names("Ÿ"), V{"fr.html"});
  EXPECT_EQ(Names("ÉTÉ"), V{"fr.html"});
  EXPECT_EQ(Names("λόγος"), V{"el.html"});
  EXPECT_EQ(Names("ΛΟΓΟΣ"), V{"el.html"});
  EXPECT_EQ(Names("łódź"), V{"pl.html"});
  EXPECT_EQ(Names("ŞEKER"), V{"tr.html"});
  EXPECT_EQ(Names("ąžuolas"), V{"lt.html"});
  EXPECT_EQ(Names("\"язык запросов\""), V{"ru.html"});
  EXPECT_EQ(Names("первое"), V{"two.html"});
  EXPECT_EQ(Names("второе"), V{"two.html"});
  EXPECT_EQ(index_->Page(6).codePage, 1251);
  // A word no code page can hold finds nothing.
  EXPECT_TRUE(Names("язык 中").empty());
}

TEST_F(SearchCodePagesIndexTest, ResultsShowCyrillicInUtf8AndFindTheirWordsInThePagesBytes) {
  const HelpSearchResults found = HelpSearch(*index_).Search("ЯЗЫК");
  ASSERT_EQ(found.results.size(), 1u);
  const HelpSearchResult& r = found.results[0];
  EXPECT_EQ(r.title, "Справка");
  EXPECT_EQ(r.heading, "Язык запросов");
  EXPECT_EQ(r.Link(), "ru.html#q");
  EXPECT_EQ(r.codePage, CodePage::Windows1251);
  EXPECT_NE(r.excerpt.find("ЯЗЫК и язык"), std::string::npos) << r.excerpt;
  std::vector<std::string> bold;
  for (const auto& [start, length] : r.bold) bold.push_back(r.excerpt.substr(start, length));
  EXPECT_EQ(bold, (std::vector<std::string>{"Язык", "ЯЗЫК", "язык"}));
  // The find bar looks for the page's own bytes.
  EXPECT_EQ(r.findWords, (std::vector<std::string>{In(CodePage::Windows1251, "язык")}));

  // The results page is written in Windows-1251 and says so.
  const std::string html = SearchResultsPage("ЯЗЫК", found);
  EXPECT_EQ(SearchResultsCodePage("ЯЗЫК", found), CodePage::Windows1251);
  EXPECT_EQ(CodePageOfPage(html), CodePage::Windows1251);
  EXPECT_NE(html.find(In(CodePage::Windows1251, "Справка")), std::string::npos);
  EXPECT_NE(html.find("<B>" + In(CodePage::Windows1251, "ЯЗЫК") + "</B>"), std::string::npos);
  EXPECT_EQ(html.find("Справка"), std::string::npos) << "no UTF-8 is left in the page";

  // A help in Windows-1252 gets a results page in it.
  const HelpSearchResults western = HelpSearch(*index_).Search("été");
  EXPECT_EQ(SearchResultsCodePage("été", western), CodePage::Windows1252);
  EXPECT_NE(SearchResultsPage("été", western).find("\xC9t\xE9"), std::string::npos);
}

TEST_F(SearchCodePagesIndexTest, ResultsNoCodePageHoldsTogetherFollowTheBestResult) {
  const HelpSearchResults found = HelpSearch(*index_).Search("λογος язык");
  ASSERT_EQ(found.results.size(), 2u);
  const CodePage chosen = SearchResultsCodePage("λογος язык", found);
  EXPECT_EQ(chosen, found.results[0].codePage);
  const std::string html = SearchResultsPage("λογος язык", found);
  EXPECT_EQ(CodePageOfPage(html), chosen);
  // The other result is listed still, its letters shown as "?".
  EXPECT_NE(html.find(found.results[1].fileName), std::string::npos);
  EXPECT_NE(html.find("?"), std::string::npos);
}

}  // namespace
}  // namespace kiv
