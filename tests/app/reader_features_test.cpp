// The help window's reader features: find bar, zoom, the page's context
// menu, print preview and the search over the whole help.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/find_bar.h"
#include "app/kiv_help_window.h"
#include "app/print_preview_window.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/print_test_support.h"
#include "viewer/vw_printer.h"

namespace kiv {
namespace {

using testing::MakePackage;
using testing::TempDir;

std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

class ReaderFeaturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetExecutableDirForTesting(dir_.Path());
    std::string tall;
    for (int i = 0; i < 120; ++i) tall += "<p>line " + std::to_string(i) + " of the topic</p>";
    package_ = dir_.Write(
        "kivmap.hpm",
        MakePackage(
            {{"contents.html", Page("Contents",
                                    "<p>Start with <a href=\"topic.html\">the topic</a>.</p>"
                                    "<p>Contents mention the word zebra once.</p>")},
             {"topic.html", Page("Topic", tall + "<p>Is the zebra here?</p>" + tall +
                                              "<table><tr><td>a zebra cell</td></tr>"
                                              "</table>")},
             {"other.html", Page("Other", "<p>Nothing striped.</p>")}}));
    testing::TakeMessageBoxes();
  }
  void TearDown() override { SetExecutableDirForTesting(""); }

  std::unique_ptr<TKivHelpWindow> Window() { return testing::ShownHelpWindow(package_); }
  static void Type(QWidget* target, const QString& text) {
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QCoreApplication::sendEvent(target, &press);
    }
  }
  static void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
  }

  TempDir dir_;
  std::string package_;
};

TEST_F(ReaderFeaturesTest, FindBarCountsSelectsAndRecountsOnANewPage) {
  auto w = Window();
  w->ShowHelpPage("h", "topic.html", true, "");
  TFindBar* bar = w->FindBar();
  EXPECT_TRUE(bar->isHidden());
  bar->Open();
  EXPECT_FALSE(bar->isHidden());
  Type(bar->Edit(), "ZEBRA");
  EXPECT_EQ(bar->CountText(), "1 of 2");
  EXPECT_EQ(w->Viewer()->SelectedText(), "zebra");
  EXPECT_GT(w->Viewer()->Document().ScrollY, 0) << "the match is scrolled into view";
  // Match case finds none of them.
  bar->MatchCaseBox()->setChecked(true);
  EXPECT_EQ(bar->CountText(), "No matches");
  bar->MatchCaseBox()->setChecked(false);

  // Another page: counted again there.
  bool handled = false;
  w->ViewerHotSpotClick(w->Viewer(), "contents.html", handled);
  EXPECT_EQ(bar->CountText(), "1 match");

  // Text that no page can hold, and an emptied box.
  bar->Edit()->clear();
  Type(bar->Edit(), QString(QChar(0x4E2D)));
  EXPECT_EQ(bar->CountText(), "No matches");
  bar->Edit()->selectAll();
  Key(bar->Edit(), Qt::Key_Backspace);
  EXPECT_EQ(bar->Edit()->text(), "");
  EXPECT_EQ(bar->CountText(), "");

  // A pasted text longer than any search compares is cut in the box.
  QGuiApplication::clipboard()->setText(QString(10000, 'z'));
  bar->Edit()->selectAll();
  Key(bar->Edit(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(bar->Edit()->text().size(), MaxFindTextLength);
  EXPECT_EQ(bar->CountText(), "No matches");
}

TEST_F(ReaderFeaturesTest, ContextMenuOffersWhatThePointAndTheSelectionAllow) {
  auto w = Window();
  QWidget* panel = w->Viewer()->PaintPanel();
  // Hit tests read where the page was painted.
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  auto items = [&] {
    std::vector<std::string> texts;
    for (QAction* a : w->PageMenu()->actions())
      if (!a->isSeparator())
        texts.push_back(a->text().remove('&').toStdString() + (a->isEnabled() ? "" : " (off)"));
    return texts;
  };
  // From the keyboard: no link, nothing selected, no history yet.
  QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5),
                        panel->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(panel, &key);
  ASSERT_NE(w->PageMenu(), nullptr);
  EXPECT_EQ(items(), (std::vector<std::string>{"Copy (off)", "Select All", "Back (off)",
                                               "Forward (off)", "Print..."}));
  // Select All from the menu.
  for (QAction* a : w->PageMenu()->actions())
    if (a->text() == "Select &All") a->trigger();
  EXPECT_NE(w->Viewer()->SelectedText().find("Start with"), std::string::npos);
  w->PageMenu()->close();
  QCoreApplication::processEvents();
  EXPECT_EQ(w->PageMenu(), nullptr);

  // Over the link: its location can be copied.
  QPoint link(-1, -1);
  for (int y = 0; y < panel->height() && link.x() < 0; y += 2)
    for (int x = 0; x < panel->width() && link.x() < 0; x += 3)
      if (w->LinkAtViewerPoint(panel->mapTo(w->Viewer(), QPoint(x, y))) == "topic.html")
        link = QPoint(x, y);
  ASSERT_GE(link.x(), 0);
  QContextMenuEvent mouse(QContextMenuEvent::Mouse, link, panel->mapToGlobal(link));
  QCoreApplication::sendEvent(panel, &mouse);
  ASSERT_NE(w->PageMenu(), nullptr);
  const auto texts = items();
  EXPECT_EQ(texts.front(), "Copy");
  ASSERT_NE(std::find(texts.begin(), texts.end(), "Copy Link Location"), texts.end());
  for (QAction* a : w->PageMenu()->actions())
    if (a->text() == "Copy &Link Location") a->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "topic.html");
  w->PageMenu()->close();
}

