#include "app/kiv_help_window.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_test_support.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "viewer/html_viewer.h"

namespace kiv {
namespace {

using testing::MakePackage;
using testing::ReadFile;
using testing::TempDir;

std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

std::string Gif() {
  return ReadFile(std::string(KIV_SOURCE_DIR) + "/samples/help/images/logo.gif");
}

class HelpWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetExecutableDirForTesting(dir_.Path());
    std::string tall;
    for (int i = 0; i < 200; ++i) tall += "<p>line " + std::to_string(i) + "</p>";
    package_ = dir_.Write(
        "kivmap.hpm",
        MakePackage({{"contents.html", Page("Contents", "<a href=\"a.html\">a</a>")},
                     {"a.html", Page("Page A", "<img src=\"pics/logo.gif\">")},
                     {"b.html", Page("Page B", "b")},
                     {"topic.html", Page("Topic", tall + "<a name=\"sec2\">sec2</a>" + tall)},
                     {"pics/logo.gif", Gif()}}));
    testing::TakeMessageBoxes();
  }
  void TearDown() override { SetExecutableDirForTesting(""); }

  std::unique_ptr<TKivHelpWindow> Window() { return testing::ShownHelpWindow(package_); }
  std::string Caption(const TKivHelpWindow& w) { return w.windowTitle().toStdString(); }
  IniFile Ini() { return IniFile(dir_.File("kivmap.ini")); }

  TempDir dir_;
  std::string package_;
};

TEST_F(HelpWindowTest, HistoryFollowsShowRequestsLinksAndBackForward) {
  auto w = Window();
  EXPECT_EQ(w->History(), std::vector<std::string>{"contents.html"});
  w->ShowHelpPage("h", "contents.html", true, "");
  EXPECT_EQ(Caption(*w), "Contents");
  EXPECT_EQ(w->History().size(), 1u) << "the contents page adds no entry";
  EXPECT_FALSE(w->BackButton()->isEnabled());

  bool handled = false;
  w->ViewerHotSpotClick(w->Viewer(), "a.html", handled);
  EXPECT_TRUE(handled);
  w->ViewerHotSpotClick(w->Viewer(), "b.html", handled);
  EXPECT_EQ(Caption(*w), "Page B");
  EXPECT_EQ(w->History(), (std::vector<std::string>{"contents.html", "a.html", "b.html"}));
  EXPECT_TRUE(w->BackButton()->isEnabled());
  EXPECT_FALSE(w->ForwardButton()->isEnabled());

  w->ForwardBackClick(w->ForwardButton());  // on the last entry: stays
  EXPECT_EQ(w->HistoryIndex(), 2);
  w->ForwardBackClick(w->BackButton());
  w->ForwardBackClick(w->BackButton());
  w->ForwardBackClick(w->BackButton());  // on the first entry: stays
  EXPECT_EQ(w->HistoryIndex(), 0);
  EXPECT_EQ(Caption(*w), "Contents");
  EXPECT_TRUE(w->ForwardButton()->isEnabled());
  w->ForwardBackClick(w->ForwardButton());
  EXPECT_EQ(Caption(*w), "Page A");

  // A link after Back cuts off the forward entries.
  w->ViewerHotSpotClick(w->Viewer(), "topic.html#sec2", handled);
  EXPECT_EQ(w->History(), (std::vector<std::string>{"contents.html", "a.html", "topic.html#sec2"}));
  EXPECT_GT(w->Viewer()->Document().ScrollY, 0);

  // Contents shows the page and leaves history and buttons alone.
  w->bContentsClick();
  EXPECT_EQ(Caption(*w), "Contents");
  EXPECT_EQ(w->History().size(), 3u);
  EXPECT_EQ(w->HistoryIndex(), 2);
  EXPECT_TRUE(w->BackButton()->isEnabled());

  // Show requests append (not cutting), with the anchor scrolled to.
  w->ForwardBackClick(w->BackButton());
  w->ShowHelpPage("h", "topic.html", true, "#sec2");
  EXPECT_EQ(Caption(*w), "Topic");
  EXPECT_GT(w->Viewer()->Document().ScrollY, 0);
  EXPECT_EQ(w->History().size(), 4u);
  EXPECT_EQ(w->History().back(), "topic.html#sec2");

  // A name the package lacks shows the previous page again, from its top.
  w->ViewerHotSpotClick(w->Viewer(), "../../etc/passwd", handled);
  EXPECT_EQ(Caption(*w), "Topic");
  EXPECT_EQ(w->Viewer()->Document().ScrollY, 0);
}

