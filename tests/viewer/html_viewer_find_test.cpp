// Find in page at the viewer: the document's search over text, table cells
// and captions, selecting a match and scrolling it into view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "viewer/viewer_test_support.h"

namespace kiv {
namespace {

class ViewerFindTest : public ViewerTest {
 protected:
  // The selected text without the line break a selection reaching a line's
  // end copies with it.
  std::string Selected() {
    std::string text = viewer->SelectedText();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
      text.resize(text.size() - 2);
    return text;
  }
};

TEST_F(ViewerFindTest, FindsInTextCellsAndCaptionsInCharacterOrder) {
  LoadHtml(
      "<p>Alpha needle one</p>"
      "<table border=1><caption>caption NEEDLE</caption>"
      "<tr><td>cell needle</td><td>plain</td></tr></table>"
      "<p>after Needle</p>");
  std::vector<int> found;
  for (int i = viewer->FindText(0, "needle", false); i >= 0;
       i = viewer->FindText(i + 6, "needle", false))
    found.push_back(i);
  ASSERT_EQ(found.size(), 4u);
  EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
  for (int start : found) {
    viewer->SelectRange(start, 6);
    std::string word = Selected();
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(word, "needle") << start;
  }
  // Letter case, an empty text and a start past the end.
  EXPECT_EQ(viewer->FindText(0, "NEEDLE", true), found[1]);
  EXPECT_EQ(viewer->FindText(0, "", false), -1);
  EXPECT_EQ(viewer->FindText(viewer->TextLength(), "needle", false), -1);
  EXPECT_EQ(viewer->FindText(-50, "needle", false), found[0]);
}

TEST_F(ViewerFindTest, SelectRangeScrollsTheMatchIntoViewAndClampsToTheDocument) {
  LoadHtml(Paragraphs(150) + "<p>the far word</p>" + Paragraphs(150));
  const int at = viewer->FindText(0, "far word", false);
  ASSERT_GT(at, 0);
  ASSERT_EQ(viewer->Document().ScrollY, 0);
  viewer->SelectRange(at, 8);
  int x = 0, y = 0;
  ASSERT_TRUE(viewer->Document().CaretPointOf(ScreenCanvas(), at, x, y));
  const int top = viewer->Document().ScrollY;
  EXPECT_LE(top, y);
  EXPECT_GT(top + viewer->PaintPanel()->height(), y + 20);
  EXPECT_EQ(Selected(), "far word");
  // Already in view: nothing moves.
  viewer->SelectRange(at + 4, 4);
  EXPECT_EQ(viewer->Document().ScrollY, top);

  // Ranges beyond the document are cut to it.
  viewer->SelectRange(viewer->TextLength() - 2, 100000);
  EXPECT_EQ(viewer->Document().SelEnd, viewer->TextLength());
  viewer->SelectRange(-10, -5);
  EXPECT_EQ(viewer->Document().SelStart, 0);
  EXPECT_EQ(viewer->Document().SelEnd, 0);
  EXPECT_EQ(viewer->SelectedText(), "");
}

TEST_F(ViewerFindTest, AnEmptyDocumentFindsNothing) {
  LoadHtml("");
  EXPECT_EQ(viewer->TextLength(), 0);
  EXPECT_EQ(viewer->FindText(0, "a", false), -1);
  EXPECT_FALSE(viewer->ScrollCharIntoView(0));
  viewer->SelectRange(0, 5);
  EXPECT_EQ(viewer->SelectedText(), "");
}

}  // namespace
}  // namespace kiv
