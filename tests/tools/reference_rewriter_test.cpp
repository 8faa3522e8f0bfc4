// Rewriting a page's references when entries are renamed or anchors move.
#include <gtest/gtest.h>

#include "kivpack/page_tags.h"
#include "kivpack/reference_rewriter.h"

namespace kiv {
namespace {

TEST(ReferenceRewriter, RenamedEntriesAreRewrittenInHrefSrcAndBackgroundOnly) {
  ReferenceMap map;
  map.Rename("images/prev.png", "images/prev.png.gif");
  map.Rename("old.html", "new.html");
  std::string page =
      "<body background='IMAGES/PREV.PNG'><img src=images/prev.png alt=\"images/prev.png\">"
      "<a href=\"Old.html#top\">x</a> <a href=\"C:\\help\\old.html\">y</a>"
      "<a href=\"http://example.com/old.html\">web</a> <input type=image src=\"images/prev.png\">"
      "<!-- <img src=images/prev.png> --> images/prev.png <a href=oldish.html>z</a>";
  EXPECT_EQ(RewriteReferences(page, map, "index.html"), 5);
  EXPECT_EQ(page,
            "<body background='images/prev.png.gif'><img src=images/prev.png.gif "
            "alt=\"images/prev.png\">"
            "<a href=\"new.html#top\">x</a> <a href=\"C:\\help\\new.html\">y</a>"
            "<a href=\"http://example.com/old.html\">web</a> <input type=image "
            "src=\"images/prev.png.gif\">"
            "<!-- <img src=images/prev.png> --> images/prev.png <a href=oldish.html>z</a>");
}

TEST(ReferenceRewriter, MovedAnchorsSendLinksToThePartThatHoldsThem) {
  ReferenceMap map;
  map.PlaceAnchor("guide.html", "intro", "guide.html");
  map.PlaceAnchor("guide.html", "Setup", "guide-2.html");
  map.PlaceAnchor("guide.html", "end", "guide-3.html");

  std::string other =
      "<a href=\"GUIDE.HTML#setup\">a</a><a href=guide.html#intro>b</a><a href=guide.html>c</a>"
      "<a href=\"#setup\">own</a><a href=\"guide.html#nowhere\">d</a>";
  EXPECT_EQ(RewriteReferences(other, map, "other.html"), 1);
  EXPECT_EQ(other,
            "<a href=\"guide-2.html#setup\">a</a><a href=guide.html#intro>b</a><a "
            "href=guide.html>c</a><a href=\"#setup\">own</a><a href=\"guide.html#nowhere\">d</a>");

  // Inside the second part, in-page links go to whichever part holds the anchor.
  std::string part = "<a href=\"#intro\">1</a><a href=\"#setup\">2</a><a href='#end'>3</a>";
  EXPECT_EQ(RewriteReferences(part, map, "guide-2.html", "guide.html"), 2);
  EXPECT_EQ(part,
            "<a href=\"guide.html#intro\">1</a><a href=\"#setup\">2</a><a "
            "href='guide-3.html#end'>3</a>");
}

TEST(ReferenceRewriter, ValuesAreComparedAsTheReaderReadsThemAndWrittenBackAsTheyStood) {
  ReferenceMap map;
  map.PlaceAnchor("v.html", "index-0-variable:CMAKE_<LANG>_FLAGS", "v-2.html");
  map.Rename("a&b.html", "c.html");
  std::string page =
      "<a href=\"v.html#index-0-variable:CMAKE_&lt;LANG&gt;_FLAGS\">1</a>"
      "<a href=\" a&amp;b.html#x \">2</a><a href=v.html#index-0-variable:CMAKE_&lt;LANG&gt;_FLAGS>3</a>";
  EXPECT_EQ(RewriteReferences(page, map, "index.html"), 2);
  // The unquoted value is read as written (no entities): it names no anchor.
  EXPECT_EQ(page,
            "<a href=\"v-2.html#index-0-variable:CMAKE_&lt;LANG&gt;_FLAGS\">1</a>"
            "<a href=\"c.html#x \">2</a><a href=v.html#index-0-variable:CMAKE_&lt;LANG&gt;_FLAGS>3</a>");

  // A new value with a space, where the old had no quotes, gets them.
  std::string spaced = "<a href=old.html>x</a>";
  EXPECT_EQ(RewriteReferenceValues(spaced, [](const std::string& v, std::string_view) {
              return v == "old.html" ? std::string("new name.html") : std::string();
            }),
            1);
  EXPECT_EQ(spaced, "<a href=\"new name.html\">x</a>");
}

TEST(PageTags, AttributeValuesReadAsTheReaderReadsThem) {
  const std::string page =
      "<a name=\"  a&lt;b&gt;&amp;&quot;&#65;&#300;&#9;&nope;&copy;\r\nz \" id=x&amp;y "
      "title='&#12345;&abcdefghi'>";
  PageTagScanner scanner(page);
  PageTag tag;
  ASSERT_TRUE(scanner.Next(tag));
  ASSERT_EQ(tag.attributes.size(), 3u);
  EXPECT_EQ(AttributeValue(page, tag.attributes[0]), "a<b>&\"A&#300; &nope;\xA9z");
  EXPECT_EQ(AttributeValue(page, tag.attributes[1]), "x&amp;y");  // unquoted: as written
  EXPECT_EQ(AttributeValue(page, tag.attributes[2]), "&#12345;&abcdefghi");
}

TEST(ReferenceRewriter, AnEmptyMapOrUnclosedMarkupLeavesThePageAlone) {
  ReferenceMap none;
  std::string page = "<a href=\"x.html\">";
  EXPECT_EQ(RewriteReferences(page, none, "a.html"), 0);
  ReferenceMap map;
  map.Rename("x.html", "y.html");
  for (std::string bad :
       {std::string("<a href=\"x.html"), std::string("<a href="), std::string("<"),
        std::string("<!-- <a href=x.html>"), std::string("<script><a href=x.html></a>")}) {
    const std::string before = bad;
    RewriteReferences(bad, map, "a.html");
    EXPECT_EQ(bad, before == "<a href=\"x.html" ? "<a href=\"y.html" : before) << before;
  }
}

TEST(ReferenceRewriter, SchemesNameNothingInThePackageButDriveLettersAndPathsDo) {
  EXPECT_TRUE(HasScheme("http://example.org/a.html"));
  EXPECT_TRUE(HasScheme("mailto:help@example.org"));
  EXPECT_TRUE(HasScheme("svn+ssh:x"));
  EXPECT_FALSE(HasScheme("C:\\help\\a.html"));  // a drive letter
  EXPECT_FALSE(HasScheme("a.html#x:y"));
  EXPECT_FALSE(HasScheme("1http:x"));
  EXPECT_FALSE(HasScheme(":x"));
  EXPECT_FALSE(HasScheme("http"));
}

}  // namespace
}  // namespace kiv
