#include "platform/utf8_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace kiv {
namespace {

struct Decoded {
  Utf8Sequence kind;
  char32_t cp;
  std::size_t length;
};

Decoded At(const std::string& text, std::size_t pos = 0) {
  Decoded d{Utf8Sequence::Ascii, 0, 0};
  d.kind = DecodeUtf8At(text, pos, d.cp, d.length);
  return d;
}

TEST(Utf8DecoderTest, ShortestFormsUpToTheLastCodePointDecode) {
  const struct {
    std::string bytes;
    char32_t cp;
  } valid[] = {{"\xC2\x80", 0x80},
               {"\xDF\xBF", 0x7FF},
               {"\xE0\xA0\x80", 0x800},
               {"\xED\x9F\xBF", 0xD7FF},
               {"\xEE\x80\x80", 0xE000},
               {"\xEF\xBF\xBF", 0xFFFF},
               {"\xF0\x90\x80\x80", 0x10000},
               {"\xF4\x8F\xBF\xBF", 0x10FFFF}};
  for (const auto& v : valid) {
    const Decoded d = At(v.bytes + "x");
    EXPECT_EQ(d.kind, Utf8Sequence::MultiByte) << std::hex << static_cast<std::uint32_t>(v.cp);
    EXPECT_EQ(static_cast<std::uint32_t>(d.cp), static_cast<std::uint32_t>(v.cp));
    EXPECT_EQ(d.length, v.bytes.size());
  }
  const Decoded a = At("ab", 1);
  EXPECT_EQ(a.kind, Utf8Sequence::Ascii);
  EXPECT_EQ(static_cast<std::uint32_t>(a.cp), 0x62u);
  EXPECT_EQ(a.length, 1u);
}

TEST(Utf8DecoderTest, OverlongSurrogateOutOfRangeStrayAndCutOffSequencesAreInvalid) {
  for (const std::string bad :
       {"\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",  // overlong
        "\xED\xA0\x80", "\xED\xBF\xBF",                                              // surrogates
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF",  // past U+10FFFF
        "\x80", "\xBF",                                  // stray
        "\xE2\x82", "\xF0\x9F\x98", "\xC3",
        "\xC3"
        "A"}) {  // cut off
    const Decoded d = At(bad);
    EXPECT_EQ(d.kind, Utf8Sequence::Invalid) << testing::PrintToString(bad);
    EXPECT_EQ(d.length, 1u) << testing::PrintToString(bad);
  }
}

}  // namespace
}  // namespace kiv
