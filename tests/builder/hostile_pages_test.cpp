// Pages a hostile or careless author could pack: each fills the page buffer
// with one construct repeated. Every one builds, lays out at three widths,
// paints, copies and searches within the engine's limits, and the text of the
// page survives as far as its capacities allow.
#include <QImage>

#include <gtest/gtest.h>

#include <string>

#include "builder/document_builder.h"
#include "layout/layout_limits.h"
#include "layout/section_list.h"
#include "platform/qt_canvas.h"
#include "support/test_files.h"
#include "viewer/document_painter.h"

namespace kiv {
namespace {

constexpr std::size_t kPageSize = 128000;

std::string Repeated(const std::string& unit, std::size_t size = kPageSize) {
  std::string page;
  page.reserve(size);
  while (page.size() + unit.size() <= size) page += unit;
  return page;
}

struct HostileResult {
  int height = 0;
  int selected = 0;
  int textLength = 0;
};

HostileResult Exercise(const std::string& page) {
  HostileResult r;
  TSectionList doc;
  doc.SetDefaults("Times New Roman", "Courier New", 12, clBtnText, clBlue, clWhite);
  doc.ShowImages = true;
  TAnchorList anchors;
  ParseHtmlBuffer(doc, anchors, page.data(), page.size());
  QImage image(400, 300, QImage::Format_RGB32);
  for (int width : {120, 600, 1400}) {
    QtCanvas canvas(&image);
    int maxWidth = 0;
    r.height = LayoutForViewer(doc, canvas, width, maxWidth);
    EXPECT_GE(r.height, 0);
    for (int scroll : {0, r.height / 2, std::max(0, r.height - 300)})
      PaintForViewer(doc, canvas, 400, 300, scroll, 0);
  }
  r.textLength = doc.TextLength;
  doc.SelStart = 0;
  doc.SelEnd = doc.TextLength;
  r.selected = doc.SelectedTextLength();
  (void)doc.FindText(0, "zz", false);
  (void)doc.FindText(0, "a", true);
  testing::TakeMessageBoxes();
  return r;
}

TEST(HostilePagesTest, OneWordFillingThePage) {
  const HostileResult r = Exercise(std::string(kPageSize, 'a'));
  // One text section takes 20000 characters and the piece that passed the
  // limit; the rest of the word is dropped.
  EXPECT_GE(r.textLength, MaxSectionText);
  EXPECT_LE(r.textLength, MaxSectionText + TextRunLength + 1);
  EXPECT_GT(r.height, 0);
  EXPECT_GT(r.selected, 0);
}

TEST(HostilePagesTest, OneTagRepeated) {
  // Bold nested far past the font stack, and list levels far past any indent.
  EXPECT_GE(Exercise(Repeated("<B>") + "x").textLength, 0);
  const HostileResult lists = Exercise(Repeated("<UL>", 80000) + "<LI>deep");
  EXPECT_GT(lists.textLength, 0);
  EXPECT_GE(Exercise(Repeated("<OL><LI>1", kPageSize)).textLength, 0);
}

TEST(HostilePagesTest, ThirtyThousandImages) {
  // No image can be had: each shows the broken-image picture.
  const HostileResult r = Exercise(Repeated("<IMG SRC=x.gif>", 30000 * 15));
  EXPECT_GT(r.height, 0);
}

TEST(HostilePagesTest, EntitiesOnly) {
  const HostileResult r = Exercise(Repeated("&amp;"));
  EXPECT_GE(r.textLength, MaxSectionText);
  EXPECT_LE(r.textLength, MaxSectionText + TextRunLength + 1);
  EXPECT_EQ(Exercise(Repeated("&#169;&bogus;")).textLength >= 0, true);
}

}  // namespace
}  // namespace kiv
