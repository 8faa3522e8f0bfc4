// The keyboard inside the page: the stops Tab walks (links, map areas, form
// controls) in document order, their names, the focus frame and its
// contrast, scrolling a stop into view, Enter, Space, Ctrl+A and Ctrl+C, the
// focus kept across a layout and dropped with the page, and pages that push
// the limits (many links, deep tables, large maps).
#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "viewer/scroll_bar_32.h"
#include "viewer/viewer_test_support.h"

namespace kiv {
namespace {

class ViewerFocusTest : public ViewerTest {
 protected:
  std::vector<std::string> StopUrls() {
    std::vector<std::string> urls;
    for (int i = 0; i < viewer->Stops().Count(); ++i) urls.push_back(viewer->Stops()[i].Url);
    return urls;
  }
  void KeyWith(int key, Qt::KeyboardModifiers mods) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(viewer.get(), &press);
  }
  QImage Painted() {
    PaintNow();
    QImage image(viewer->PaintPanel()->size(), QImage::Format_RGB32);
    viewer->PaintPanel()->PaintRect(image, image.rect());
    return image;
  }
  // Pixels of colour c on the outline of rect r (panel coordinates).
  static int OnOutline(const QImage& image, const QRect& r, QRgb c) {
    int n = 0;
    for (int x = r.left(); x <= r.right(); ++x)
      n += (image.pixel(x, r.top()) == c) + (image.pixel(x, r.bottom()) == c);
    return n;
  }
  QRect PanelRectOf(int stop) {
    const TRect r = viewer->Stops().BoundsOf(ScreenCanvas(), stop);
    const int y = r.Top - viewer->Document().ScrollY;
    return QRect(r.Left, y, r.Width(), r.Height());
  }
};

TEST_F(ViewerFocusTest, StopsAreTheLinksAreasAndControlsInDocumentOrder) {
  LoadHtml(
      "<p><a href=\"a.html\">first <b>bold</b> part</a><a href=\"b.html\">second</a></p>"
      "<table><tr><td><a href=\"cell.html\">in a cell</a></td>"
      "<td><input type=text name=field></td></tr></table>"
      "<p><img src=\"map.gif\" width=100 height=50 usemap=\"#m\"> after "
      "<a href=\"c.html\"><img src=\"pic.gif\" alt=\"The picture\" width=20 height=20></a>"
      " <a href=\"d.html\"><img src=\"z.gif\" width=5 height=5></a></p>"
      "<map name=\"m\"><area shape=rect coords=\"0,0,49,49\" href=\"left.html\" alt=\"Left\">"
      "<area shape=rect coords=\"50,0,99,49\" nohref>"
      "<area shape=circle coords=\"75,25,10\" href=\"round.html\"></map>");
  EXPECT_EQ(StopUrls(), (std::vector<std::string>{"a.html", "b.html", "cell.html", "", "left.html",
                                                  "round.html", "c.html", "d.html"}));
  const TPageStops& stops = viewer->Stops();
  // Runs of one link are one stop; a link's name is its text, else its
  // picture's ALT, else where it leads; an area's its ALT or target.
  EXPECT_EQ(stops.NameOf(0), "first bold part");
  EXPECT_EQ(stops.NameOf(3), "field");
  EXPECT_EQ(stops[3].StopKind, TPageStop::ControlStop);
  EXPECT_EQ(stops.NameOf(4), "Left");
  EXPECT_EQ(stops.NameOf(5), "round.html");
  EXPECT_EQ(stops.NameOf(6), "The picture");
  EXPECT_EQ(stops.NameOf(7), "d.html");
  // The toolkit's Tab never lands on the page's fields by itself.
  EXPECT_FALSE(viewer->PaintPanel()->findChildren<QWidget*>().isEmpty());
  for (QWidget* w : viewer->PaintPanel()->findChildren<QWidget*>())
    EXPECT_FALSE(w->focusPolicy() & Qt::TabFocus);
}

TEST_F(ViewerFocusTest, TabWalksTheStopsAndLeavesPastEitherEnd) {
  LoadHtml("<p><a href=\"a.html\">one</a> and <a href=\"b.html\">two</a></p>");
  viewer->setFocus();
  PaintNow();
  EXPECT_EQ(viewer->FocusedStop(), -1);
  EXPECT_TRUE(viewer->FocusNextStop(true));
  EXPECT_EQ(viewer->FocusedStop(), 0);
  EXPECT_TRUE(viewer->FocusNextStop(true));
  EXPECT_EQ(viewer->FocusedStop(), 1);
  EXPECT_FALSE(viewer->FocusNextStop(true));
  EXPECT_EQ(viewer->FocusedStop(), -1);
  // Backwards from none the focus leaves the page at once.
  EXPECT_FALSE(viewer->FocusNextStop(false));
  viewer->FocusStop(1);
  EXPECT_TRUE(viewer->FocusNextStop(false));
  EXPECT_EQ(viewer->FocusedStop(), 0);
  EXPECT_FALSE(viewer->FocusNextStop(false));
  EXPECT_EQ(viewer->FocusedStop(), -1);
}

TEST_F(ViewerFocusTest, EnterFollowsTheFocusedLinkThroughTheClickEvent) {
  LoadHtml("<p>text <a href=\"next.html#part\" target=\"_top\">next</a></p>");
  std::vector<std::string> clicked;
  viewer->OnHotSpotClick = [&](THTMLViewer*, const std::string& src, bool& handled) {
    clicked.push_back(src);
    handled = true;
  };
  viewer->setFocus();
  Key(Qt::Key_Return);  // no link focused: nothing
  EXPECT_TRUE(clicked.empty());
  Key(Qt::Key_Tab);
  EXPECT_EQ(viewer->FocusedStop(), 0);
  Key(Qt::Key_Return);
  EXPECT_EQ(clicked, std::vector<std::string>{"next.html#part"});
  EXPECT_EQ(viewer->HoverTarget(), "_top");
}

TEST_F(ViewerFocusTest, FocusSurvivesALayoutAndIsDroppedWithThePage) {
  LoadHtml("<p>" + Paragraphs(3) + "<a href=\"a.html\">one</a> <a href=\"b.html\">two</a></p>");
  viewer->setFocus();
  viewer->FocusStop(1);
  const unsigned document = viewer->DocumentGeneration();
  viewer->SetDefFontSize(16);
  viewer->resize(300, 300);
  PaintNow();
  EXPECT_EQ(viewer->FocusedStop(), 1);
  EXPECT_EQ(viewer->Stops()[1].Url, "b.html");
  EXPECT_EQ(viewer->DocumentGeneration(), document);
  // A new page (as a hand-off brings) starts before its first link, and
  // painting it never reaches the old page's sections.
  LoadHtml("<p><a href=\"c.html\">three</a></p>");
  EXPECT_EQ(viewer->FocusedStop(), -1);
  EXPECT_NE(viewer->DocumentGeneration(), document);
  Painted();
  EXPECT_EQ(StopUrls(), std::vector<std::string>{"c.html"});
  viewer->ClearDocument();
  EXPECT_EQ(viewer->Stops().Count(), 0);
  EXPECT_FALSE(viewer->FocusNextStop(true));
}

TEST_F(ViewerFocusTest, TheFocusedLinkIsFramedAroundEveryLineInContrastWithThePage) {
  // A link over two lines.
  LoadHtml(
      "<body bgcolor=white><p>Some words before <a href=\"x.html\">a link whose text is "
      "long enough to go on to the next line of the page</a> after.</p></body>");
  viewer->setFocus();
  viewer->FocusStop(0);
  const QImage image = Painted();
  std::vector<TRect> rects;
  viewer->Stops().RectsOf(ScreenCanvas(), 0, rects);
  ASSERT_EQ(rects.size(), 2u);
  const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
  for (const TRect& r : rects) {
    const int y = r.Top - viewer->Document().ScrollY;
    const QRect outer(r.Left - 2, y - 1, r.Width() + 4, r.Height() + 2);
    // At least one whole edge: neighbouring lines share the other one.
    EXPECT_GE(OnOutline(image, outer, black), outer.width()) << "outer line, black on white";
  }
  EXPECT_EQ(viewer->FocusRingColor(), clBlack);
  // On a dark page the outer line is white.
  LoadHtml("<body bgcolor=#102030 text=white><p><a href=\"x.html\">link</a></p></body>");
  viewer->FocusStop(0);
  EXPECT_EQ(viewer->FocusRingColor(), clWhite);
  Painted();
  QRect r = PanelRectOf(0).adjusted(-2, -1, 2, 1);
  EXPECT_GT(OnOutline(Painted(), r, white), r.width());
  // Without the focus the frame is gone.
  viewer->clearFocus();
  EXPECT_EQ(OnOutline(Painted(), r, white), 0);
}

TEST_F(ViewerFocusTest, AFocusedStopIsScrolledIntoView) {
  LoadHtml(Lines(60) + "<a href=\"far.html\">far</a>" + Lines(60) + "<a href=\"top.html\">t</a>");
  viewer->setFocus();
  PaintNow();
  ASSERT_EQ(viewer->Document().ScrollY, 0);
  viewer->FocusStop(0);
  const QRect r = PanelRectOf(0);
  EXPECT_GT(viewer->Document().ScrollY, 0);
  EXPECT_GE(r.top(), 0);
  EXPECT_LE(r.bottom(), viewer->PaintPanel()->height());
  // Backwards too.
  viewer->ScrollToY(viewer->DocHeight());
  viewer->FocusStop(0);
  EXPECT_GE(PanelRectOf(0).top(), 0);
  EXPECT_LE(PanelRectOf(0).bottom(), viewer->PaintPanel()->height());
}

TEST_F(ViewerFocusTest, PageKeysSpaceCtrlAAndCtrlC) {
  LoadHtml(Lines(80));
  viewer->setFocus();
  Key(Qt::Key_Space);
  const int page = viewer->Document().ScrollY;
  EXPECT_EQ(page, viewer->VScrollBar()->LargeChange());
  KeyWith(Qt::Key_Space, Qt::ShiftModifier);
  EXPECT_EQ(viewer->Document().ScrollY, 0);
  KeyWith(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(viewer->Document().SelStart, 0);
  EXPECT_EQ(viewer->Document().SelEnd, viewer->TextLength());
  SetClipboardText("old");
  KeyWith(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ClipboardText(), viewer->SelectedText());
  EXPECT_EQ(ClipboardText().substr(0, 8), "line 0\r\n");
  SetClipboardText("old");
  KeyWith(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(ClipboardText(), viewer->SelectedText());
}

TEST_F(ViewerFocusTest, ManyLinksDeepTablesAndLargeMaps) {
  std::string many;
  for (int i = 0; i < 10000; ++i) many += "<a href=\"p" + std::to_string(i) + ".html\">l</a> ";
  LoadHtml("<p>" + many + "</p>");
  ASSERT_EQ(viewer->Stops().Count(), 10000);
  viewer->setFocus();
  int steps = 0;
  while (viewer->FocusNextStop(true)) ++steps;
  EXPECT_EQ(steps, 10000);
  EXPECT_EQ(viewer->Document().ScrollY, viewer->DocHeight() - viewer->PaintPanel()->height());

  std::string deep = "<a href=\"out.html\">out</a>";
  for (int i = 0; i < 32; ++i) deep = "<table><tr><td>" + deep + "</td></tr></table>";
  LoadHtml(deep);
  EXPECT_EQ(StopUrls(), std::vector<std::string>{"out.html"});
  viewer->FocusStop(0);
  EXPECT_FALSE(viewer->Stops().BoundsOf(ScreenCanvas(), 0).IsEmpty());

  std::string areas;
  for (int i = 0; i < 1000; ++i) {
    areas += "<area shape=rect coords=\"" + std::to_string(i % 100) + ",0," +
             std::to_string(i % 100 + 1) + ",1\" href=\"a" + std::to_string(i) + ".html\">";
  }
  LoadHtml("<img src=\"x.gif\" width=200 height=40 usemap=\"#big\"><map name=\"big\">" + areas +
           "</map>");
  EXPECT_EQ(viewer->Stops().Count(), 1000);
  viewer->FocusStop(999);
  Painted();
  EXPECT_EQ(viewer->Stops().NameOf(999), "a999.html");
}

}  // namespace
}  // namespace kiv