TEST_F(ReaderFeaturesTest, PreviewShowsThePagesThePrintoutHas) {
  auto w = Window();
  w->ShowHelpPage("h", "topic.html", true, "");
  const std::string pdf = dir_.File("printed.pdf");
  const TPrinterSelection saved = SelectedPrinter();
  SelectedPrinter().OutputFileName = QString::fromStdString(pdf);
  w->Viewer()->PrintRange(1, 9999);
  const int printed = testing::PrintedPageCount(pdf);
  ASSERT_GT(printed, 1);

  w->ShowPrintPreview();
  TPrintPreviewWindow* preview = w->PrintPreview();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->Error().isEmpty()) << preview->Error().toStdString();
  EXPECT_EQ(preview->PageCount(), printed);
  EXPECT_EQ(preview->CurrentPage(), 1);
  preview->GoToPage(printed + 5);
  EXPECT_EQ(preview->CurrentPage(), printed);
  preview->GoToPage(-1);
  EXPECT_EQ(preview->CurrentPage(), 1);
  EXPECT_EQ(SelectedPrinter().Device, nullptr) << "the preview's printer is not kept";

  // An open preview follows the page shown, so its Print prints what it
  // shows.
  w->ShowHelpPage("h", "other.html", true, "");
  EXPECT_EQ(preview->PageCount(), 1);
  // Closing the help window closes the preview: no window is left to keep
  // the program running.
  w->close();
  EXPECT_FALSE(preview->isVisible());
  SelectedPrinter() = saved;
}

TEST_F(ReaderFeaturesTest, SearchResultsTakeAPlaceInHistoryAndAResultOpensAtItsHit) {
  auto w = Window();
  w->SearchHelp("zebra");
  ASSERT_EQ(w->History().size(), 2u);
  EXPECT_EQ(w->History().back(), "search:zebra");
  EXPECT_TRUE(w->BackButton()->isEnabled());
  const int resultsLength = w->Viewer()->TextLength();
  EXPECT_GE(w->Viewer()->FindText(0, "Topic", true), 0);

  bool handled = false;
  w->ViewerHotSpotClick(w->Viewer(), "topic.html", handled);
  EXPECT_EQ(w->windowTitle(), "Topic");
  EXPECT_EQ(w->Viewer()->SelectedText(), "zebra");
  EXPECT_GT(w->Viewer()->Document().ScrollY, 0);

  // Back returns to the results.
  w->ForwardBackClick(w->BackButton());
  EXPECT_EQ(w->Viewer()->TextLength(), resultsLength);
  w->ForwardBackClick(w->BackButton());
  EXPECT_EQ(w->windowTitle(), "Contents");

  // A character no page can hold finds nothing, even where its stand-in
  // '?' would match.
  w->SearchHelp("zebra ?");
  ASSERT_GE(w->Viewer()->FindText(0, "Topic", true), 0) << "'?' alone matches the topic";
  // Enter on the results page shows the new query's results in its place
  // (it opens no result of the query shown before).
  const int before = static_cast<int>(w->History().size());
  w->SearchBox()->setText(QString("zebra ") + QChar(0x4E2D));
  w->SearchHelp();
  ASSERT_EQ(static_cast<int>(w->History().size()), before);
  EXPECT_EQ(w->History().back(), "search:zebra \xE4\xB8\xAD");
  EXPECT_TRUE(w->SearchResults().results.empty());
  EXPECT_GE(w->Viewer()->FindText(0, "No page matches", true), 0);
  EXPECT_LT(w->Viewer()->FindText(0, "Topic", true), 0);
  // Enter in the box opens the first result at its hit, the results page
  // before it in history; the find bar counts the hits.
  w->SearchBox()->setText("zebra");
  w->SearchHelp();
  ASSERT_FALSE(w->SearchResults().results.empty());
  EXPECT_EQ(w->windowTitle().toStdString(), w->SearchResults().results[0].title);
  ASSERT_GE(w->History().size(), 2u);
  EXPECT_EQ(w->History()[w->History().size() - 2], "search:zebra");
  EXPECT_EQ(w->Viewer()->SelectedText(), "zebra");
  EXPECT_FALSE(w->FindBar()->isHidden());
  int onPage = 0;
  for (int at = w->Viewer()->FindText(0, "zebra", false); at >= 0;
       at = w->Viewer()->FindText(at + 5, "zebra", false))
    ++onPage;
  EXPECT_EQ(w->FindBar()->CountText().toStdString(), "1 of " + std::to_string(onPage));

  // Odd queries still give a page and never fail.
  for (const std::string& q : {std::string(10000, 'q'), std::string("     "), std::string("<B>")}) {
    w->SearchHelp(q);
    EXPECT_EQ(w->History().back(), "search:" + q);
    EXPECT_GT(w->Viewer()->TextLength(), 0) << q.substr(0, 10);
  }
}


