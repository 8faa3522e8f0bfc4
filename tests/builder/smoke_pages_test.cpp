// Every real page we have builds, lays out at three widths and paints with
// no error: the bundled help, the golden pages and the benchmark page.
#include <QDirIterator>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include "layout/section_list.h"
#include "platform/qt_canvas.h"
#include "builder/document_builder.h"
#include "support/test_files.h"
#include "viewer/document_painter.h"

namespace kiv {
namespace {

QStringList Pages() {
  QStringList pages;
  for (const char* dir : {"/samples", "/tests/data", "/bench/pages"}) {
    QDirIterator it(QString(KIV_SOURCE_DIR) + dir, {"*.html", "*.htm"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) pages << it.next();
  }
  return pages;
}

TEST(SmokePagesTest, EveryPageBuildsLaysOutAndPaints) {
  const QStringList pages = Pages();
  ASSERT_GE(pages.size(), 40);
  for (const QString& path : pages) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = f.readAll();
    TSectionList doc;
    doc.SetDefaults("Times New Roman", "Courier New", 12, clBtnText, clBlue, clWhite);
    TAnchorList anchors;
    ParseHtmlBuffer(doc, anchors, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    for (int width : {120, 600, 1400}) {
      QImage image(width, 300, QImage::Format_RGB32);
      QtCanvas canvas(&image);
      int maxWidth = 0;
      const int height = LayoutForViewer(doc, canvas, width, maxWidth);
      EXPECT_GE(height, 0) << path.toStdString();
      for (int scroll : {0, height / 2, std::max(0, height - 300)}) {
        PaintForViewer(doc, canvas, width, 300, scroll, 0);
      }
    }
    // The only box a page may raise is the one for a table wider than a
    // table may be (pages that test the limit on purpose).
    for (const std::string& box : testing::TakeMessageBoxes())
      EXPECT_EQ(box, "Table has too many Columns") << path.toStdString();
  }
}

}  // namespace
}  // namespace kiv
