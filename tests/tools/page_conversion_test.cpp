// Converting pages to the code page that holds their characters: the choice
// among the six code pages, the declarations that then name it, characters
// dropped, refused or substituted, and pages in other single-byte sets.
#include <gtest/gtest.h>

#include "kivpack/page_conversion.h"
#include "reader/charset_declaration.h"

namespace kiv {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

TEST(PageConversionTest, EachScriptGoesToTheFirstCodePageHoldingIt) {
  struct Case {
    const char* text;
    CodePage page;
    const char* bytes;
  };
  const Case cases[] = {
      {"caf\u00E9 \u20AC", CodePage::Windows1252, "caf\xE9 \x80"},
      {"\u0141\u00F3d\u017A", CodePage::Windows1250,
       "\xA3\xF3"
       "d\x9F"},                                                                // Łódź
      {"\u042F\u0437\u044B\u043A", CodePage::Windows1251, "\xDF\xE7\xFB\xEA"},  // Язык
      {"\u0393\u03BB\u03CE\u03C3\u03C3\u03B1", CodePage::Windows1253, "\xC3\xEB\xFE\xF3\xF3\xE1"},
      {"\u011F\u0131\u015F", CodePage::Windows1254, "\xF0\xFD\xFE"},            // ğış
      {"\u0101\u010D\u0117\u012F", CodePage::Windows1257, "\xE2\xE8\xEB\xE1"},  // āčėį
  };
  for (const Case& c : cases) {
    const std::string page = std::string("<html><head><title>t</title></head><p>") + c.text;
    const PageConversion r = ConvertPage("\xEF\xBB\xBF" + page);
    ASSERT_TRUE(r.converted) << c.text << Joined(r.problems);
    EXPECT_EQ(r.codePage, c.page) << c.text;
    // A page without a declaration gets one after its HEAD tag, unless it
    // is in Windows-1252, which the viewer reads it in anyway.
    const std::string meta = c.page == CodePage::Windows1252
                                 ? std::string()
                                 : "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                   "charset=" +
                                       CodePageName(c.page) + "\">";
    EXPECT_EQ(r.bytes, "<html><head>" + meta + "<title>t</title></head><p>" + c.bytes) << c.text;
    EXPECT_EQ(CodePageOfPage(r.bytes), c.page);
  }
}

TEST(PageConversionTest, DeclarationsNameTheCodePageAndInvisibleCharactersGo) {
  const std::string page =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
      "<p>\u041F\u0440\u0438\u200B\u0432\u0435\u0442\u00AD\uFEFF\u200D\uFE0F!</p>";
  const PageConversion r = ConvertPage(page);
  ASSERT_TRUE(r.converted) << Joined(r.problems);
  EXPECT_EQ(r.codePage, CodePage::Windows1251);
  EXPECT_EQ(r.dropped, 5);
  EXPECT_EQ(r.bytes,
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\n"
            "<p>\xCF\xF0\xE8\xE2\xE5\xF2!</p>");
  EXPECT_TRUE(r.substitutions.empty());
}

TEST(PageConversionTest, TwoScriptsOrAnUnknownCharacterRefuseUnlessSubstituted) {
  // Cyrillic then Greek: the Greek letter breaks the page.
  const std::string mixed = "<meta charset=utf-8><p>\u042F\u0437\n\u03A9 \u2192 \u00E9</p>";
  const PageConversion refused = ConvertPage(mixed);
  EXPECT_FALSE(refused.converted);
  ASSERT_EQ(refused.problemCount, 3) << Joined(refused.problems);
  EXPECT_NE(refused.problems[0].find("line 2, column 1: character U+03A9 \"\u03A9\" needs "
                                     "Windows-1253, but the characters before it need "
                                     "Windows-1251"),
            std::string::npos)
      << refused.problems[0];
  EXPECT_NE(refused.problems[1].find("line 2, column 3: character U+2192 \"\u2192\" has no form"),
            std::string::npos)
      << refused.problems[1];
  EXPECT_NE(refused.problems[2].find("line 2, column 5: character U+00E9"), std::string::npos);

  PageConversionOptions substitute;
  substitute.substitute = true;
  const PageConversion r = ConvertPage(mixed, substitute);
  ASSERT_TRUE(r.converted);
  EXPECT_EQ(r.codePage, CodePage::Windows1251);
  // Ω has no plain form; the arrow does; é loses its accent.
  EXPECT_EQ(r.bytes, "<meta charset=windows-1251><p>\xDF\xE7\n? -> e</p>");
  ASSERT_EQ(r.substitutions.size(), 3u);
  EXPECT_EQ(r.substitutions[0], "line 2, column 1: U+03A9 \"\u03A9\" written as \"?\"");
  EXPECT_EQ(r.substitutions[1], "line 2, column 3: U+2192 \"\u2192\" written as \"->\"");
  EXPECT_EQ(r.substitutions[2], "line 2, column 5: U+00E9 \"\u00E9\" written as \"e\"");
  // "≠" has a plain spelling in every code page.
  EXPECT_EQ(ConvertPage("<meta charset=utf-8>a\u2260b", substitute).bytes,
            "<meta charset=windows-1252>a!=b");
}

TEST(PageConversionTest, OtherCharacterSetsAndBrokenInputHaveClearOutcomes) {
  // KOI8-R is decoded and written again in Windows-1251: "Мир".
  const PageConversion koi = ConvertPage("<meta charset=koi8-r><p>\xED\xC9\xD2</p>");
  ASSERT_TRUE(koi.converted);
  EXPECT_EQ(koi.from, "koi8-r");
  EXPECT_EQ(koi.bytes, "<meta charset=windows-1251><p>\xCC\xE8\xF0</p>");
  // A Windows code page is packed as it is; an unknown set too, with a note.
  EXPECT_FALSE(ConvertPage("<meta charset=windows-1253><p>\xD9</p>").converted);
  const PageConversion unknown = ConvertPage("<meta charset=x-klingon><p>\xD9</p>");
  EXPECT_FALSE(unknown.converted);
  EXPECT_EQ(unknown.problemCount, 0);
  ASSERT_EQ(unknown.notes.size(), 1u);
  EXPECT_NE(unknown.notes[0].find("\"x-klingon\", which the viewer does not know"),
            std::string::npos);
  // Declared UTF-8 with one stray byte among real UTF-8: refused at its place,
  // or "?" with substitution.
  const std::string damaged = "<meta charset=utf-8>\u00E9\xFF\u00E9";
  const PageConversion bad = ConvertPage(damaged);
  ASSERT_EQ(bad.problemCount, 1);
  EXPECT_NE(bad.problems[0].find("line 1, column 22: byte 0xFF is not valid UTF-8"),
            std::string::npos)
      << bad.problems[0];
  PageConversionOptions substitute;
  substitute.substitute = true;
  EXPECT_EQ(ConvertPage(damaged, substitute).bytes, "<meta charset=windows-1252>\xE9?\xE9");
  // Declared UTF-8 over Windows-1252 text with no UTF-8 at all: as it is.
  const PageConversion legacy = ConvertPage("<meta charset=utf-8>caf\xE9");
  EXPECT_FALSE(legacy.converted);
  EXPECT_EQ(legacy.problemCount, 0);
}

}  // namespace
}  // namespace kiv
