// The document builder: what sections, runs and anchors a page becomes.
#include "builder/document_builder.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "layout/heading_space.h"
#include "layout/horz_line.h"
#include "layout/list_items.h"
#include "layout/page.h"
#include "layout/paragraph_space.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/screen_canvas.h"
#include "reader/map_item.h"
#include "support/test_files.h"

#include <typeinfo>

namespace kiv {
namespace {

class BuilderTest : public ::testing::Test {
 protected:
  BuilderTest() : swap_(&fixed_) {
    doc.SetDefaults("Times New Roman", "Courier New", 12, clBlack, clBlue, clWhite);
  }
  TParseResult Parse(const std::string& html) {
    return ParseHtmlBuffer(doc, anchors, html.data(), html.size());
  }
  // The sections other than empty plain text sections (which a closed but
  // unused section leaves behind, with no height).
  std::vector<const TSectionBase*> Kept() const {
    std::vector<const TSectionBase*> kept;
    for (const auto& s : doc) {
      const TSectionBase& section = *s;
      if (typeid(section) == typeid(TSection) && s->Length == 0) continue;
      kept.push_back(s.get());
    }
    return kept;
  }
  // The kept sections as a compact string: one letter per section, text in [].
  std::string Shape() const {
    std::string out;
    for (const TSectionBase* p : Kept()) {
      if (auto* o = dynamic_cast<const TOListItem*>(p)) {
        out += "O" + std::to_string(o->ListNumber);
      } else if (dynamic_cast<const TDListItem*>(p)) {
        out += "D";
      } else if (dynamic_cast<const TUListItem*>(p)) {
        out += "U";
      } else if (dynamic_cast<const TPreFormated*>(p)) {
        out += "R";
      } else if (dynamic_cast<const TSection*>(p)) {
        out += "S";
      } else if (dynamic_cast<const THeadingSpace*>(p)) {
        out += "H";
      } else if (dynamic_cast<const TParagraphSpace*>(p)) {
        out += "P";
      } else if (dynamic_cast<const THorzLine*>(p)) {
        out += "L";
      } else if (dynamic_cast<const TPage*>(p)) {
        out += "G";
      }
      if (auto* t = dynamic_cast<const TSection*>(p)) {
        out += "[" + Text(*t) + "]";
      }
    }
    return out;
  }
  static std::string Text(const TSection& s) { return s.Buffer.substr(0, s.Length); }
  const TSection& TextAt(int i) const { return dynamic_cast<const TSection&>(*Kept().at(i)); }

