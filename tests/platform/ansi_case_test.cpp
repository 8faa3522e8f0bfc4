// Letter case in the ANSI code page: ASCII, accented letters and the letters
// of the 0x80 row map to their partners; everything else maps to itself.
#include <gtest/gtest.h>

#include "platform/ansi_case.h"

namespace kiv {
namespace {

TEST(AnsiCaseTest, LettersMapToTheirPartnersInTheCodePage) {
  EXPECT_EQ(AnsiUpper('a'), 'A');
  EXPECT_EQ(AnsiLower('Z'), 'z');
  EXPECT_EQ(AnsiUpper('\xE9'), '\xC9');  // é, É
  EXPECT_EQ(AnsiLower('\xC9'), '\xE9');
  EXPECT_EQ(AnsiUpper('\x9A'), '\x8A');  // š, Š
  EXPECT_EQ(AnsiUpper('\x9C'), '\x8C');  // œ, Œ
  EXPECT_EQ(AnsiUpper('\xFF'), '\x9F');  // ÿ, Ÿ
  EXPECT_EQ(AnsiLower('\x9F'), '\xFF');
}

TEST(AnsiCaseTest, OtherBytesMapToThemselves) {
  for (char c : {'1', ' ', '\x04', '\x02', '\xD7', '\xF7', '\xDF', '\xB5', '\x80'}) {
    EXPECT_EQ(AnsiUpper(c), c) << int(static_cast<unsigned char>(c));
    EXPECT_EQ(AnsiLower(c), c) << int(static_cast<unsigned char>(c));
  }
}

TEST(AnsiCaseTest, SameTextIgnoresCaseOnly) {
  EXPECT_TRUE(AnsiSameText("Caf\xC9 ABC", "caf\xE9 abc"));
  EXPECT_FALSE(AnsiSameText("abc", "abd"));
  EXPECT_FALSE(AnsiSameText("abc", "abcd"));
  EXPECT_TRUE(AnsiSameText("", ""));
}

}  // namespace
}  // namespace kiv
