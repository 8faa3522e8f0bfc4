// The viewer control driven as a user drives it: loads, anchors, history,
// scrolling, resizing and keys, with synthetic events on the offscreen
// platform. Layout uses the fixed metrics (8 pixels a character, 20 a line).
#include <gtest/gtest.h>

#include <string>

#include "platform/file_error.h"
#include "viewer/scroll_bar_32.h"
#include "viewer/viewer_test_support.h"

namespace kiv {
namespace {

TEST_F(ViewerTest, AnchorsAreFoundInAnyCaseWithOrWithoutHash) {
  LoadHtml(Lines(40) + "<p><a name=\"Intro\">Here</a> it starts</p>" + Lines(40));
  const int before = viewer->Document().ScrollY;
  EXPECT_EQ(before, 0);
  ASSERT_TRUE(viewer->ScrollToAnchor("#Intro"));
  const int y = viewer->Document().ScrollY;
  EXPECT_GT(y, 40 * 20 - 100);  // the anchor's section, after forty lines
  viewer->ScrollToY(0);
  ASSERT_TRUE(viewer->ScrollToAnchor("intro"));
  EXPECT_EQ(viewer->Document().ScrollY, y);
  EXPECT_EQ(viewer->VScrollBar()->Position(), y);

  viewer->ScrollToY(100);
  EXPECT_FALSE(viewer->ScrollToAnchor("#Outro"));
  EXPECT_FALSE(viewer->ScrollToAnchor(""));
  EXPECT_FALSE(viewer->ScrollToAnchor(std::string(10000, 'I')));
  EXPECT_EQ(viewer->Document().ScrollY, 100);
}

TEST_F(ViewerTest, ElementIdsAreAnchorsAsANameIs) {
  LoadHtml("<div id=\"top\">" + Lines(30) + "</div><div class=sect id=\"DDL-FK\"><div>" +
           "<h3 class=title>Foreign Keys</h3></div><p>text</p></div>" + Lines(30) +
           "<h2 id=\"_name\">NAME</h2>" + Lines(30) + "<p>in <span id=inline>a</span> line" +
           "<a id=target name=named>x</a></p>" + Lines(30) + "<section id=late></section>");
  auto yOf = [&](const std::string& anchor) {
    viewer->ScrollToY(0);
    EXPECT_TRUE(viewer->ScrollToAnchor(anchor)) << anchor;
    return viewer->Document().ScrollY;
  };
  const int fk = yOf("#ddl-fk");
  EXPECT_GT(fk, 30 * 20 - 100);  // after thirty lines, at the heading
  const int name = yOf("_NAME");
  EXPECT_GT(name, fk + 30 * 20 - 100);
  const int inline_ = yOf("inline");
  EXPECT_GT(inline_, name + 30 * 20 - 100);
  // An A with both: each names the place.
  EXPECT_EQ(yOf("target"), inline_);
  EXPECT_EQ(yOf("named"), inline_);
  EXPECT_EQ(yOf("top"), 0);
  // An ID after the last text still names the page's end.
  EXPECT_GE(yOf("late"), inline_);
}

TEST_F(ViewerTest, HistoryKeepsMaxCountEntriesNewestFirst) {
  int changes = 0;
  viewer->OnHistoryChange = [&](THTMLViewer*) { ++changes; };
  viewer->SetHistoryMaxCount(10);
  std::vector<std::string> files;
  for (int i = 0; i < 11; ++i) {
    files.push_back(dir.Write("page" + std::to_string(i) + ".html",
                              "<title>P" + std::to_string(i) + "</title><p>x"));
    viewer->LoadHtmlFile(files.back());
  }
  EXPECT_EQ(changes, 11);
  ASSERT_EQ(viewer->HistoryFiles().size(), 10u);
  ASSERT_EQ(viewer->HistoryTitles().size(), 10u);
  EXPECT_EQ(viewer->HistoryPositions().Count(), 10);
  EXPECT_EQ(viewer->HistoryFiles()[0], files[10]);
  EXPECT_EQ(viewer->HistoryTitles()[0], "P10");
  EXPECT_EQ(viewer->HistoryFiles()[9], files[1]);
  EXPECT_EQ(viewer->HistoryIndex(), 0);

  // Reloading the file shown adds nothing.
  viewer->LoadHtmlFile(files[10]);
  EXPECT_EQ(changes, 11);

  viewer->SetHistoryMaxCount(-1);  // ignored
  EXPECT_EQ(viewer->HistoryMaxCount(), 10);
  viewer->SetHistoryMaxCount(100000);
  EXPECT_EQ(viewer->HistoryFiles().size(), 10u);
  viewer->SetHistoryMaxCount(3);  // lowering clears
  EXPECT_TRUE(viewer->HistoryFiles().empty());
  EXPECT_EQ(changes, 12);
}

TEST_F(ViewerTest, BadLoadsKeepTheDocumentOrReportClearly) {
  LoadHtml("<title>Kept</title><p>Some text");
  const int sections = viewer->Document().Count();
  for (const std::string& name : {dir.File("missing.html"), dir.Path()}) {
    try {
      viewer->LoadHtmlFile(name);
      ADD_FAILURE() << "no error for " << name;
    } catch (const EInOutError& e) {
      EXPECT_EQ(std::string(e.what()), "Can't locate file: " + name);
    }
    EXPECT_EQ(viewer->Title(), "Kept");
    EXPECT_EQ(viewer->Document().Count(), sections);
    EXPECT_FALSE(viewer->Processing());
  }
  // Empty sources give an empty document that paints.
  const std::string empty = dir.Write("empty.html", "");
  viewer->LoadHtmlFile(empty);
  EXPECT_EQ(viewer->Title(), "");
  EXPECT_EQ(viewer->CurrentFile(), empty);
  viewer->LoadDocumentBuffer(nullptr, 10);
  EXPECT_EQ(viewer->DocHeight(), 0);
  PaintNow();
  // A picture that does not decode shows the broken-image picture alone.
  viewer->LoadImageFile(dir.Write("bad.gif", "GIF89a garbage"));
  EXPECT_EQ(viewer->CurrentFileType(), ImgType);
  EXPECT_GT(viewer->DocHeight(), 0);
  PaintNow();
}

TEST_F(ViewerTest, ALoadWhileAnotherRunsReturnsAtOnce) {
  std::vector<bool> states;
  viewer->OnProcessing = [&](THTMLViewer* v, bool on) {
    states.push_back(on);
    if (on) {
      v->LoadDocumentBuffer("<title>Second</title>", 21);
      v->SetDefBackground(clRed);  // ignored while processing
    }
  };
  LoadHtml("<title>First</title><p>text");
  EXPECT_EQ(viewer->Title(), "First");
  EXPECT_EQ(states, (std::vector<bool>{true, false}));
  EXPECT_NE(viewer->DefBackground(), clRed);
}

TEST_F(ViewerTest, PropertySettersClamp) {
  viewer->SetDefFontSize(3);
  EXPECT_EQ(viewer->DefFontSize(), 6);
  EXPECT_EQ(viewer->Document().BaseFontSize, 6);
  viewer->SetImageCacheCount(50);
  EXPECT_EQ(viewer->ImageCacheCount(), 20);
  viewer->SetImageCacheCount(-1);
  EXPECT_EQ(viewer->ImageCacheCount(), 0);
  EXPECT_EQ(viewer->Document().ImageCache->MaxAge, 0);
}

TEST_F(ViewerTest, HeightResizeKeepsLayoutWidthResizeKeepsTopSection) {
  LoadHtml(Paragraphs(60));
  int layouts = 0;
  viewer->OnProcessing = [&](THTMLViewer*, bool on) { layouts += on; };
  const int index = 20;
  viewer->ScrollToY(viewer->Document().TopOfSection(index) + 7);
  viewer->resize(viewer->width(), viewer->height() + 50);
  EXPECT_EQ(layouts, 0);
  viewer->resize(viewer->width() - 150, viewer->height());
  EXPECT_EQ(layouts, 1);
  EXPECT_EQ(viewer->Document().ScrollY, viewer->Document().TopOfSection(index) + 7);
  EXPECT_EQ(static_cast<std::uint32_t>(viewer->SavePosition()) >> 16, static_cast<unsigned>(index));
}

TEST_F(ViewerTest, ThumbReachesTheEndOfADocumentTallerThan16Bits) {
  LoadHtml("<pre>" + PreLines(6000) + "</pre>");
  ASSERT_GT(viewer->DocHeight(), 70000);
  int layouts = 0;
  viewer->OnProcessing = [&](THTMLViewer*, bool on) { layouts += on; };
  T32ScrollBar* bar = viewer->VScrollBar();
  ASSERT_TRUE(bar->isVisible());
  for (int y = 0; y <= bar->maximum(); y += 9999) bar->setSliderPosition(y);
  bar->setSliderPosition(bar->maximum());
  const int end = viewer->DocHeight() - viewer->PaintPanel()->height();
  EXPECT_EQ(viewer->Document().ScrollY, end);
  EXPECT_EQ(bar->Position(), end);
  EXPECT_EQ(layouts, 0);
}

TEST_F(ViewerTest, KeysScrollAndClamp) {
  LoadHtml(Paragraphs(60));
  const int end = viewer->DocHeight() - viewer->PaintPanel()->height();
  Key(Qt::Key_Down);
  EXPECT_EQ(viewer->Document().ScrollY, 16);
  Key(Qt::Key_Up);
  Key(Qt::Key_Up);
  EXPECT_EQ(viewer->Document().ScrollY, 0);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(viewer->Document().ScrollY, viewer->PaintPanel()->height() - 16);
  Key(Qt::Key_End);
  EXPECT_EQ(viewer->Document().ScrollY, end);
  Key(Qt::Key_Home);
  EXPECT_EQ(viewer->Document().ScrollY, 0);
}

// A one-line scroll moves the pixels and paints the uncovered strip: what
// the screen then shows equals a full repaint at the new position.
TEST_F(ViewerTest, OneLineScrollShowsWhatAFullPaintShows) {
  LoadHtml(Paragraphs(60));
  PaintNow();
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  PaintNow();
  ASSERT_EQ(viewer->Document().ScrollY, 16);
  const QImage scrolled = ScreenShot();
  viewer->PaintPanel()->update();
  PaintNow();
  const QImage full = ScreenShot();
  ASSERT_FALSE(full.isNull());
  EXPECT_TRUE(scrolled == full);
}

TEST_F(ViewerTest, TenMillionPixelDocumentScrollsAndPaints) {
  viewer->SetDefFontSize(200);  // lines of 266 pixels
  std::string page = "<pre>";
  for (int i = 0; i < 38000; ++i) page += "x\n";
  LoadHtml(page + "</pre>");
  ASSERT_GE(viewer->DocHeight(), 10000000);
  Key(Qt::Key_End);
  const int end = viewer->DocHeight() - viewer->PaintPanel()->height();
  EXPECT_EQ(viewer->Document().ScrollY, end);
  const std::int32_t saved = viewer->SavePosition();
  viewer->ScrollToY(0);
  viewer->RestorePosition(saved);
  EXPECT_EQ(viewer->Document().ScrollY, end);
  PaintNow();
}

TEST_F(ViewerTest, FormSubmissionIsDeliveredAfterTheCurrentEvent) {
  std::vector<std::string> seen;
  viewer->OnFormSubmit = [&](THTMLViewer*, const std::string& action, const std::string& method,
                             const std::vector<std::string>& results) {
    seen.push_back(action + " " + method + " " + (results.empty() ? "" : results[0]));
  };
  ASSERT_TRUE(viewer->Document().FormSubmitHandler);
  viewer->Document().FormSubmitHandler(viewer.get(), "a1", {"x=1"}, "GET");
  viewer->Document().FormSubmitHandler(viewer.get(), "a2", {"y=2"}, "POST");
  EXPECT_TRUE(seen.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(seen, (std::vector<std::string>{"a1 GET x=1", "a2 POST y=2"}));
  viewer->OnFormSubmit = nullptr;
  EXPECT_FALSE(viewer->Document().FormSubmitHandler);
}

}  // namespace
}  // namespace kiv
