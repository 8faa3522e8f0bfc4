// A page's declared character set: META http-equiv, META charset and the XML
// declaration count; text that merely mentions a charset does not.
#include <gtest/gtest.h>

#include "reader/charset_declaration.h"

namespace kiv {
namespace {

TEST(CharsetDeclarationTest, MetaAndXmlDeclarationsSelectTheCodePage) {
  EXPECT_EQ(CodePageOfPage("<html><head><meta http-equiv=\"Content-Type\" "
                           "content=\"text/html; charset=windows-1251\"></head>"),
            CodePage::Windows1251);
  EXPECT_EQ(CodePageOfPage("<META CHARSET='ISO-8859-7'>"), CodePage::Windows1253);
  EXPECT_EQ(CodePageOfPage("<?xml version=\"1.0\" encoding=\"koi8-r\"?><html>"),
            CodePage::Windows1251);
  EXPECT_EQ(CodePageOfPage("<meta charset=iso-8859-2>"), CodePage::Windows1250);
}

TEST(CharsetDeclarationTest, NoDeclarationUtf8OrUnknownStayWindows1252) {
  EXPECT_FALSE(DeclaredCodePage("<p>charset=windows-1251 in running text</p>"));
  EXPECT_FALSE(DeclaredCodePage("<meta charset=\"utf-8\">"));
  EXPECT_FALSE(DeclaredCodePage("<meta charset=\"x-made-up\">"));
  EXPECT_FALSE(DeclaredCodePage("<metadata charset=windows-1251>"));
  EXPECT_FALSE(DeclaredCodePage("<meta name=mycharset=windows-1251>"));
  EXPECT_EQ(CodePageOfPage("<meta charset=\"utf-8\">"), CodePage::Windows1252);
  // A tag cut off at the end of the page is still read, without overrunning.
  EXPECT_EQ(CodePageOfPage("<meta charset=windows-1257"), CodePage::Windows1257);
  EXPECT_FALSE(DeclaredCodePage("<meta charset="));
  EXPECT_FALSE(DeclaredCodePage("<"));
}

TEST(CharsetDeclarationTest, EveryDeclarationIsFoundWithItsPlace) {
  const std::string page =
      "<?xml version='1.0' encoding='UTF-8'?>\n<meta http-equiv=Content-Type "
      "content='text/html; charset=utf-8'>";
  const auto found = FindCharsetDeclarations(page);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(page.substr(found[0].pos, found[0].length), "UTF-8");
  EXPECT_EQ(page.substr(found[1].pos, found[1].length), "utf-8");
  EXPECT_TRUE(IsUtf8CharsetName(found[0].name));
  EXPECT_FALSE(IsUtf8CharsetName("utf-16"));
}

}  // namespace
}  // namespace kiv