TEST(SearchWindowCodePagesTest, ACyrillicQueryOpensAWindows1251PageAtItsHitWithItsHitsCounted) {
  TempDir dir;
  SetExecutableDirForTesting(dir.Path());
  std::string tall;
  for (int i = 0; i < 80; ++i) tall += "<p>line " + std::to_string(i) + "</p>";
  const auto cyrillic = [](const std::string& utf8) {
    return Utf8ToCodePage(CodePage::Windows1251, utf8);
  };
  const std::string package = dir.Write(
      "kivmap.hpm",
      MakePackage({{"contents.html", Page("Contents", "<p>Start here.</p>")},
                   {"ru.html", "<html><head><meta http-equiv=\"Content-Type\" "
                               "content=\"text/html; charset=windows-1251\"><title>" +
                                   cyrillic("Справка") + "</title></head><body>" + tall +
                                   "<div id=\"lang\"><h2>" + cyrillic("Язык") + "</h2><p>" +
                                   cyrillic("ЯЗЫК и язык") + "</p></div>" + tall +
                                   "</body></html>"}}));
  testing::TakeMessageBoxes();
  {
    auto w = testing::ShownHelpWindow(package);
    // The results page first (it waits for the index), then Enter in the
    // box opens the first result.
    w->SearchHelp(std::string("язык"));
    EXPECT_EQ(w->Viewer()->TextCodePage(), CodePage::Windows1251);
    w->SearchBox()->setText(QString::fromUtf8("ЯЗЫК"));
    w->SearchHelp();
    ASSERT_EQ(w->SearchResults().results.size(), 1u);
    EXPECT_EQ(w->SearchResults().results[0].Link(), "ru.html#lang");
    // The page shows in its code page, at the section, the hit selected,
    // every hit counted by the find bar.
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Справка"));
    EXPECT_EQ(w->Viewer()->TextCodePage(), CodePage::Windows1251);
    EXPECT_GT(w->Viewer()->Document().ScrollY, 0);
    EXPECT_EQ(w->Viewer()->SelectedText(), cyrillic("ЯЗЫК"));
    EXPECT_EQ(w->FindBar()->CountText().toStdString(), "2 of 3");
    EXPECT_EQ(w->FindBar()->Edit()->text(), QString::fromUtf8("язык"));
    // Back on the results page: written in Windows-1251, the title and
    // its excerpt readable.
    w->ForwardBackClick(w->BackButton());
    EXPECT_EQ(w->Viewer()->TextCodePage(), CodePage::Windows1251);
    EXPECT_GE(w->Viewer()->FindText(0, "1. " + cyrillic("Справка"), true), 0);
    EXPECT_GE(w->Viewer()->FindText(0, cyrillic("ЯЗЫК и язык"), true), 0);
  }
  SetExecutableDirForTesting("");
}

}  // namespace
}  // namespace kiv
