#include <gtest/gtest.h>

#include "reader/color_from_string.h"
#include "reader/entities.h"
#include "reader/symbols.h"

namespace kiv {
namespace {

TEST(SymbolTables, TagsEndSymbolsAndSharedSymbols) {
  EXPECT_EQ(LookupTag("SCRIPT"), ScriptSy);
  EXPECT_EQ(EndSymbolOf(ScriptSy), ScriptEndSymbol);
  EXPECT_EQ(EndSymbolOf(TextAreaSy), TextAreaEndSymbol);
  EXPECT_EQ(EndSymbolOf(LISy), UnknownTagSymbol);
  EXPECT_EQ(LookupTag("SELECTED"), LookupAttribute("SELECTED"));
  EXPECT_EQ(LookupTag("PAGE"), PageSy);
  EXPECT_EQ(LookupTag("html"), UnknownTagSymbol);  // names are matched upper case
  EXPECT_EQ(LookupTag(""), UnknownTagSymbol);
  EXPECT_EQ(LookupAttribute("VALUE"), ValueSy);
  EXPECT_EQ(LookupAttribute("LANGUAGE"), LanguageSy);
  EXPECT_EQ(LookupAttribute("STYLE"), UnknownAttributeSymbol);
  EXPECT_EQ(SymbolName(BlockQuoteEndSy), "/BLOCKQUOTE");
  EXPECT_EQ(SymbolName(ImageSy), "IMG");
  EXPECT_EQ(SymbolName(TextSy), "TEXT");
  EXPECT_EQ(SymbolName(TextSymbol), "Text");
  // Exactly 27 tags keep their attributes.
  int taking = 0;
  for (int s = 0; s < SymbolCount; ++s) taking += TakesAttributes(static_cast<Symbol>(s));
  EXPECT_EQ(taking, 27);
  EXPECT_FALSE(TakesAttributes(LISy));
  EXPECT_FALSE(TakesAttributes(CenterSy));
  EXPECT_TRUE(TakesAttributes(TRSy));
}

TEST(EntityTable, RowsWithoutNamesAndCase) {
  unsigned char c = 0;
  EXPECT_TRUE(LookupEntity("times", c) == false);
  EXPECT_TRUE(LookupEntity("Ouml", c));
  EXPECT_EQ(c, 214);
  EXPECT_TRUE(LookupEntity("Oslash", c));
  EXPECT_EQ(c, 216);
  EXPECT_TRUE(LookupEntity("oslash", c));
  EXPECT_EQ(c, 248);
  EXPECT_FALSE(LookupEntity("", c));
  EXPECT_FALSE(LookupEntity("COPY", c));
}

TEST(ColorFromString, NamesHexAndFailures) {
  TColor c = 0;
  EXPECT_TRUE(ColorFromString("red", c));
  EXPECT_EQ(c, 0x0000FFu);
  TColor hex = 0, bare = 0;
  EXPECT_TRUE(ColorFromString("#FF0000", hex));
  EXPECT_TRUE(ColorFromString("ff0000", bare));
  EXPECT_EQ(hex, c);
  EXPECT_EQ(bare, c);
  EXPECT_TRUE(ColorFromString("Fuchsia", c));
  EXPECT_EQ(c, 0xFF00FFu);
  EXPECT_TRUE(ColorFromString("teal", c));
  EXPECT_EQ(c, 0x808000u);
  EXPECT_TRUE(ColorFromString("#F00", c));
  EXPECT_EQ(c, 0x000F00u);
  EXPECT_TRUE(ColorFromString("12#3456", c));  // the first "#" goes wherever it stands
  EXPECT_EQ(c, 0x563412u);
  c = 7;
  EXPECT_FALSE(ColorFromString("", c));
  EXPECT_FALSE(ColorFromString("#", c));
  EXPECT_FALSE(ColorFromString("orange", c));
  EXPECT_FALSE(ColorFromString("#12 34", c));
  EXPECT_FALSE(ColorFromString("123456789", c));  // beyond 32 bits
  EXPECT_EQ(c, 7u);
  // Only the first 10 characters count.
  EXPECT_TRUE(ColorFromString("00000000FFzz", c));
  EXPECT_EQ(c, 0xFFu << 16);
}

}  // namespace
}  // namespace kiv
