// The help window for keyboard and screen-reader users: the toolbar's
// controls are named and take the focus, the window keeps a size that shows
// the whole toolbar, and its place is kept in the settings and given back
// only where a screen shows it.
#include <QAccessible>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/find_bar.h"
#include "app/window_placement.h"
#include "platform/paths.h"
#include "viewer/html_viewer.h"

namespace kiv {
namespace {

using testing::MakePackage;
using testing::TempDir;

class WindowAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetExecutableDirForTesting(dir_.Path());
    package_ = dir_.Write(
        "kivmap.hpm",
        MakePackage({{"contents.html", "<title>Contents</title><a href=\"a.html\">a</a>"},
                     {"a.html", "<title>A</title>a"}}));
    testing::TakeMessageBoxes();
  }
  void TearDown() override { SetExecutableDirForTesting(""); }

  std::unique_ptr<TKivHelpWindow> Window() {
    auto w = std::make_unique<TKivHelpWindow>(std::vector<std::string>{}, package_);
    w->show();
    return w;
  }

  TempDir dir_;
  std::string package_;
};

TEST_F(WindowAccessTest, ControlsAreNamedAndTheButtonsTakeTheFocus) {
  auto w = Window();
  const std::pair<QToolButton*, const char*> buttons[] = {
      {w->ContentsButton(), "Go to the Help Contents Page"},
      {w->BackButton(), "Back to previous page"},
      {w->ForwardButton(), "Forward"},
      {w->PrintButton(), "Print the current page"},
      {w->CopyButton(), "Copy All text to Clipboard"}};
  for (const auto& [button, name] : buttons) {
    EXPECT_EQ(button->accessibleName(), name);
    EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus) << name;
    EXPECT_TRUE(button->autoRaise()) << "stays flat";
  }
  EXPECT_TRUE(w->BackButton()->toolTip().contains("Alt+Left"));
  EXPECT_EQ(w->FontSizeBox()->accessibleName(), "Font Size");
  EXPECT_FALSE(w->SearchBox()->accessibleName().isEmpty());
  QStringList findButtons;
  for (auto* b : w->FindBar()->findChildren<QToolButton*>()) findButtons << b->accessibleName();
  EXPECT_TRUE(findButtons.contains("Previous match") && findButtons.contains("Next match") &&
              findButtons.contains("Close"))
      << findButtons.join(", ").toStdString();

  QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(w.get());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->role(), QAccessible::Window);
  EXPECT_EQ(frame->text(QAccessible::Name), w->windowTitle());
}

TEST_F(WindowAccessTest, TheWindowNeverHidesItsToolbar) {
  auto w = Window();
  w->resize(60, 40);
  EXPECT_GE(w->width(), w->SearchBox()->geometry().right() + 1);
  EXPECT_GE(w->TopBar()->width(), 500);
  EXPECT_GT(w->Viewer()->height(), 0);
}

TEST_F(WindowAccessTest, ThePlaceIsWrittenOnCloseAndReadBack) {
  {
    auto w = Window();
    w->setGeometry(30, 40, 600, 400);
    w->close();
  }
  const auto saved = ReadWindowPlacement(dir_.File("kivmap.ini"), "Help");
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->Geometry, QRect(30, 40, 600, 400));
  EXPECT_FALSE(saved->Maximized);

  WriteWindowPlacement(dir_.File("kivmap.ini"), "Help", {QRect(20, 30, 640, 420), true});
  auto w = Window();
  EXPECT_TRUE(w->isMaximized());
  EXPECT_EQ(w->normalGeometry().size(), QSize(640, 420));
}

TEST(WindowPlacementTest, SettingsThatAreNotWholeNumbersAreNoPlace) {
  TempDir dir;
  const std::string ini = dir.File("kivmap.ini");
  const auto read = [&](const std::string& lines) {
    dir.Write("kivmap.ini", "[Help]\r\n" + lines);
    return ReadWindowPlacement(ini, "Help");
  };
  const std::string size = "Window Width=700\r\nWindow Height=500\r\n";
  EXPECT_TRUE(read("Window Left=-20\r\nWindow Top= 10 \r\n" + size));
  EXPECT_FALSE(read("Window Left=ten\r\nWindow Top=10\r\n" + size));
  EXPECT_FALSE(read("Window Left=12abc\r\nWindow Top=10\r\n" + size));
  EXPECT_FALSE(read("Window Left=0x10\r\nWindow Top=10\r\n" + size));
  EXPECT_FALSE(read("Window Top=10\r\n" + size));
  EXPECT_FALSE(read("Window Left=1\r\nWindow Top=1\r\nWindow Width=0\r\nWindow Height=5\r\n"));
  EXPECT_FALSE(read("Window Left=99999999999\r\nWindow Top=1\r\n" + size));
  EXPECT_FALSE(read(""));
}

TEST(WindowPlacementTest, APlaceIsMovedOntoTheScreenItOverlapsMost) {
  const std::vector<QRect> screens = {QRect(0, 0, 1024, 768), QRect(1024, 0, 800, 600)};
  const QSize minimum(506, 100);
  EXPECT_EQ(FitOnScreens(QRect(100, 80, 700, 500), minimum, screens), QRect(100, 80, 700, 500));
  // Partly off: pulled in.
  EXPECT_EQ(FitOnScreens(QRect(900, -50, 600, 400), minimum, screens), QRect(1024, 0, 600, 400));
  EXPECT_EQ(FitOnScreens(QRect(-300, 700, 600, 400), minimum, screens), QRect(0, 368, 600, 400));
  // Too small: the least that shows the toolbar.
  EXPECT_EQ(FitOnScreens(QRect(10, 10, 60, 40), minimum, screens), QRect(10, 10, 506, 100));
  // Off every screen, or larger than the screen it is on: no place.
  EXPECT_FALSE(FitOnScreens(QRect(5000, 5000, 700, 500), minimum, screens));
  EXPECT_FALSE(FitOnScreens(QRect(10, 10, 99999, 500), minimum, screens));
  EXPECT_FALSE(FitOnScreens(QRect(1100, 10, 900, 500), minimum, screens));
  EXPECT_FALSE(FitOnScreens(QRect(10, 10, 700, 500), minimum, {}));
}

}  // namespace
}  // namespace kiv