TEST_F(HelpWindowTest, FontSizeIsBoundedAndWrittenBackKeepingOtherSettings) {
  dir_.Write("kivmap.ini",
             "; the host's settings\r\n[Host]\r\nLanguage=de\r\n[Help]\r\nShow Start=0\r\n"
             "Help Font Size=20\r\n");
  auto w = Window();
  w->ShowHelpPage("h", "contents.html", true, "");
  EXPECT_EQ(w->FontSizeBox()->value(), 16);
  EXPECT_EQ(w->Viewer()->DefFontSize(), 20);

  // Typing changes the viewer's size at once; text that is not a number
  // reads as the smallest size.
  w->FontSizeBox()->setValue(9);
  EXPECT_EQ(w->Viewer()->DefFontSize(), 9);
  EXPECT_EQ(w->SpinValue(), 9);
  w->FontSizeBox()->setValue(16);
  w->FormClose();
  EXPECT_EQ(Ini().ReadInteger("Help", "Help Font Size", 0), 16);
  EXPECT_EQ(Ini().ReadString("Host", "Language", ""), "de");
  EXPECT_EQ(Ini().ReadString("Help", "Show Start", ""), "0");
  EXPECT_NE(ReadFile(dir_.File("kivmap.ini")).find("; the host's settings"), std::string::npos);

  // Hand-edited extremes never reach layout unbounded.
  Ini().WriteInteger("Help", "Help Font Size", 100000);
  w->ShowHelpPage("h", "contents.html", true, "");
  EXPECT_EQ(w->Viewer()->DefFontSize(), LargestHelpFontSize);
  EXPECT_EQ(w->FontSizeBox()->value(), 16);
  Ini().WriteInteger("Help", "Help Font Size", 0);
  w->ShowHelpPage("h", "contents.html", true, "");
  EXPECT_GE(w->Viewer()->DefFontSize(), 1);
  EXPECT_EQ(w->FontSizeBox()->value(), 8);
  dir_.Write("kivmap.ini", std::string("\x00\xff[Help\x01=\xfe", 9));
  w->ShowHelpPage("h", "contents.html", true, "");
  EXPECT_EQ(w->Viewer()->DefFontSize(), 12);
}

TEST_F(HelpWindowTest, StartKindsShowTheBottomBarAndTheCheckBoxWritesItsKey) {
  auto w = Window();
  w->ShowHelpPage("start", "contents.html", true, "");
  EXPECT_TRUE(w->TopBar()->isHidden());
  EXPECT_FALSE(w->BottomBar()->isHidden());
  w->CheckBox()->setChecked(true);
  EXPECT_EQ(Ini().ReadString("Help", "Show Start", "?"), "0");
  w->CheckBox()->setChecked(false);
  EXPECT_EQ(Ini().ReadString("Help", "Show Start", "?"), "1");

  // The next request unchecks the box without writing anything.
  w->CheckBox()->setChecked(true);
  Ini().WriteString("Help", "Show Start", "x");
  w->ShowHelpPage("getstart", "contents.html", true, "");
  EXPECT_FALSE(w->CheckBox()->isChecked());
  EXPECT_EQ(Ini().ReadString("Help", "Show Start", "?"), "x");
  EXPECT_EQ(Ini().ReadString("Help", "Getting Started", "?"), "?");
  w->CheckBox()->setChecked(true);
  EXPECT_EQ(Ini().ReadString("Help", "Getting Started", "?"), "0");

  w->ShowHelpPage("startup", "contents.html", true, "");
  w->CheckBox()->setChecked(true);
  EXPECT_EQ(Ini().ReadString("Help", "Show StartUp", "?"), "0");

  w->ShowHelpPage("h", "contents.html", false, "");
  EXPECT_FALSE(w->TopBar()->isHidden());
  EXPECT_TRUE(w->BottomBar()->isHidden());
  EXPECT_FALSE(w->PrintButton()->isEnabled());
}

