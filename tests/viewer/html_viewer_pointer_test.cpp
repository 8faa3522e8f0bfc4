// The viewer's pointer: hover events, following links by kind, drag
// selection with the focus rule and auto-scrolling, copying, and pointer
// coordinates far outside the control.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/clipboard.h"
#include "viewer/document_painter.h"
#include "viewer/scroll_bar_32.h"
#include "viewer/viewer_test_support.h"

namespace kiv {
namespace {

class ViewerPointerTest : public ViewerTest {
 protected:
  // Clicks at a point as a user does: the viewer ends up focused.
  void Click(QPoint p) {
    Press(p.x(), p.y());
    Release(p.x(), p.y());
  }
  void Focus() {
    viewer->setFocus();
    PaintNow();
    ASSERT_TRUE(viewer->hasFocus());
  }
};

TEST_F(ViewerPointerTest, HoverRaisesCoveredOnceOnEnteringAndOnceOnLeaving) {
  LoadHtml("<p><a href=\"next.html\">Next page</a> plain text here</p>");
  std::vector<std::string> covered;
  viewer->OnHotSpotCovered = [&](THTMLViewer*, const std::string& src) { covered.push_back(src); };
  const QPoint link = LinkPoint("next.html");
  Hover(link.x(), link.y());
  Hover(link.x() + 1, link.y());
  EXPECT_EQ(viewer->HoverUrl(), "next.html");
  Hover(link.x() + 8 * 14, link.y());  // over "plain"
  Hover(link.x() + 8 * 15, link.y());
  EXPECT_EQ(covered, (std::vector<std::string>{"next.html", ""}));
  EXPECT_EQ(viewer->HoverUrl(), "");
}

TEST_F(ViewerPointerTest, FirstClickOnALinkInAnUnfocusedViewerFollowsIt) {
  LoadHtml("<p><a href=\"next.html\">Next page</a></p>");
  viewer->clearFocus();
  PaintNow();
  std::string clicked;
  viewer->OnHotSpotClick = [&](THTMLViewer*, const std::string& src, bool& handled) {
    clicked = src;
    handled = true;
  };
  Click(LinkPoint("next.html"));
  EXPECT_EQ(clicked, "next.html");
  EXPECT_TRUE(viewer->hasFocus());
}

TEST_F(ViewerPointerTest, LinksAreFollowedByTheirKind) {
  const std::string b =
      dir.Write("b.html", "<title>B</title>" + Lines(50) + "<a name=sec>S</a>" + Lines(50));
  dir.Write("doc.txt", "text");
  dir.Write("pic.jpeg", "not really a picture");
  const std::string a = dir.Write(
      "a.html",
      "<title>A</title><a href=\"#end\">E</a> <a href=\"doc.txt\">T</a> "
      "<a href=\"pic.jpeg\">P</a> <a href=\"b.html#sec\">B</a> <a href=\"gone.html\">G</a>" +
          Lines(50) + "<a name=end>end</a>" + Lines(30));
  viewer->SetHistoryMaxCount(10);
  viewer->LoadHtmlFile(a);
  Focus();

  Click(LinkPoint("doc.txt"));  // ignored
  EXPECT_EQ(viewer->CurrentFile(), a);

  // A link to a missing page is reported, and the page stays.
  testing::TakeMessageBoxes();
  Click(LinkPoint("gone.html"));
  EXPECT_EQ(testing::TakeMessageBoxes(),
            std::vector<std::string>{"Can't locate file: " + dir.File("gone.html")});
  EXPECT_EQ(viewer->CurrentFile(), a);
  EXPECT_EQ(viewer->Title(), "A");

  Click(LinkPoint("#end"));  // within the page, recorded in the history
  EXPECT_GT(viewer->Document().ScrollY, 0);
  EXPECT_EQ(viewer->CurrentFile(), a);
  EXPECT_EQ(viewer->HistoryFiles().size(), 2u);

  viewer->ScrollToY(0);
  Click(LinkPoint("b.html#sec"));
  EXPECT_EQ(viewer->CurrentFile(), b);
  EXPECT_EQ(viewer->Title(), "B");
  EXPECT_GT(viewer->Document().ScrollY, 0);

  viewer->LoadHtmlFile(a);
  Click(LinkPoint("pic.jpeg"));
  EXPECT_EQ(viewer->CurrentFile(), dir.File("pic.jpeg"));
  EXPECT_EQ(viewer->CurrentFileType(), ImgType);
}

TEST_F(ViewerPointerTest, ExpandSourceNameUsesBaseOrTheCurrentFile) {
  const std::string a = dir.Write("sub/a.html", "<p>x");
  viewer->LoadHtmlFile(a);
  EXPECT_EQ(viewer->ExpandSourceName(" pic.gif "), dir.File("sub/pic.gif"));
  viewer->SetBase("DosPath");
  EXPECT_EQ(viewer->ExpandSourceName("pic.gif"), "pic.gif");
  viewer->SetBase(dir.Path() + "/");
  EXPECT_EQ(viewer->ExpandSourceName("sub\\a.html"), a);
}

TEST_F(ViewerPointerTest, DragSelectsAndCopiesWithoutFollowingTheLinkReleasedOn) {
  LoadHtml("<p>alpha beta gamma <a href=\"x.html\">delta</a></p>");
  Focus();
  bool followed = false;
  viewer->OnHotSpotClick = [&](THTMLViewer*, const std::string&, bool& handled) {
    followed = handled = true;
  };
  const QPoint link = LinkPoint("x.html");
  Press(ViewerLeftMargin, link.y());  // before "alpha"
  Drag(ViewerLeftMargin + 8 * 8, link.y());
  Release(link.x(), link.y());
  EXPECT_FALSE(followed);
  ASSERT_LT(viewer->Document().SelStart, viewer->Document().SelEnd);
  EXPECT_EQ(viewer->Document().SelStart, 0);
  viewer->CopySelection();
  const std::string copied = ClipboardText();
  EXPECT_EQ(copied.substr(0, 10), "alpha beta");
  EXPECT_EQ(viewer->SelectedTextLength(), static_cast<int>(copied.size()));

  viewer->CollapseSelection();
  EXPECT_EQ(viewer->SelectedTextLength(), 0);
  viewer->SelectAllText();
  viewer->CopySelection();
  EXPECT_NE(ClipboardText().find("alpha beta gamma delta"), std::string::npos);
  viewer->SetNoSelect(true);
  viewer->SelectAllText();  // no effect now
  EXPECT_EQ(viewer->Document().SelEnd, -1);
}

TEST_F(ViewerPointerTest, DraggingAboveScrollsALineEvery100MsOrEightLinesFarOut) {
  LoadHtml(Lines(400));
  Focus();
  viewer->ScrollToY(3000);
  PaintNow();
  Press(30, 40);
  Drag(30, -5);
  ASSERT_TRUE(viewer->AutoScrolling());
  Wait(250);  // steps at once, after 100 and after 200 ms
  const int moved = 3000 - viewer->Document().ScrollY;
  EXPECT_EQ(moved % 16, 0);
  EXPECT_GE(moved / 16, 2);
  EXPECT_LE(moved / 16, 4);
  EXPECT_EQ(viewer->VScrollBar()->Position(), viewer->Document().ScrollY);

  const int before = viewer->Document().ScrollY;
  Drag(30, -40);
  Wait(150);
  const int far = before - viewer->Document().ScrollY;
  EXPECT_GE(far, 128);
  EXPECT_EQ(far % 128, 0);

  Release(30, -40);
  EXPECT_FALSE(viewer->AutoScrolling());
  const int stopped = viewer->Document().ScrollY;
  Wait(150);
  EXPECT_EQ(viewer->Document().ScrollY, stopped);
  EXPECT_LT(viewer->Document().SelStart, viewer->Document().SelEnd);
}

TEST_F(ViewerPointerTest, PointerFarOutsideTheControlIsHarmless) {
  LoadHtml("<p><a href=\"x.html\">link</a> and text</p>" + Paragraphs(30));
  Focus();
  constexpr int big = std::numeric_limits<int>::max();
  constexpr int small = std::numeric_limits<int>::min();
  for (QPoint p : {QPoint(big, big), QPoint(small, small), QPoint(big, small), QPoint(0, big)}) {
    Hover(p.x(), p.y());
    Press(p.x(), p.y());
    Drag(p.x(), p.y());
    Release(p.x(), p.y());
  }
  EXPECT_FALSE(viewer->AutoScrolling());
  EXPECT_EQ(viewer->CurrentFile(), "");
}

}  // namespace
}  // namespace kiv
