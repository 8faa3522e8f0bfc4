// The map of moved anchors, and the help window opening the part that holds
// an anchor a host or a link names in the page it was written in.
#include "app/anchor_map.h"

#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_test_support.h"
#include "app/help_package.h"
#include "platform/paths.h"
#include "viewer/html_viewer.h"

namespace kiv {
namespace {

using testing::MakePackage;
using testing::TempDir;

TEST(AnchorMap, ReadsWhatItWritesComparingNamesIgnoringCase) {
  TAnchorMap map;
  map.Add("guide.html", "Setup", "guide-2.html");
  map.Add("sub/ref.html", "#a,b", "sub/ref-3.html");    // a comma inside the anchor
  map.Add("guide.html", "two\nlines", "guide-2.html");  // cannot be written: left out
  map.Add("guide.html", "setup", "guide-9.html");       // the first of a name stays
  const TAnchorMap back = TAnchorMap::Parse(map.Text());
  EXPECT_EQ(back.Size(), 2u);
  ASSERT_NE(back.PartHolding("GUIDE.HTML", "#SETUP"), nullptr);
  EXPECT_EQ(*back.PartHolding("GUIDE.HTML", "#SETUP"), "guide-2.html");
  ASSERT_NE(back.PartHolding("sub/ref.html", "a,b"), nullptr);
  EXPECT_EQ(*back.PartHolding("sub/ref.html", "a,b"), "sub/ref-3.html");
  EXPECT_EQ(back.PartHolding("guide.html", "other"), nullptr);
  EXPECT_EQ(back.PartHolding("guide-2.html", "setup"), nullptr);

  // Damaged lines are passed over, the good ones kept.
  const TAnchorMap damaged =
      TAnchorMap::Parse("no hash,x\r\n#,\r\n,\r\npage.html#a,part.html\n\xff\xfe\r\nbroken#");
  EXPECT_EQ(damaged.Size(), 1u);
  EXPECT_NE(damaged.PartHolding("page.html", "a"), nullptr);
}

std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

class AnchorMapWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetExecutableDirForTesting(dir_.Path());
    std::string tall;
    for (int i = 0; i < 200; ++i) tall += "<p>line " + std::to_string(i) + "</p>";
    TAnchorMap map;
    map.Add("guide.html", "setup", "guide-2.html");
    package_ = dir_.Write(
        "kivmap.hpm",
        MakePackage({{"contents.html", Page("Contents", "c")},
                     {"guide-2.html", Page("Guide (2/2)", tall + "<a name=\"setup\">s</a>" + tall)},
                     {"guide.html", Page("Guide (1/2)", "<a name=\"intro\">i</a>")},
                     {std::string(AnchorMapEntryName), map.Text()}}));
    testing::TakeMessageBoxes();
  }
  void TearDown() override { SetExecutableDirForTesting(""); }
  std::string Caption(const TKivHelpWindow& w) { return w.windowTitle().toStdString(); }

  TempDir dir_;
  std::string package_;
};

TEST_F(AnchorMapWindowTest, ShowRequestsAndLinksOpenThePartHoldingTheAnchor) {
  auto w = testing::ShownHelpWindow(package_);
  w->ShowHelpPage("h", "guide.html", true, "#setup");
  EXPECT_EQ(Caption(*w), "Guide (2/2)");
  EXPECT_GT(w->Viewer()->Document().ScrollY, 0) << "scrolled to the anchor in the part";
  EXPECT_EQ(w->History().back(), "guide.html#setup") << "the host's name is kept";

  w->ShowHelpPage("h", "guide.html", true, "#intro");  // did not move
  EXPECT_EQ(Caption(*w), "Guide (1/2)");
  w->ShowHelpPage("h", "C:\\help\\Guide.HTML", true, "SETUP");  // a path, another case, no "#"
  EXPECT_EQ(Caption(*w), "Guide (2/2)");

  bool handled = false;
  w->ViewerHotSpotClick(w->Viewer(), "contents.html", handled);
  w->ViewerHotSpotClick(w->Viewer(), "guide.html#setup", handled);
  EXPECT_EQ(Caption(*w), "Guide (2/2)");
  EXPECT_GT(w->Viewer()->Document().ScrollY, 0);
  // Back and forward go through the same lookup.
  w->ForwardBackClick(w->BackButton());
  EXPECT_EQ(Caption(*w), "Contents");
  w->ForwardBackClick(w->ForwardButton());
  EXPECT_EQ(Caption(*w), "Guide (2/2)");
  w->ViewerHotSpotClick(w->Viewer(), "guide.html", handled);
  EXPECT_EQ(Caption(*w), "Guide (1/2)") << "without an anchor the page itself";
}

TEST_F(AnchorMapWindowTest, TheMapIsReadAgainWhenThePackageChanges) {
  THelpPackage package(package_);
  EXPECT_EQ(package.PageHoldingAnchor("guide.html", "#setup"), "guide-2.html");
  EXPECT_EQ(package.PageHoldingAnchor("guide.html", ""), "guide.html");
  EXPECT_EQ(package.PageHoldingAnchor("STARTUP.HTML", "#setup"), "STARTUP.HTML");

  // A package packed again without the map (one size longer, so the change
  // shows even within the file time's resolution).
  dir_.Write("kivmap.hpm", MakePackage({{"guide.html", Page("Guide", "<a name=setup>")},
                                        {"other.html", "<p>padding</p>"}}));
  EXPECT_EQ(package.PageHoldingAnchor("guide.html", "#setup"), "guide.html");

  // A map whose range runs far past the end of the file is not read.
  TAnchorMap map;
  map.Add("guide.html", "setup", "guide-2.html");
  std::string bad =
      MakePackage({{"guide.html", "g"}, {std::string(AnchorMapEntryName), map.Text()}});
  bad.replace(bad.find("******,") + 7,
              bad.find("\r\n", bad.find("******,")) - bad.find("******,") - 7, "2000000000");
  dir_.Write("kivmap.hpm", bad);
  EXPECT_EQ(package.PageHoldingAnchor("guide.html", "#setup"), "guide.html");
  std::filesystem::remove(package_);
  EXPECT_EQ(package.PageHoldingAnchor("guide.html", "#setup"), "guide.html");
}

}  // namespace
}  // namespace kiv
