// A page's declared code page becomes the document's CharSet: its text copies,
// finds (letter case of that code page) and draws as that script; a page that
// declares nothing stays Windows-1252.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include "platform/clipboard.h"
#include "platform/code_page.h"
#include "platform/font.h"
#include "platform/font_device.h"
#include "platform/font_face.h"
#include "viewer/viewer_test_support.h"

namespace kiv {
namespace {

// "Язык Я и я" in Windows-1251.
const std::string kCyrillic = "\xDF\xE7\xFB\xEA \xDF \xE8 \xFF";

std::string CyrillicPage(const std::string& declaration) {
  return "<html><head>" + declaration + "<title>\xD0\xF3\xF1\xF1\xEA\xE8\xE9</title></head>" +
         "<body><p>" + kCyrillic + "</p></body></html>";
}

class ViewerCharsetTest : public ViewerTest {};

TEST_F(ViewerCharsetTest, ACyrillicPageCopiesAndFindsInCyrillic) {
  LoadHtml(CyrillicPage(
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"));
  EXPECT_EQ(viewer->TextCodePage(), CodePage::Windows1251);
  EXPECT_EQ(viewer->Document().CharSet, CharsetOfCodePage(CodePage::Windows1251));
  EXPECT_EQ(CodePageToUtf8(viewer->TextCodePage(), viewer->Title()),
            "\u0420\u0443\u0441\u0441\u043A\u0438\u0439");  // Русский

  viewer->SelectAllText();
  viewer->CopySelection();
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_TRUE(copied.startsWith(QString::fromUtf8("\u042F\u0437\u044B\u043A \u042F \u0438 \u044F")))
      << copied.toStdString();

  // Case-blind find folds Я and я; with case, only the one written so.
  const int capital = viewer->FindText(0, "\xDF", true);  // Я
  const int small = viewer->FindText(0, "\xFF", true);    // я
  ASSERT_GE(capital, 0);
  ASSERT_GT(small, capital);
  EXPECT_EQ(viewer->FindText(0, "\xFF", false), capital);
  EXPECT_EQ(viewer->FindText(capital + 1, "\xFF", false), capital + 5);
  EXPECT_EQ(viewer->FindText(0, "\xDF\xC7\xDB\xCA", false), capital);  // ЯЗЫК finds Язык
}

TEST_F(ViewerCharsetTest, TheNextPageWithoutADeclarationIsWindows1252Again) {
  LoadHtml(CyrillicPage("<meta charset=\"koi8-r\">"));
  EXPECT_EQ(viewer->TextCodePage(), CodePage::Windows1251);
  LoadHtml("<p>caf\xE9 \xDF \xFF</p>");
  EXPECT_EQ(viewer->TextCodePage(), CodePage::Windows1252);
  // ß and ÿ are no case pair in Windows-1252.
  EXPECT_EQ(viewer->FindText(0, "\xFF", false), viewer->FindText(0, "\xFF", true));
  SetClipboardText("");
  viewer->SelectAllText();
  viewer->CopySelection();
  EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(
      QString::fromUtf8("caf\u00E9 \u00DF \u00FF")));
  // An unknown or UTF-8 declaration keeps Windows-1252 too.
  LoadHtml(CyrillicPage("<meta charset=\"x-unknown\">"));
  EXPECT_EQ(viewer->TextCodePage(), CodePage::Windows1252);
}

TEST(FontCodePageTest, TheFaceDrawsTheBytesOfItsCharacterSet) {
  // The same byte measures as a different letter in another code page: Я in
  // 1251, ß in 1252, in the same face name and size.
  Font western, cyrillic;
  western.SetSize(24);
  cyrillic.SetSize(24);
  cyrillic.SetCharset(CharsetOfCodePage(CodePage::Windows1251));
  EXPECT_EQ(western.Face().GetKey().codePage, CodePage::Windows1252);
  EXPECT_EQ(cyrillic.Face().GetKey().codePage, CodePage::Windows1251);
  EXPECT_NE(&western.Face(), &cyrillic.Face());
  // The glyph index of 0xDF differs when the font has both letters.
  const auto& w = western.Face().GetDevice();
  const auto& c = cyrillic.Face().GetDevice();
  if (w.raw.isValid() && c.raw.isValid()) {
    EXPECT_NE(w.glyphs[0xDF], c.glyphs[0xDF]);
  }
}

}  // namespace
}  // namespace kiv
