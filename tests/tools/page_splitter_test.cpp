// Cutting pages over the page buffer into parts.
#include "kivpack/page_splitter.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

constexpr std::size_t kLimit = 2000;

std::string Paragraphs(int from, int count) {
  std::string s;
  for (int i = from; i < from + count; ++i)
    s += "<p>Paragraph " + std::to_string(i) + " holds some words &amp; an entity.</p>\n";
  return s;
}

std::string Page(const std::string& body) {
  return "<html><head><title>Guide</title><base href=\"x\"><meta name=a content=b></head>"
         "<body bgcolor=white>\n" +
         body + "</body></html>";
}

// The part's text between the head and the end.
std::string Body(const std::string& part) {
  const std::size_t from = part.find("<body bgcolor=white>") + 20;
  return part.substr(from, part.find("</body>") - from);
}

TEST(PageSplitter, PartsKeepTheHeadLinkEachOtherAndHoldTheWholeBody) {
  const std::string body = Paragraphs(0, 20) + "<h2>Second</h2>\n" + Paragraphs(20, 60);
  const PageSplit split = SplitPage(Page(body), "dir/guide.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_GE(split.parts.size(), 3u);
  const std::size_t n = split.parts.size();
  std::string joined;
  for (std::size_t k = 0; k < n; ++k) {
    const PagePart& p = split.parts[k];
    EXPECT_EQ(p.name, k == 0 ? "dir/guide.html" : "dir/guide-" + std::to_string(k + 1) + ".html");
    EXPECT_LE(p.bytes.size(), kLimit);
    const std::string title = "<title>Guide (" + std::to_string(k + 1) + "/" + std::to_string(n) +
                              ")</title><base href=\"x\"><meta name=a content=b>";
    EXPECT_NE(p.bytes.find(title), std::string::npos) << p.bytes.substr(0, 120);
    std::string b = Body(p.bytes);
    if (k > 0) {
      const std::string from = "<P><A HREF=\"" + split.parts[k - 1].name + "\">Continued from";
      ASSERT_EQ(b.find("\r\n" + from), 0u) << b.substr(0, 100);
      b.erase(0, b.find("</P>\r\n") + 6);
    }
    if (k + 1 < n) {
      const std::string next = "<P><A HREF=\"" + split.parts[k + 1].name + "\">Continued";
      const std::size_t at = b.rfind("\r\n" + next);
      ASSERT_NE(at, std::string::npos);
      b.erase(at);
    }
    // Every cut is before a block.
    if (k > 0) {
      EXPECT_TRUE(b.rfind("<p>", 0) == 0 || b.rfind("<h2>", 0) == 0) << b.substr(0, 40);
    }
    joined += b;
  }
  EXPECT_EQ(joined, "\n" + body) << "nothing lost, nothing repeated";
  // The heading is preferred: one part begins with it.
  bool headingStarts = false;
  for (const PagePart& p : split.parts)
    headingStarts |= p.bytes.find("</A></P>\r\n<h2>Second") != std::string::npos;
  EXPECT_TRUE(headingStarts);
}

TEST(PageSplitter, AnchorsGoWithTheBlockThatFollowsThemAndAreListedOnce) {
  const std::string body = Paragraphs(0, 40) +
                           "<div class=s><a name=\"Late\"></a><section id=\"late2\"><h3>Late</h3>" +
                           Paragraphs(25, 5) + "<a name=late>again</a></section></div>";
  const PageSplit split = SplitPage(Page("<a name=top></a>" + body), "g.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_EQ(split.anchors.size(), 3u);
  EXPECT_EQ(split.anchors[0].name, "top");
  EXPECT_EQ(split.anchors[0].part, 0u);
  EXPECT_EQ(split.anchors[1].name, "Late");
  EXPECT_EQ(split.anchors[2].name, "late2");
  const std::size_t last = split.parts.size() - 1;
  EXPECT_EQ(split.anchors[1].part, last);
  EXPECT_EQ(split.anchors[2].part, last);
  EXPECT_NE(split.parts[last].bytes.find("<div class=s><a name=\"Late\">"), std::string::npos)
      << "the cut moved back over the tags the viewer ignores";
  ASSERT_EQ(split.notes.size(), 1u);
  EXPECT_NE(split.notes[0].find("\"late\" named twice"), std::string::npos) << split.notes[0];
}

TEST(PageSplitter, AListOrTableTooLargeIsCutBetweenItemsAndOpenedAgain) {
  std::string list = "<ol start=5 type=a>\n";
  for (int i = 0; i < 80; ++i) list += "<li>Item " + std::to_string(i) + " with <b>words</b>\n";
  list += "</ol>\n<table border=1 width=\"90%\">\n";
  for (int i = 0; i < 80; ++i)
    list += "<tr><td>row " + std::to_string(i) + "</td><td><ul><li>a<li>b</ul></td></tr>\n";
  list += "</table>\n";
  const PageSplit split = SplitPage(Page(list), "l.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  int listParts = 0, tableParts = 0;
  for (std::size_t k = 1; k < split.parts.size(); ++k) {
    const std::string b = Body(split.parts[k].bytes);
    const std::string opened = b.substr(b.find("</P>\r\n") + 6);
    if (opened.rfind("<OL START=", 0) == 0) {
      ++listParts;
      // Numbering goes on: the first item here is the next number.
      const int first = std::stoi(opened.substr(10));
      const std::size_t item = opened.find("<li>Item ") + 9;
      EXPECT_EQ(first, 5 + std::stoi(opened.substr(item)));
      EXPECT_EQ(opened.find(" type=a>"), opened.find('>') - 7) << opened.substr(0, 40);
    } else if (opened.rfind("<table border=1 width=\"90%\"><tr>", 0) == 0) {
      ++tableParts;
    }
    if (k + 1 < split.parts.size() && b.find("<tr>") != std::string::npos) {
      EXPECT_NE(b.find("</td></tr>\n</TABLE>\r\n<P><A"), std::string::npos) << "cut between rows";
    }
  }
  EXPECT_GE(listParts, 1);
  EXPECT_GE(tableParts, 1);
}

TEST(PageSplitter, LongPreformattedTextIsCutBetweenLines) {
  std::string pre = "<pre class=x>\n";
  for (int i = 0; i < 120; ++i) pre += "line " + std::to_string(i) + " of code  &lt;x&gt;\n";
  pre += "</pre>\n";
  const PageSplit split = SplitPage(Page(pre), "p.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_GE(split.parts.size(), 2u);
  const std::string second = Body(split.parts[1].bytes);
  EXPECT_NE(second.find("</A></P>\r\n<pre class=x>line "), std::string::npos)
      << second.substr(0, 120);
  EXPECT_NE(Body(split.parts[0].bytes).find(" of code  &lt;x&gt;\n</PRE>\r\n"), std::string::npos);
}

TEST(PageSplitter, AParagraphTooLongByItselfIsCutAfterALineBreak) {
  std::string lines = "<p>";
  for (int i = 0; i < 100; ++i) lines += "line " + std::to_string(i) + " of the news<br>\n";
  const PageSplit split = SplitPage(Page(lines), "n.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_GE(split.parts.size(), 2u);
  EXPECT_NE(Body(split.parts[0].bytes).find(" of the news<br>\r\n<P><A HREF=\"n-2.html\">"),
            std::string::npos);
}

TEST(PageSplitter, ATextPageIsCutBetweenLines) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "plain line " + std::to_string(i) + " of a text page\n";
  PageSplit split = SplitPage(text, "notes.txt", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_GE(split.parts.size(), 2u);
  EXPECT_EQ(split.parts[1].name, "notes-2.txt");
  EXPECT_NE(split.parts[0].bytes.find(" of a text page\n\r\n<P><A HREF=\"notes-2.txt\">"),
            std::string::npos);
  split = SplitPage(text, "notes.html", kLimit);
  EXPECT_FALSE(split.error.empty()) << "in a page of HTML a line end is no boundary";
}

TEST(PageSplitter, WhatCannotBeCutIsRefusedWithItsLine) {
  // No block boundary at all.
  std::string text(5000, 'x');
  PageSplit split = SplitPage(Page(text), "t.html", kLimit);
  EXPECT_TRUE(split.parts.empty());
  EXPECT_NE(split.error.find("text with no block boundary (line 2)"), std::string::npos)
      << split.error;

  // One cell, one item, one table without rows.
  split = SplitPage(Page("<table><tr><td>a</td></tr>\n<tr><td>\n" + text + "</td></tr></table>"),
                    "c.html", kLimit);
  EXPECT_NE(split.error.find("one table cell (line 3)"), std::string::npos) << split.error;
  split = SplitPage(Page("<ul><li>a\n<li><p>" + text + "<p>more</ul>"), "i.html", kLimit);
  EXPECT_NE(split.error.find("one list item (line 3)"), std::string::npos) << split.error;
  split = SplitPage(Page("<table><td>" + text + "</table>"), "r.html", kLimit);
  EXPECT_NE(split.error.find("one table cell (line 2)"), std::string::npos) << split.error;

  // Tags, comments and scripts are never cut, even without an end.
  split = SplitPage(Page("<p><img alt=\"" + text + "\"><p>x"), "a.html", kLimit);
  EXPECT_FALSE(split.error.empty());
  split = SplitPage(Page("<script>" + text + "<p>x<p>y</script>"), "s.html", kLimit);
  EXPECT_FALSE(split.error.empty());
  split = SplitPage(Page("<!-- <p> " + text + "<p> -->"), "m.html", kLimit);
  EXPECT_FALSE(split.error.empty());
  // A head too large for any part.
  split = SplitPage("<title>" + text + "</title><body><p>a<p>b", "h.html", kLimit);
  EXPECT_FALSE(split.error.empty());
}

// The text after the "Continued from" link of a part.
std::string Opened(const std::string& part) {
  const std::string b = Body(part);
  return b.substr(b.find("</P>\r\n") + 6);
}

TEST(PageSplitter, ACellOrItemOverTheLimitIsCutInsideAtItsBlocksAsALastResort) {
  // An index laid out in two columns: one row, each cell a long list.
  std::string index = "<table class=idx><tr><td width=\"50%\"><ul>\n";
  for (int i = 0; i < 60; ++i) index += "<li>entry " + std::to_string(i) + " of the index</li>\n";
  index += "</ul></td><td><ul>\n";
  for (int i = 60; i < 120; ++i) index += "<li>entry " + std::to_string(i) + " of the index</li>\n";
  index += "</ul></td></tr></table>\n";
  PageSplit split = SplitPage(Page(index), "genindex.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_GE(split.parts.size(), 3u);
  std::string all;
  for (std::size_t k = 0; k < split.parts.size(); ++k) {
    const std::string& part = split.parts[k].bytes;
    EXPECT_LE(part.size(), kLimit);
    all += part;
    if (k > 0) {
      // The table, its row and the cell are opened again; the list goes on.
      const std::string opened = Opened(part);
      EXPECT_TRUE(opened.rfind("<table class=idx><tr><td width=\"50%\"><ul>", 0) == 0 ||
                  opened.rfind("<table class=idx><tr><td><ul>", 0) == 0)
          << opened.substr(0, 60);
    }
    if (k + 1 < split.parts.size()) {
      EXPECT_NE(part.find("</UL></TD></TR></TABLE>\r\n<P><A"), std::string::npos)
          << part.substr(part.size() - 120);
    }
  }
  for (int i = 0; i < 120; ++i) {
    const std::string entry = "<li>entry " + std::to_string(i) + " of";
    EXPECT_NE(all.find(entry), std::string::npos) << i;
    EXPECT_EQ(all.find(entry), all.rfind(entry)) << "entry " << i << " twice";
  }

  // One entry with a long list of sub-entries: the sub-list goes on in the
  // next part without a new item.
  std::string entries = "<ul><li>first</li><li>command\n<ul>\n";
  for (int i = 0; i < 150; ++i) entries += "<li>sub-entry " + std::to_string(i) + "</li>\n";
  entries += "</ul></li><li>last</li></ul>\n";
  split = SplitPage(Page(entries), "e.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_GE(split.parts.size(), 2u);
  const std::string opened = Opened(split.parts[1].bytes);
  EXPECT_EQ(opened.rfind("<ul><ul><li>sub-entry ", 0), 0u) << opened.substr(0, 40);
  EXPECT_NE(split.parts[0].bytes.find("</UL></UL>\r\n<P><A"), std::string::npos);
  EXPECT_EQ(opened.find("command"), std::string::npos);

  // Rows that fit are still cut between, never inside a cell.
  std::string rows = "<table>\n";
  for (int i = 0; i < 60; ++i) rows += "<tr><td><p>a " + std::to_string(i) + "<p>b</td></tr>\n";
  rows += "</table>";
  split = SplitPage(Page(rows), "r.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  for (std::size_t k = 1; k < split.parts.size(); ++k)
    EXPECT_EQ(Opened(split.parts[k].bytes).rfind("<table><tr><td>", 0), 0u)
        << Opened(split.parts[k].bytes).substr(0, 30);
}

TEST(PageSplitter, AnchorsAreNamedAsTheReaderReadsThem) {
  const std::string body =
      Paragraphs(0, 40) + "<dt id=\"index-0-variable:CMAKE_&lt;LANG&gt;_FLAGS\">x</dt>" +
      "<a name='a&amp;b'>y</a>" +
      // An A tag with both names gives two anchors; an ID that repeats the NAME gives one.
      "<a name=\"both\" id=\"also\">z</a><a name=\"Same\" id=\"SAME\">w</a>";
  const PageSplit split = SplitPage(Page(body), "v.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_EQ(split.anchors.size(), 5u);
  EXPECT_EQ(split.anchors[0].name, "index-0-variable:CMAKE_<LANG>_FLAGS");
  EXPECT_EQ(split.anchors[1].name, "a&b");
  EXPECT_EQ(split.anchors[2].name, "both");
  EXPECT_EQ(split.anchors[3].name, "also");
  EXPECT_EQ(split.anchors[4].name, "Same");
  EXPECT_EQ(split.anchors[0].part, split.parts.size() - 1);
  EXPECT_EQ(split.anchors[3].part, split.parts.size() - 1);
  for (const std::string& note : split.notes)
    EXPECT_EQ(note.find("named twice"), std::string::npos) << note;
}

TEST(PageSplitter, APictureFindsItsImageMapInItsOwnPart) {
  const std::string map = "<map name=\"nav\"><area href=\"b.html\" coords=\"0,0,9,9\"></map>";
  const std::string body = "<p><img src=a.gif usemap=\"#nav\">" + map + Paragraphs(0, 40) +
                           "<p><img src=a.gif usemap=\" #NAV\">" + Paragraphs(40, 40) +
                           "<p><img src=a.gif usemap=\"#other\">";
  const PageSplit split = SplitPage(Page(body), "m.html", kLimit);
  ASSERT_TRUE(split.error.empty()) << split.error;
  ASSERT_GE(split.parts.size(), 3u);
  for (std::size_t k = 0; k < split.parts.size(); ++k) {
    const std::string& part = split.parts[k].bytes;
    EXPECT_LE(part.size(), kLimit);
    const bool uses = part.find("usemap=\" #NAV\"") != std::string::npos ||
                      part.find("usemap=\"#nav\"") != std::string::npos;
    const std::size_t first = part.find(map);
    EXPECT_EQ(first != std::string::npos, uses) << "part " << k;
    if (first != std::string::npos) {
      EXPECT_EQ(part.rfind(map), first) << "one copy";
    }
  }
}

TEST(PageSplitter, PartNamesTakeTheNumberBeforeTheExtension) {
  EXPECT_EQ(PartName("a.html", 1), "a.html");
  EXPECT_EQ(PartName("a.b/c.htm", 12), "a.b/c-12.htm");
  EXPECT_EQ(PartName("dir.x/readme", 2), "dir.x/readme-2");
  const std::string small = Page("<p>small");
  const PageSplit whole = SplitPage(small, "s.html", kLimit);
  ASSERT_EQ(whole.parts.size(), 1u);
  EXPECT_EQ(whole.parts[0].bytes, small);
}

}  // namespace
}  // namespace kiv
