// Searching text sections, and copying and measuring the selection through
// the document root: placeholders, list indents, line ends, spacers, the
// clipboard's limit and selections that are reversed or run past the end.
#include <gtest/gtest.h>

#include <climits>

#include "layout/heading_space.h"
#include "layout/horz_line.h"
#include "layout/list_items.h"
#include "layout/paragraph_space.h"
#include "paint_test_support.h"
#include "platform/clipboard.h"

namespace kiv {
namespace {

using testing::AddTo;

class SearchTest : public testing::TextDocTest {};

TEST_F(SearchTest, ExactSearchMatchesCaseFromTheGivenIndex) {
  Add("abc ABC aBc");
  Add("abc");  // indexes 11 to 13
  Layout();
  EXPECT_EQ(doc.FindText(0, "abc", true), 0);
  EXPECT_EQ(doc.FindText(1, "abc", true), 11);
  EXPECT_EQ(doc.FindText(0, "aBc", true), 8);
  EXPECT_EQ(doc.FindText(12, "abc", true), -1);
  EXPECT_EQ(doc.FindText(0, "cab", true), -1);
}

TEST_F(SearchTest, CaselessSearchFindsEveryCaseAndAnsiLetters) {
  Add("abc ABC aBc caf\xC9");
  Layout();
  EXPECT_EQ(doc.FindText(0, "abc", false), 0);
  EXPECT_EQ(doc.FindText(1, "abc", false), 4);
  EXPECT_EQ(doc.FindText(5, "ABC", false), 8);
  EXPECT_EQ(doc.FindText(9, "abc", false), -1);
  EXPECT_EQ(doc.FindText(0, "caf\xE9", false), 12);
  EXPECT_EQ(doc.FindText(0, "caf\xE9", true), -1);
}

TEST_F(SearchTest, LongCaselessSearchComparesItsFirst255Characters) {
  Add(std::string(255, 'x') + "tail");
  Layout();
  const std::string longText = std::string(255, 'X') + std::string(45, 'z');
  EXPECT_EQ(doc.FindText(0, longText, false), 0);
  EXPECT_EQ(doc.FindText(0, longText, true), -1);
  EXPECT_EQ(doc.FindText(0, std::string(256, 'y'), false), -1);
}

TEST_F(SearchTest, EmptyOrOutOfRangeSearchesFindNothing) {
  Add("abc");
  Add("");
  Add("xyz");  // 3..5
  Layout();
  EXPECT_EQ(doc.FindText(0, "", true), -1);
  EXPECT_EQ(doc.FindText(0, "", false), -1);
  EXPECT_EQ(doc.FindText(3, "abc", false), -1);
  EXPECT_EQ(doc.FindText(INT_MIN, "Z", false), 5);
  EXPECT_EQ(doc.FindText(6, "z", false), -1);
  EXPECT_EQ(doc.FindText(INT_MAX, "a", false), -1);
  EXPECT_EQ(doc.FindText(INT_MIN, "c", false), 2);
  EXPECT_EQ(doc.FindText(0, "abcd", false), -1);  // longer than what is left
}

class CopyTest : public testing::TextDocTest {
 protected:
  // The text the selection puts on the clipboard; also checks that the
  // measured length agrees with it.
  std::string Copy(int selStart, int selEnd) {
    SetClipboardText("(unchanged)");
    doc.SelStart = selStart;
    doc.SelEnd = selEnd;
    doc.CopySelectionToClipboard();
    const std::string text = ClipboardText();
    if (text != "(unchanged)") {
      EXPECT_EQ(doc.SelectedTextLength(), static_cast<int>(text.size()));
    }
    return text;
  }
};

TEST_F(CopyTest, IndentsPlaceholdersAndSpacersShapeTheCopy) {
  TSection* item = AddTo(doc, std::make_unique<TUListItem>(2, nullptr, font));
  item->AddText("item");  // 0..3, indented 70
  AddTo(doc, std::make_unique<TParagraphSpace>());
  TSection* s = Add("pic");  // 4..
  AddImage(*s, "10x10");     // 7, an image placeholder
  s->AddText(" end");        // 8..11
  AddTo(doc, std::make_unique<THeadingSpace>(2));
  AddTo(doc, std::make_unique<THorzLine>(TAttributeList()));
  Add("last");  // 12..15
  Layout();
  EXPECT_EQ(Copy(0, 16), "      item\r\n\r\npic end\r\n\r\n\r\nlast\r\n");
  EXPECT_EQ(Copy(1, 6), "tem\r\n\r\npi");  // starts inside the line: no indent
  EXPECT_EQ(Copy(0, 2), "      it");       // ends inside the line: no line end
  EXPECT_EQ(Copy(7, 8), "");               // the image alone copies nothing
  EXPECT_EQ(doc.SelectedTextLength(), 0);
}

TEST_F(CopyTest, LinesEndWithLineBreaks) {
  Add("aaaa bbbb cccc");
  Layout(40);
  EXPECT_EQ(Copy(0, 14), "aaaa \r\nbbbb \r\ncccc\r\n");
  EXPECT_EQ(Copy(2, 7), "aa \r\nbb");
  // Starting at a line's start: the line before adds nothing.
  EXPECT_EQ(Copy(5, 10), "bbbb \r\n");
}

TEST_F(CopyTest, ReversedEmptyAndOverlongSelections) {
  Add("abcdef");
  Layout();
  EXPECT_EQ(Copy(4, 2), "(unchanged)");
  EXPECT_EQ(doc.SelectedTextLength(), 0);
  EXPECT_EQ(Copy(3, 3), "(unchanged)");
  EXPECT_EQ(Copy(3, 1000000), "def\r\n");
  EXPECT_EQ(Copy(INT_MIN, INT_MAX), "abcdef\r\n");
  EXPECT_EQ(Copy(-5, 2), "ab");
}

TEST_F(CopyTest, ClipboardTakesAtMost32499Characters) {
  std::string chunk;
  for (int i = 0; i < 1500; ++i) chunk += "abcdefghi ";  // 15000 characters
  for (int i = 0; i < 3; ++i) Add(chunk);
  Layout();
  doc.SelStart = 0;
  doc.SelEnd = 40000;
  EXPECT_GT(doc.SelectedTextLength(), 40000);  // the text and its line ends
  doc.CopySelectionToClipboard();
  const std::string copied = ClipboardText();
  ASSERT_EQ(copied.size(), 32499u);
  EXPECT_EQ(copied.substr(0, 20), "abcdefghi abcdefghi ");
}

}  // namespace
}  // namespace kiv