  FixedMetricsCanvas fixed_;
  ScopedScreenCanvas swap_;
  TSectionList doc;
  TAnchorList anchors;
};

TEST_F(BuilderTest, TextBeforeBodyIsDroppedOnlyWhileTheDocumentIsEmpty) {
  Parse("dropped<body>kept");
  EXPECT_EQ(Shape(), "S[kept]");
  TSectionList other;
  TAnchorList a;
  std::string html = "<p>first<body>second";
  ParseHtmlBuffer(other, a, html.data(), html.size());
  EXPECT_EQ(other.Count(), 3);  // section, spacer, section: the late BODY is ignored
}

TEST_F(BuilderTest, AnchorBeforeBodyMovesToTheBodysSection) {
  Parse("<a name=x>gone</a><body>kept");
  ASSERT_EQ(anchors.size(), 1u);
  EXPECT_EQ(anchors[0].first, "X");
  EXPECT_EQ(anchors[0].second, Kept()[0]);
}

TEST_F(BuilderTest, ParagraphRunsCollapseAndTakeTheLastAlignment) {
  Parse("a<p></p><p align=right>b");
  EXPECT_EQ(Shape(), "S[a]PS[b]");
  EXPECT_EQ(TextAt(2).Justify, 3);
}

TEST_F(BuilderTest, HeadingMakesSpacersAndABoldScaledSection) {
  Parse("<h2>Title</h2>after");
  EXPECT_EQ(Shape(), "HS[Title]HS[after]");
  const TMyFont& f = *TextAt(1).Fonts[0]->Font;
  EXPECT_EQ(f.SizeTwelfths, 18);
  EXPECT_TRUE(f.Bold());
  EXPECT_EQ(TextAt(3).Fonts[0]->Font->SizeTwelfths, 12);
}

TEST_F(BuilderTest, UnclosedHeadingKeepsItsFont) {
  Parse("<h1>a<p>b");
  EXPECT_EQ(TextAt(3).Fonts[0]->Font->SizeTwelfths, 24);
}

TEST_F(BuilderTest, StyleFlagsDoNotNest) {
  Parse("<b>x<b>y</b>z");
  const TSection& s = TextAt(0);
  int dummy = 0;
  EXPECT_TRUE(s.Fonts.FontAt(0, dummy)->Bold());
  EXPECT_TRUE(s.Fonts.FontAt(1, dummy)->Bold());
  EXPECT_FALSE(s.Fonts.FontAt(2, dummy)->Bold());
}

TEST_F(BuilderTest, FontSizesFollowTheTablesAndTheBaseFont) {
  Parse("<font size=+1>a</font><basefont size=5><font size=-1>b</font><font size=9>c</font>");
  const TSection& s = TextAt(0);
  int o = 0;
  EXPECT_EQ(s.Fonts.FontAt(0, o)->SizeTwelfths, 14);  // size 4
  EXPECT_EQ(s.Fonts.FontAt(1, o)->SizeTwelfths, 14);  // base 5 - 1 = 4
  EXPECT_EQ(s.Fonts.FontAt(2, o)->SizeTwelfths, 36);  // clamped to 7
}

TEST_F(BuilderTest, BodyStartsInTheBaseFontWhateverWasPushedBeforeIt) {
  Parse("<basefont size=5><font color=red><body text=green>Hello<p>World");
  const TSection& hello = TextAt(0);
  int o = 0;
  EXPECT_EQ(hello.Fonts.FontAt(0, o)->SizeTwelfths, 12);
  EXPECT_EQ(ColorToRGB(hello.Fonts.FontAt(0, o)->Color()), ColorToRGB(0x008000));
}

TEST_F(BuilderTest, SmallAtSizeOneChangesNothingButItsEndTagPops) {
  Parse("<font size=5>a<font size=1><small>b</small>c");
  const TSection& s = TextAt(0);
  int o = 0;
  EXPECT_EQ(s.Fonts.FontAt(1, o)->SizeTwelfths, 8);
  EXPECT_EQ(s.Fonts.FontAt(2, o)->SizeTwelfths, 18);  // "/SMALL" popped the size-1 font
}

TEST_F(BuilderTest, NestedLinksPushAndPopOneFontEach) {
  Parse("<a href=one>x<a href=two>y</a>z</a>w");
  const TSection& s = TextAt(0);
  int index = 0;
  EXPECT_EQ(s.Fonts.RunAt(0, index)->Link.Url, "one");
  EXPECT_EQ(s.Fonts.RunAt(1, index)->Link.Url, "two");
  EXPECT_EQ(s.Fonts.RunAt(2, index)->Link.Url, "");
  // The link is closed, but the second "/A" finds no open link and pops
  // nothing: the first link's font stays in force.
  EXPECT_TRUE(s.Fonts.RunAt(2, index)->Font->Underline());
  EXPECT_TRUE(s.Fonts.RunAt(3, index)->Font->Underline());
  EXPECT_EQ(s.Fonts.RunAt(3, index)->Link.Url, "");
}

TEST_F(BuilderTest, ListsNumberNestAndEndTogether) {
  Parse("<ul><li>a<ol start=3><li>b<li>c</ul>d");
  EXPECT_EQ(Shape(), "U[a]O3[b]O4[c]S[d]");
  EXPECT_EQ(TextAt(0).ListLevel, 1);
  EXPECT_EQ(TextAt(1).ListLevel, 2);
  EXPECT_EQ(TextAt(3).ListLevel, 1);  // the outer list is still open
}

TEST_F(BuilderTest, DefinitionTermsStandOneLevelLeft) {
  Parse("<dl><dt>t<dd>d</dl>");
  EXPECT_EQ(Shape(), "D[t]D[d]");
  EXPECT_EQ(TextAt(0).ListLevel, 0);
  EXPECT_EQ(TextAt(1).ListLevel, 1);
}

TEST_F(BuilderTest, ParagraphRightAfterListItemMakesNoSpacer) {
  Parse("<ul><li><p>x</ul>");
  EXPECT_EQ(Shape(), "U[x]");
}

TEST_F(BuilderTest, PreformattedLinesKeepSpacesAndBreakOnce) {
  Parse("<pre>a\tb  c<br>\nd &amp; <i>e</i></pre>f");
  EXPECT_EQ(Shape(), "R[a b  c]R[d & e]S[f]");
  EXPECT_TRUE(TextAt(1).Fonts.Last()->Font->Italic() || TextAt(1).Fonts.Count() > 1);
  EXPECT_TRUE(TextAt(0).Fonts[0]->Font->Fixed);
}

TEST_F(BuilderTest, TablesAndFormsLeaveTheirSurroundings) {
  Parse("a<table><tr><td>x<table><tr><td>y</table></table>b<select><option>o</select>c");
  // The list stands in its text as one control placeholder.
  EXPECT_EQ(Shape(), "S[a]S[b\x02" "c]");
}

TEST_F(BuilderTest, TextAreaContentIsLiteralUpToItsClosingTag) {
  // Tags and comments-like text inside stay content; "</textarea" ends it
  // whatever follows before ">".
  Parse("a<textarea><b>x</b> &amp; <p>\nline</textarea  >b<select><option>o<p>p</select>c");
  EXPECT_EQ(Shape(), "S[a\x02" "b\x02" "c]");
}

TEST_F(BuilderTest, MapsAreKeptAndScriptsVanishWithoutAHandler) {
  Parse("<map name=m><area shape=rect coords=0,0,5,5 href=a.html></map><script>x</script>t");
  ASSERT_EQ(doc.ImageMaps.Count(), 1);
  EXPECT_EQ(doc.ImageMaps[0]->Name, "M");
  EXPECT_EQ(Shape(), "S[t]");
}

TEST_F(BuilderTest, ScriptsReachTheHandlerVerbatim) {
  std::string got, language;
  doc.ScriptHandler = [&](TSectionList&, const std::string& l, const std::string& s) {
    language = l;
    got = s;
  };
  Parse("<script language=js>if (a<b) {\n<!-- x -->}</script >\n</script>after");
  EXPECT_EQ(language, "js");
  EXPECT_EQ(got, "if (a<b) {\r\n<!-- x -->}</script >\r\n");
  EXPECT_EQ(Shape(), "S[after]");
}

TEST_F(BuilderTest, TitleBaseAndTextAfterBody) {
  auto r = Parse("<title>A</title><title>B</title><base href=h target=t>x</body>never");
  EXPECT_EQ(r.DocTitle, "AB");
  EXPECT_EQ(r.DocBase, "h");
  EXPECT_EQ(r.DocBaseTarget, "t");
  EXPECT_EQ(Shape(), "S[x]");
}

TEST_F(BuilderTest, PlainTextIsOnePreformattedLinePerLine) {
  TSectionList text;
  TAnchorList a;
  ParseTextStrings(text, a, {"one <b>", "two"});
  // The parse's first, unused section; then one line per line and an
  // empty last one after the final line end.
  ASSERT_EQ(text.Count(), 4);
  EXPECT_EQ(dynamic_cast<TSection&>(*text[1]).Buffer.substr(0, 7), "one <b>");
  EXPECT_EQ(dynamic_cast<TSection&>(*text[2]).Buffer.substr(0, 3), "two");
  EXPECT_TRUE(dynamic_cast<TPreFormated*>(text[3]));
}

TEST_F(BuilderTest, OpenCommentFailsBuffersButNotFiles) {
  EXPECT_THROW(Parse("a<p>b <!-- never closed"), EParseError);
  EXPECT_EQ(Shape(), "S[a]P");  // what was read stays; the run cut by the error is lost
  testing::TempDir dir;
  TSectionList fromFile;
  TAnchorList a;
  EXPECT_NO_THROW(ParseHtmlFile(fromFile, a, dir.Write("c.html", "a<p>b <!-- never closed")));
  EXPECT_EQ(fromFile.Count(), 2);
}

TEST_F(BuilderTest, HostileNestingIsBounded) {
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "<ul><li>x";
  Parse(deep);
  EXPECT_GT(doc.Count(), 0);
  TSectionList tables;
  TAnchorList a;
  std::string nested;
  for (int i = 0; i < 20000; ++i) nested += "<table><tr><td>";
  ParseHtmlBuffer(tables, a, nested.data(), nested.size());
  std::string bold(128000, ' ');
  for (std::size_t i = 0; i + 3 <= bold.size(); i += 3) bold.replace(i, 3, "<b>");
  TSectionList b;
  ParseHtmlBuffer(b, a, bold.data(), bold.size());
}

}  // namespace
}  // namespace kiv

