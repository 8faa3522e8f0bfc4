// The page as assistive technology reads it: the reading text equals what
// Copy takes, its offsets map onto the viewer's characters both ways (caret,
// selection, points), the links are children with their names, targets,
// places and a press action, and the children die with the page.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>

#include <string>

#include "viewer/accessible_document.h"
#include "viewer/accessible_link.h"
#include "viewer/page_reading_text.h"
#include "viewer/viewer_test_support.h"

namespace kiv {
namespace {

const char kPage[] =
    "<title>The title</title><h1>Heading</h1>"
    "<p>Text with <a href=\"one.html\">a link</a> and <img src=\"x.gif\" width=10 height=10> "
    "a picture.</p><ul><li>item <a href=\"two.html\" title=t>two</a></ul>"
    "<table border=1><tr><td>cell</td><td><a href=\"#three\"><img alt=\"Third\" src=\"y.gif\" "
    "width=8 height=8></a></td></tr></table>";

class AccessibleDocumentTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    LoadHtml(kPage);
    PaintNow();
  }
  TAccessibleDocument& Document() {
    auto* document =
        dynamic_cast<TAccessibleDocument*>(QAccessible::queryAccessibleInterface(viewer.get()));
    EXPECT_NE(document, nullptr);
    return *document;
  }
  std::string WholeText() {
    viewer->SelectAllText();
    const std::string text = viewer->SelectedText();
    viewer->CollapseSelection();
    return text;
  }
};

TEST_F(AccessibleDocumentTest, NothingIsMadeUntilAnAssistiveTechnologyAsks) {
  ASSERT_FALSE(QAccessible::isActive());
  viewer->setFocus();
  viewer->FocusNextStop(true);
  viewer->SelectAllText();
  LoadHtml("<p><a href=\"x.html\">x</a></p>");
  // The toolkit may make the document, but nothing of the page is read.
  EXPECT_TRUE(!viewer->AccessibleDocument() || !viewer->AccessibleDocument()->Collected());
}

TEST_F(AccessibleDocumentTest, TheDocumentIsNamedByTheTitleAndReadsTheCopiedText) {
  TAccessibleDocument& document = Document();
  EXPECT_EQ(document.role(), QAccessible::Document);
  EXPECT_EQ(document.text(QAccessible::Name), "The title");
  const QString text = document.text(0, -1);
  EXPECT_EQ(text.toStdString(), WholeText());
  EXPECT_EQ(document.characterCount(), text.size());
  EXPECT_TRUE(text.startsWith("Heading\r\n"));
  EXPECT_FALSE(text.contains(QChar(4)));
  EXPECT_TRUE(document.state().readOnly && document.state().multiLine);
  // Words and lines at an offset come from the same text.
  int start = 0, end = 0;
  const int at = static_cast<int>(text.indexOf("link"));
  EXPECT_EQ(document.textAtOffset(at + 1, QAccessible::WordBoundary, &start, &end), "link");
}

TEST_F(AccessibleDocumentTest, APageInAnotherCodePageReadsInItsOwnScript) {
  // "\xCF\xF0\xE8\xE2\xE5\xF2" is "Привет" in Windows-1251.
  LoadHtml("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
           "<title>\xCF\xF0\xE8\xE2\xE5\xF2</title><p>\xCF\xF0\xE8\xE2\xE5\xF2 <a "
           "href=\"x.html\">\xEC\xE8\xF0</a></p>");
  PaintNow();
  TAccessibleDocument& document = Document();
  EXPECT_EQ(document.text(QAccessible::Name), QString::fromUtf8("Привет"));
  EXPECT_TRUE(document.text(0, -1).startsWith(QString::fromUtf8("Привет мир")));
}

