// The six code pages: every byte round-trips, the characteristic letters of
// each script sit where the code page puts them, letter case folds within the
// code page, and declared names select the nearest code page.
#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace kiv {
namespace {

std::string AllBytes() {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  return all;
}

TEST(CodePageTest, EveryByteRoundTripsInEveryCodePage) {
  const std::string all = AllBytes();
  for (CodePage page : kCodePagesInPackingOrder) {
    bool lossless = false;
    EXPECT_EQ(Utf8ToCodePage(page, CodePageToUtf8(page, all), &lossless), all)
        << static_cast<int>(page);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(Utf16ToCodePage(page, CodePageToUtf16(page, all)), all) << static_cast<int>(page);
  }
}

TEST(CodePageTest, LettersOfEachScriptHaveTheirBytes) {
  struct Case {
    CodePage page;
    const char* utf8;
    const char* bytes;
  };
  const Case cases[] = {
      {CodePage::Windows1252, "\u00E9\u20AC\u201C", "\xE9\x80\x93"},
      {CodePage::Windows1250, "\u0142\u0105\u017C\u0160", "\xB3\xB9\xBF\x8A"},  // łążŠ
      {CodePage::Windows1251, "\u042F\u044F\u0416\u0451", "\xDF\xFF\xC6\xB8"},  // ЯяЖё
      {CodePage::Windows1253, "\u03A9\u03B1\u03C2\u03AC", "\xD9\xE1\xF2\xDC"},  // Ωαςά
      {CodePage::Windows1254, "\u011F\u0130\u0131\u015E", "\xF0\xDD\xFD\xDE"},  // ğİıŞ
      {CodePage::Windows1257, "\u0101\u0161\u0117\u0173", "\xE2\xF0\xEB\xF8"},  // āšėų
  };
  for (const Case& c : cases) {
    bool lossless = false;
    EXPECT_EQ(Utf8ToCodePage(c.page, c.utf8, &lossless), c.bytes) << static_cast<int>(c.page);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(CodePageToUtf8(c.page, c.bytes), c.utf8) << static_cast<int>(c.page);
  }
  // A letter of another script has no byte: '?' and not lossless.
  bool lossless = true;
  EXPECT_EQ(Utf8ToCodePage(CodePage::Windows1252, "a\u042Fb", &lossless), "a?b");
  EXPECT_FALSE(lossless);
  unsigned char b = 0;
  EXPECT_FALSE(CodePointToByte(CodePage::Windows1251, U'\u00E9', b));
}

TEST(CodePageTest, UndefinedBytesNeverTakeARealCharacter) {
  // 0x98 is undefined in 1251 and 0xAA in 1253: they keep code points of
  // their own, and the real characters of those values have no byte there.
  EXPECT_EQ(ByteToCodePoint(CodePage::Windows1251, 0x98), U'\u0098');
  const char32_t undefinedGreek = ByteToCodePoint(CodePage::Windows1253, 0xAA);
  EXPECT_NE(undefinedGreek, U'\u00AA');
  unsigned char b = 0;
  EXPECT_FALSE(CodePointToByte(CodePage::Windows1253, U'\u00AA', b));
  EXPECT_TRUE(CodePointToByte(CodePage::Windows1253, undefinedGreek, b));
  EXPECT_EQ(b, 0xAA);
}

TEST(CodePageTest, LetterCaseFoldsWithinTheCodePage) {
  const CodePage cyr = CodePage::Windows1251;
  EXPECT_EQ(UpperIn(cyr, '\xFF'), '\xDF');  // я, Я
  EXPECT_EQ(LowerIn(cyr, '\xDF'), '\xFF');
  EXPECT_TRUE(SameTextIn(cyr, "\xDF\xE1\xEB\xEE\xEA\xEE", "\xFF\xC1\xCB\xCE\xCA\xCE"));  // Яблоко
  // The same bytes in Windows-1252 are ß and ÿ, which do not pair up.
  EXPECT_FALSE(SameTextIn(CodePage::Windows1252, "\xDF", "\xFF"));
  // Greek: the final sigma matches the other small sigma and the capital.
  const CodePage greek = CodePage::Windows1253;
  EXPECT_TRUE(SameTextIn(greek, "\xF2", "\xF3"));
  EXPECT_TRUE(SameTextIn(greek, "\xF2", "\xD3"));
  // Polish, Turkish, Baltic letters of the high half.
  EXPECT_EQ(UpperIn(CodePage::Windows1250, '\xB3'), '\xA3');  // ł, Ł
  EXPECT_EQ(UpperIn(CodePage::Windows1254, '\xF0'), '\xD0');  // ğ, Ğ
  EXPECT_EQ(UpperIn(CodePage::Windows1257, '\xF0'), '\xD0');  // š, Š
  // Bytes without a partner stay as they are.
  for (CodePage page : kCodePagesInPackingOrder) {
    for (char c : {'1', ' ', '\x04', '\xA0', '\xAB'}) {
      EXPECT_EQ(UpperIn(page, c), c);
      EXPECT_EQ(LowerIn(page, c), c);
    }
  }
}

TEST(CodePageTest, DeclaredNamesSelectTheNearestCodePage) {
  EXPECT_EQ(CodePageOfCharsetName("Windows-1251"), CodePage::Windows1251);
  EXPECT_EQ(CodePageOfCharsetName("KOI8-R"), CodePage::Windows1251);
  EXPECT_EQ(CodePageOfCharsetName("iso-8859-5"), CodePage::Windows1251);
  EXPECT_EQ(CodePageOfCharsetName("ISO-8859-1"), CodePage::Windows1252);
  EXPECT_EQ(CodePageOfCharsetName("iso-8859-2"), CodePage::Windows1250);
  EXPECT_EQ(CodePageOfCharsetName("iso-8859-7"), CodePage::Windows1253);
  EXPECT_EQ(CodePageOfCharsetName("iso-8859-9"), CodePage::Windows1254);
  EXPECT_EQ(CodePageOfCharsetName("iso-8859-13"), CodePage::Windows1257);
  EXPECT_FALSE(CodePageOfCharsetName("utf-8"));
  EXPECT_FALSE(CodePageOfCharsetName("x-unknown"));
  EXPECT_FALSE(CodePageOfCharsetName(""));
  for (CodePage page : kCodePagesInPackingOrder) {
    EXPECT_EQ(CodePageOfCharset(CharsetOfCodePage(page)), page);
    EXPECT_EQ(CodePageOfCharsetName(CodePageName(page)), page);
  }
  EXPECT_EQ(CodePageOfCharset(1), CodePage::Windows1252);  // the default character set
}

}  // namespace
}  // namespace kiv