namespace kiv {
namespace {

// Malformed pages never fail and never exhaust the stack.
class MalformedPageTest : public BuilderTest {};

TEST_F(MalformedPageTest, StrayAndUnclosedTagsStillBuild) {
  Parse("</ul></li><li>x</b></i></a></table></td><td>y</pre><p>z");
  EXPECT_EQ(Shape(), "S[xy]PS[z]");
}

TEST_F(MalformedPageTest, TwoHundredNestedListsIndentEachLevel) {
  std::string html;
  for (int i = 0; i < 200; ++i) html += "<ul><li>x" + std::to_string(i);
  Parse(html);
  auto kept = Kept();
  ASSERT_EQ(kept.size(), 200u);
  EXPECT_EQ(TextAt(0).ListLevel, 1);
  // Nesting beyond the limit reads its items at the deepest level.
  EXPECT_EQ(TextAt(199).ListLevel, MaxListNesting);
}

TEST_F(MalformedPageTest, OneWordOf128000Characters) {
  std::string word(128000, 'w');
  Parse(word);
  int maxWidth = 0, charIndex = 0;
  doc.Layout(fixed_, 0, 600, maxWidth, charIndex);
  // A section takes text while it holds at most 20000 characters, so it ends
  // at most one text run (100 characters) beyond; the rest is not kept.
  EXPECT_LE(TextAt(0).Length, 20000 + TextRunLength);
  EXPECT_GT(TextAt(0).Length, 0);
}

}  // namespace
}  // namespace kiv
