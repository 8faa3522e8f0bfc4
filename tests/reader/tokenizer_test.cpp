#include "reader/tokenizer.h"

#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "reader/tokenizer_test_support.h"

namespace kiv {
namespace {

using testing::Brief;
using testing::Tokenize;
using V = std::vector<std::string>;

// ---- Line ends and the four sources ----

TEST(TokenizerLineEnds, EveryFormGivesOneCarriageReturn) {
  EXPECT_EQ(Brief("a\r\nb\n\rc\rd\ne", true), (V{"Text:a\rb\rc\rd\re", "EndOfInput:"}));
  EXPECT_EQ(Brief("a\n\nb\r\r\tc", true), (V{"Text:a\r\rb\r\r c", "EndOfInput:"}));
  // Outside PRE every run of white space folds into one space.
  EXPECT_EQ(Brief("a\r\n\t \n b"), (V{"Text:a b", "EndOfInput:"}));
}

TEST(TokenizerSources, ByteTwentySixEndsEverySourceForGood) {
  const std::string page = std::string("ab\x1A<b>cd</b>", 12);
  EXPECT_EQ(Brief(page), (V{"Text:ab", "EndOfInput:"}));
  std::vector<std::string> lines = {"ab",
                                    std::string("c\x1A"
                                                "d",
                                                3),
                                    "<b>"};
  ReaderState strings;
  strings.StartStrings(lines);
  EXPECT_EQ(Brief(Tokenize(strings)), (V{"Text:ab c", "EndOfInput:"}));
  // A 26 in a tag ends the tag and the input; later calls keep the end.
  ReaderState r;
  const std::string tag = std::string("<a href=\x1A x>y", 13);
  r.StartBuffer(tag.data(), tag.size());
  auto syms = Tokenize(r);
  EXPECT_EQ(Brief(syms), (V{"A:A", "EndOfInput:"}));
  r.Next();
  r.NextChar();
  r.Next();
  EXPECT_EQ(r.Sym, EndOfInputSymbol);
}

TEST(TokenizerSources, MissingFileIsAnInputOutputError) {
  ReaderState r;
  try {
    r.StartFile("/no/such/dir/page.htm");
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't locate file: /no/such/dir/page.htm");
  }
}

// ---- Comments ----

TEST(TokenizerComments, VanishWithTheirWhiteSpaceAndNeedDashesThenGreaterThan) {
  EXPECT_EQ(Brief("one <!-- a -- b --> two"), (V{"Text:one two", "EndOfInput:"}));
  EXPECT_EQ(Brief("a<!---->b<!-- x ---  \r\n >c"), (V{"Text:abc", "EndOfInput:"}));
  EXPECT_EQ(Brief("<!DOCTYPE html PUBLIC>x<!>y<!-x>z"), (V{"Text:xyz", "EndOfInput:"}));
  // Comments also vanish between attributes.
  auto syms = Tokenize("<img <!-- c --> src=a.gif>");
  ASSERT_EQ(syms[0].attrs.size(), 1u);
  EXPECT_EQ(syms[0].attrs[0].Text, "a.gif");
}

TEST(TokenizerComments, EndOfInputInsideACommentIsTheParseError) {
  for (const char* page : {"x<!-- open", "x<!-- a -- b >", "<!DOCTYPE", "<!-", "<!-- a --x >"}) {
    ReaderState r;
    std::string s = page;
    r.StartBuffer(s.data(), s.size());
    try {
      Tokenize(r);
      ADD_FAILURE() << page;
    } catch (const EParseError& e) {
      EXPECT_STREQ(e.what(), "Open Comment at End of HTML File");
    }
  }
  // With ScriptMode set, "<!--" is ordinary text.
  ReaderState r;
  std::string s = "<!-- x";
  r.StartBuffer(s.data(), s.size());
  r.ScriptMode = true;
  r.NextChar();
  std::string seen;
  while (r.Ch != EndOfInputChar) {
    seen += static_cast<char>(r.Ch);
    r.NextChar();
  }
  EXPECT_EQ(seen, "<!-- x");
}

// ---- Tags ----

TEST(TokenizerTags, HeadingLevelAndCaseOfAttributeText) {
  auto syms = Tokenize("<h3 align=Center>T</H3><h7>x</h 2><H0>");
  ASSERT_GE(syms.size(), 6u);
  EXPECT_EQ(syms[0].sym, HSy);
  EXPECT_EQ(syms[0].level, 3);
  ASSERT_EQ(syms[0].attrs.size(), 1u);
  EXPECT_EQ(syms[0].attrs[0].Id, AlignSy);
  EXPECT_EQ(syms[0].attrs[0].Text, "Center");
  EXPECT_EQ(syms[2].sym, HEndSy);
  EXPECT_EQ(syms[2].level, 3);
  EXPECT_EQ(syms[3].sym, HSy);
  EXPECT_EQ(syms[3].level, 0);
  EXPECT_EQ(syms[5].sym, HEndSy);
  EXPECT_EQ(syms[5].level, 2);
  EXPECT_EQ(syms[6].level, 0);
}

TEST(TokenizerTags, EndSymbolsUnknownNamesAndSpaces) {
  EXPECT_EQ(Brief("<B></b><tr></TR><li></li><Selected></selected>"),
            (V{"B:B", "/B:B", "TR:TR", "UnknownTag:TR", "LI:LI", "UnknownTag:LI",
               "SELECTED:SELECTED", "UnknownTag:SELECTED", "EndOfInput:"}));
  EXPECT_EQ(Brief("< b>x</ b>y<blink>z<b2>"),
            (V{"UnknownTag:", "Text:x", "UnknownTag:", "Text:y", "UnknownTag:BLINK", "Text:z",
               "B:B", "EndOfInput:"}));
  // A tag without ">" ends at the end of input.
  EXPECT_EQ(Brief("<table border=2 x"), (V{"TABLE:TABLE", "EndOfInput:"}));
}

TEST(TokenizerTags, AttributesKeptOnlyForTagsThatTakeThem) {
  ReaderState r;
  std::string s = "<a href=x.htm><b style=q>t</a><li type=disc>";
  r.StartBuffer(s.data(), s.size());
  r.NextChar();
  r.Next();
  ASSERT_EQ(r.Sym, ASy);
  ASSERT_EQ(r.Attributes.Count(), 1);
  for (Symbol expected : {BSy, TextSymbol, AEndSy, LISy}) {
    r.Next();
    EXPECT_EQ(r.Sym, expected);
    // Neither "B", "/A" nor "LI" touch the list.
    ASSERT_EQ(r.Attributes.Count(), 1);
    EXPECT_EQ(r.Attributes[0]->Text, "x.htm");
  }
  s = "<p><br clear=all Clear=left foo=1 data-x=2>";
  auto syms = Tokenize(s);
  EXPECT_TRUE(syms[0].attrs.empty());
  ASSERT_EQ(syms[1].attrs.size(), 4u);
  EXPECT_EQ(syms[1].attrs[0].Id, ClearSy);
  EXPECT_EQ(syms[1].attrs[1].Text, "left");
  EXPECT_EQ(syms[1].attrs[2].Id, UnknownAttributeSymbol);
  EXPECT_EQ(syms[1].attrs[2].Value, 1);
  // "-" ends the name "DATA", which has no value; the rest of the tag is skipped.
  EXPECT_EQ(syms[1].attrs[3].Id, UnknownAttributeSymbol);
  EXPECT_EQ(syms[1].attrs[3].Text, "");
}

// ---- Attribute values ----

TEST(TokenizerAttributes, ElementIdsOfEveryStartTagAreHeldInOrder) {
  ReaderState r;
  const std::string html =
      "<DIV id=\"Sect-1\"><section ID=two><h2 class=t id='x y'>T</h2></div id=end>"
      "<p id=\"\"><b id=first id=second>b</b><a id=42 name=n>";
  r.StartBuffer(html.data(), html.size());
  Tokenize(r);
  // Known and unknown tags alike; end tags and empty IDs give none; the
  // first ID of a tag counts; the text is kept as written.
  EXPECT_EQ(r.ElementIds, (V{"Sect-1", "two", "x y", "first", "42"}));
  // Starting a source forgets what the last one left.
  r.StartBuffer("<p>", 3);
  EXPECT_TRUE(r.ElementIds.empty());
  // A page of IDs that nobody takes holds a bounded number of them.
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "<i id=a" + std::to_string(i) + ">";
  r.StartBuffer(many.data(), many.size());
  Tokenize(r);
  EXPECT_EQ(r.ElementIds.size(), ReaderState::MaxPendingElementIds);
  EXPECT_EQ(r.ElementIds.front(), "a0");
}

TEST(TokenizerAttributes, QuotedNumericAndBareValues) {
  auto syms = Tokenize(
      "<table width=\"50%\" border cellpadding=+2 cellspacing = -3 bgcolor='#FF00aa' "
      "height=50 % align=\" left\r\n side \" valign=\"a&amp;b&#65;\" name=x'y>");
  ASSERT_EQ(syms[0].sym, TableSy);
  const auto& a = syms[0].attrs;
  ASSERT_EQ(a.size(), 9u);
  EXPECT_EQ(a[0].Id, WidthSy);
  EXPECT_EQ(a[0].Text, "50%");
  EXPECT_EQ(a[0].Value, 50);
  EXPECT_EQ(a[1].Id, BorderSy);
  EXPECT_EQ(a[1].Value, 1);
  EXPECT_EQ(a[2].Text, "+2");
  EXPECT_EQ(a[2].Value, 2);
  EXPECT_EQ(a[3].Text, "-3");
  EXPECT_EQ(a[3].Value, -3);
  EXPECT_EQ(a[4].Text, "#FF00aa");
  EXPECT_EQ(a[5].Text, "50%");  // the "%" after white space still joins
  EXPECT_EQ(a[5].Value, 50);
  EXPECT_EQ(a[6].Text, "left side");  // line ends dropped, ends trimmed
  EXPECT_EQ(a[7].Text, "a&bA");
  EXPECT_EQ(a[8].Id, NameSy);
  EXPECT_EQ(a[8].Text, "x'y");
}

TEST(TokenizerAttributes, NumbersComeOutUpperCaseAndBadNumbersAreZero) {
  auto a =
      Tokenize("<font size=2em color=\"12x\" face=\"  \" border=0 width=99999999999>")[0].attrs;
  ASSERT_EQ(a.size(), 5u);
  EXPECT_EQ(a[0].Text, "2EM");
  EXPECT_EQ(a[0].Value, 0);
  EXPECT_EQ(a[1].Value, 0);
  EXPECT_EQ(a[2].Text, "");
  EXPECT_EQ(a[3].Value, 0);  // an explicit BORDER=0 overrides the default of 1
  EXPECT_EQ(a[4].Value, 0);
  EXPECT_EQ(a[4].Text, "99999999999");
}

TEST(TokenizerAttributes, UnclosedQuoteRunsToTheEnd) {
  auto syms = Tokenize("<a href=\"x.htm>text</a>");
  ASSERT_EQ(syms.size(), 2u);
  EXPECT_EQ(syms[0].attrs[0].Text, "x.htm>text</a>");
  EXPECT_EQ(syms[1].sym, EndOfInputSymbol);
}

// ---- Entities ----

TEST(TokenizerEntities, NamedForms) {
  EXPECT_EQ(Brief("&amp;&lt;&gt;&quot;&copy;&nbsp&yuml;&Agrave;"),
            (V{"Text:&", "Text:<", "Text:>", "Text:\"", "Text:\xA9", "Text:\xA0", "Text:\xFF",
               "Text:\xC0", "EndOfInput:"}));
  EXPECT_EQ(Brief("&AMP;&bogus;&x &;&"), (V{"Text:&AMP;", "Text:&bogus;", "Text:&x",
                                            "Text: ", "Text:&;", "Text:&", "EndOfInput:"}));
  // Longer than 7: "&" and 7 characters, the rest is ordinary text.
  EXPECT_EQ(Brief("&abcdefghij;"), (V{"Text:&abcdefg", "Text:hij;", "EndOfInput:"}));
}

TEST(TokenizerEntities, NumericForms) {
  EXPECT_EQ(Brief("&#65;&#9;&#300;&#12;&#0065&#x41;&#;"),
            (V{"Text:A", "Text: ", "Text:&#300;", "Text:&#12;", "Text:A", "Text:&#", "Text:x41;",
               "Text:&#;", "EndOfInput:"}));
  // A fifth digit: "&#" and four digits, the fifth digit is ordinary text.
  EXPECT_EQ(Brief("&#12345;"), (V{"Text:&#1234", "Text:5;", "EndOfInput:"}));
  EXPECT_EQ(Brief("&#10;&#255;&#256;"), (V{"Text:\n", "Text:\xFF", "Text:&#256;", "EndOfInput:"}));
}

// ---- Text runs ----

TEST(TokenizerText, FoldingBetweenTagsAndRunLength) {
  EXPECT_EQ(Brief("<b>  word   word  <b>"), (V{"B:B", "Text: word word ", "B:B", "EndOfInput:"}));
  auto syms = Tokenize(std::string(250, 'x'));
  ASSERT_EQ(syms.size(), 4u);
  EXPECT_EQ(syms[0].token.size(), 100u);
  EXPECT_EQ(syms[1].token.size(), 100u);
  EXPECT_EQ(syms[2].token.size(), 50u);
  // In PRE nothing folds, and runs still stop at 100 characters.
  syms = Tokenize("  a \r\n " + std::string(200, ' '), true);
  EXPECT_EQ(syms[0].token, "  a \r " + std::string(94, ' '));
  EXPECT_EQ(syms[1].token.size(), 100u);
}

TEST(TokenizerText, StrayCharactersAndHighBytes) {
  EXPECT_EQ(Brief(std::string("a>b\x01\x7F\xE9\0c", 8)),
            (V{"Text:a", "StrayChar:>", "Text:b", "StrayChar:\x01", "Text:\x7F\xE9",
               std::string("StrayChar:\0", 11), "Text:c", "EndOfInput:"}));
}

TEST(TokenizerText, HostileInputStaysBoundedAndEndsCleanly) {
  std::string page = "<" + std::string(5000, 'a') + " " + std::string(5000, 'b') + "=\"" +
                     std::string(5000, 'v') + "\">" + std::string(3000, '&') +
                     std::string(3000, '<') + "\"'";
  for (int c = 0; c < 256; ++c)
    if (c != 26) page += static_cast<char>(c);
  auto syms = Tokenize(page);
  ASSERT_EQ(syms.back().sym, EndOfInputSymbol);
  EXPECT_EQ(syms[0].sym, UnknownTagSymbol);
  EXPECT_EQ(syms[0].token.size(), static_cast<std::size_t>(TokenCapacity));
  for (const auto& s : syms) EXPECT_LE(s.token.size(), static_cast<std::size_t>(TokenCapacity));
  // A huge value for a tag that keeps attributes is stored whole.
  syms = Tokenize("<a href=\"" + std::string(5000, 'h') + "\">");
  EXPECT_EQ(syms[0].attrs[0].Text.size(), 5000u);
}

}  // namespace
}  // namespace kiv
