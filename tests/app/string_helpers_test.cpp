#include "app/string_helpers.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

TEST(StringHelpersTest, UpperTextChangesOnlyAsciiLetters) {
  EXPECT_EQ(UpperText("contents.html"), "CONTENTS.HTML");
  EXPECT_EQ(UpperText("\xE9t\xE9-1_z"), "\xE9T\xE9-1_Z");
}

TEST(StringHelpersTest, TrimmingTouchesSpacesOnly) {
  EXPECT_EQ(TrimLeftBlanks("  a b "), "a b ");
  EXPECT_EQ(TrimRightBlanks("  a b  "), "  a b");
  EXPECT_EQ(TrimBlanks("\t a \t"), "\t a \t");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank("   "));
  EXPECT_FALSE(IsBlank(" \t "));
}

TEST(StringHelpersTest, CsvFieldDefaultsOnlyForMissingOrEmptyFields) {
  EXPECT_EQ(CsvField("a,,c", 2, "x"), "x");
  EXPECT_EQ(CsvField("a, ,c", 2, "x"), "");
  EXPECT_EQ(CsvField("a", 3, "x"), "x");
  EXPECT_EQ(CsvField(" CONTENTS.HTML , 12", 1, ""), "CONTENTS.HTML");
  EXPECT_EQ(CsvField("a,b,c,d", 4, "x"), "d");
  EXPECT_EQ(CsvField("a,b,", 3, "x"), "x");
  EXPECT_EQ(CsvField("", 1, "x"), "x");
  EXPECT_EQ(CsvField("a,b", 0, "x"), "x");  // there is no field 0
}

TEST(StringHelpersTest, CsvIntFieldKeepsOnlySignsAndDigits) {
  EXPECT_EQ(CsvIntField("n,ab12", 2, -1), 12);
  EXPECT_EQ(CsvIntField("n,$10", 2, -1), 10);
  EXPECT_EQ(CsvIntField("n,1 2", 2, -1), -1);
  EXPECT_EQ(CsvIntField("n, -42 ", 2, 0), -42);
  EXPECT_EQ(CsvIntField("n,+7", 2, 0), 7);
  EXPECT_EQ(CsvIntField("n,1-2", 2, 99), 99);
  EXPECT_EQ(CsvIntField("n,-", 2, 99), 99);
  EXPECT_EQ(CsvIntField("n,abc", 2, 99), 99);
  EXPECT_EQ(CsvIntField("n,", 2, 99), 99);
  EXPECT_EQ(CsvIntField("n", 2, 99), 99);
  EXPECT_EQ(CsvIntField("n,0x1F", 2, 99), 99);  // "0 1" after cleaning: not a number
  EXPECT_EQ(CsvIntField("n,2147483647", 2, 0), 2147483647);
  EXPECT_EQ(CsvIntField("n,-2147483648", 2, 0), INT32_MIN);
  EXPECT_EQ(CsvIntField("n,2147483648", 2, 5), 5);
  EXPECT_EQ(CsvIntField("n,99999999999999999999", 2, 5), 5);
}

}  // namespace
}  // namespace kiv