TEST_F(AccessibleDocumentTest, TextOffsetsAreTheViewersCharacters) {
  TAccessibleDocument& document = Document();
  const QString text = document.text(0, -1);
  const int at = static_cast<int>(text.indexOf("picture"));
  viewer->SelectRange(viewer->FindText(0, "picture", true), 7);
  int start = 0, end = 0;
  ASSERT_EQ(document.selectionCount(), 1);
  document.selection(0, &start, &end);
  EXPECT_EQ(start, at);
  EXPECT_EQ(end, at + 7);
  // The other way: a reader's selection is the viewer's.
  const int item = static_cast<int>(text.indexOf("item"));
  document.setSelection(0, item, item + 4);
  document.selection(0, &start, &end);
  EXPECT_EQ(start, item);
  EXPECT_EQ(end, item + 4);
  EXPECT_EQ(viewer->SelectedText(), "   item");  // a copy from a line's start takes its indent
  document.setCursorPosition(item);
  EXPECT_EQ(document.cursorPosition(), item);
  EXPECT_EQ(document.selectionCount(), 0);
  // Where a character is drawn, and the character at that point.
  const QRect r = document.characterRect(item + 1);
  ASSERT_FALSE(r.isEmpty());
  EXPECT_EQ(r.width(), 8);  // the fixed metrics' advance
  EXPECT_EQ(document.offsetAtPoint(r.topLeft() + QPoint(1, 2)), item + 1);
}

TEST_F(AccessibleDocumentTest, ReadingTextMapsPlaceholdersAndLineBreaks) {
  TPageReadingText reading;
  reading.Build(viewer->Document());
  const std::string copy = WholeText();
  ASSERT_EQ(reading.Text().toStdString(), copy);
  // Every character of the page that the text holds maps back to itself.
  for (int i = 0; i < viewer->TextLength(); ++i) {
    const int offset = reading.OffsetOfIndex(i);
    ASSERT_LE(offset, reading.Length());
    if (offset < reading.Length() && reading.IndexOfOffset(offset) == i) continue;
    // The rest are placeholders and line ends: the offset is where the text
    // after them goes on.
    ASSERT_GE(reading.IndexOfOffset(offset), i) << i;
  }
  const int lineBreak = static_cast<int>(reading.Text().indexOf("\r\n"));
  EXPECT_EQ(reading.IndexOfOffset(lineBreak), reading.IndexOfOffset(lineBreak + 2));
  int inSection = -1;
  EXPECT_NE(reading.SectionOfIndex(0, inSection), nullptr);
  EXPECT_EQ(inSection, 0);
  EXPECT_EQ(reading.SectionOfIndex(viewer->TextLength() + 5, inSection), nullptr);
}

TEST_F(AccessibleDocumentTest, LinksAreChildrenWithNamesTargetsPlacesAndAPressAction) {
  TAccessibleDocument& document = Document();
  ASSERT_EQ(document.childCount(), 3);
  QAccessibleInterface* first = document.child(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->role(), QAccessible::Link);
  EXPECT_EQ(first->text(QAccessible::Name), "a link");
  EXPECT_EQ(first->text(QAccessible::Description), "one.html");
  EXPECT_EQ(document.child(2)->text(QAccessible::Name), "Third");
  EXPECT_EQ(first->parent(), &document);
  EXPECT_EQ(document.indexOfChild(document.child(1)), 1);
  EXPECT_EQ(document.child(1), document.child(1));  // made once
  const QRect place = first->rect();
  EXPECT_EQ(place.width(), 6 * 8);
  EXPECT_EQ(document.childAt(place.center().x(), place.center().y()), first);
  EXPECT_TRUE(first->state().focusable && first->state().linked);

  viewer->setFocus();
  viewer->FocusStop(document.StopOfChild(1));
  EXPECT_TRUE(document.child(1)->state().focused);
  EXPECT_EQ(document.focusChild(), document.child(1));

  std::string clicked;
  viewer->OnHotSpotClick = [&](THTMLViewer*, const std::string& src, bool& handled) {
    clicked = src;
    handled = true;
  };
  auto* action = first->actionInterface();
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
  action->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(clicked.empty());  // once the request is answered
  PaintNow();
  EXPECT_EQ(clicked, "one.html");
}

TEST_F(AccessibleDocumentTest, ChildrenDieWithThePage) {
  TAccessibleDocument& document = Document();
  QAccessibleInterface* link = document.child(0);
  const QAccessible::Id id = QAccessible::uniqueId(link);
  ASSERT_TRUE(link->isValid());
  // A layout keeps them.
  viewer->SetDefFontSize(14);
  EXPECT_EQ(QAccessible::accessibleInterface(id), link);
  EXPECT_TRUE(link->isValid());
  // A new page does not; its own links are new children.
  LoadHtml("<p><a href=\"new.html\">new</a></p>");
  EXPECT_EQ(document.childCount(), 1);
  EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
  EXPECT_EQ(document.child(0)->text(QAccessible::Description), "new.html");
  EXPECT_EQ(document.text(0, -1), "new\r\n");
}

}  // namespace
}  // namespace kiv