TEST_F(HelpWindowTest, ImagesComeFromThePackageExceptForStartUpPages) {
  dir_.Write("STARTUP.HTML", Page("Welcome", "<img src=\"pics/logo.gif\">"));
  auto w = Window();
  w->ShowHelpPage("startup", dir_.File("STARTUP.HTML"), true, "");
  EXPECT_EQ(Caption(*w), "Welcome");
  EXPECT_EQ(w->ImageSource(), "startup");
  EXPECT_EQ(w->ImagesSupplied(), 0);
  w->ShowHelpPage("h", "a.html", true, "");
  EXPECT_EQ(Caption(*w), "Page A");
  EXPECT_EQ(w->ImagesSupplied(), 1);
}

TEST_F(HelpWindowTest, AMissingPackageShowsTheErrorBoxExceptForSilentKinds) {
  std::filesystem::remove(package_);
  auto w = Window();  // the first show asks for the contents
  EXPECT_EQ(testing::TakeMessageBoxes(),
            std::vector<std::string>{"Help file \"Kivmap.hpm\" not found"});
  w->ShowHelpPage("start", "contents.html", true, "");
  w->ShowHelpPage("getstart", "contents.html", true, "");
  EXPECT_TRUE(testing::TakeMessageBoxes().empty());
  EXPECT_EQ(Caption(*w), "Help");
}

TEST_F(HelpWindowTest, ALinkNeverReadsAStartUpFileFromDisk) {
  const std::string outside = dir_.Write("elsewhere/startup.html", Page("Secret", "disk"));
  auto w = Window();
  for (const std::string& link : {outside, std::string("../elsewhere/startup.html"),
                                  std::string("..\\elsewhere\\STARTUP.HTML")}) {
    SCOPED_TRACE(link);
    try {
      w->NavigateTo(link);
    } catch (const std::exception&) {
    }
    EXPECT_EQ(w->Viewer()->Title(), "Contents");
    EXPECT_EQ(w->ImageSource(), "");
  }
  // A show request reads it.
  w->ShowHelpPage("start", outside, true, "");
  EXPECT_EQ(Caption(*w), "Secret");
}

TEST_F(HelpWindowTest, APictureThatCannotBeHadIsLookedUpOncePerLoadAndBoxedOnce) {
  // A JPEG header declaring 16384 x 16384 pixels: the error box of a picture
  // too large, fifty names of it, and one missing picture used fifty times.
  const std::string big("\xFF\xD8\xFF\xC0\x00\x0B\x08\x40\x00\x40\x00\x01\x01\x11\x00"
                        "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x00\x00\x00\xFF\xD9",
                        30);
  std::vector<std::pair<std::string, std::string>> entries;
  std::string body;
  for (int i = 0; i < 50; ++i) {
    const std::string name = std::string("b").append(std::to_string(i)).append(".jpg");
    body += "<img src=\"" + name + "\"><img src=\"gone.gif\">";
    entries.emplace_back(name, big);
  }
  entries.emplace_back("contents.html", Page("Contents", body));
  entries.emplace_back("other.html", Page("Other", body));
  dir_.Write("kivmap.hpm", MakePackage(entries));
  auto w = Window();
  const int lookups = w->ImageLookups();
  EXPECT_LE(lookups, 51);
  const std::vector<std::string> boxes = testing::TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("Bitmap Handle could not be Assigned"), std::string::npos);
  // The next page load asks again, and boxes again once.
  w->NavigateTo("other.html");
  EXPECT_EQ(w->Viewer()->Title(), "Other");
  EXPECT_LE(w->ImageLookups(), 2 * lookups);
  EXPECT_GT(w->ImageLookups(), lookups);
  EXPECT_EQ(testing::TakeMessageBoxes().size(), 1u);
}

}  // namespace
}  // namespace kiv
