// The selected-text collectors: counting, buffering within capacity, the
// clipboard copy and its limit, and placeholder filtering throughout.
#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <string>

#include "platform/clipboard.h"
#include "reader/sel_text.h"

namespace kiv {
namespace {

const std::string WithPlaceholders = std::string("ab\x04") + "c\x02" + "d";

TEST(SelText, CountingSkipsPlaceholdersAndCountsLineBreaks) {
  SelTextCount count;
  count.AddChars(WithPlaceholders.data(), static_cast<int>(WithPlaceholders.size()));
  EXPECT_EQ(count.Length, 4);
  AddTextLine(count, "xy", 2);
  AddLineBreak(count);
  EXPECT_EQ(count.Terminate(), 4 + 2 + 2 + 2);
  EXPECT_EQ(count.Buffer, nullptr);
}

TEST(SelText, BufferCollectsWithinCapacityAndTerminates) {
  char buffer[6];
  std::fill(std::begin(buffer), std::end(buffer), 'Z');
  SelTextBuf sink(buffer, 6);
  sink.AddChars(WithPlaceholders.data(), static_cast<int>(WithPlaceholders.size()));
  EXPECT_EQ(std::string(buffer, 4), "abcd");
  sink.AddChars("efgh", 4);  // only one more fits before the terminator
  EXPECT_EQ(sink.Length, 5);
  EXPECT_EQ(sink.Terminate(), 6);
  EXPECT_STREQ(buffer, "abcde");
}

TEST(SelText, BufferWithoutStorageOnlyCountsNothing) {
  SelTextBuf sink(nullptr, 100);
  sink.AddChars("abc", 3);
  EXPECT_EQ(sink.Length, 0);
  EXPECT_EQ(sink.Terminate(), 1);
}

TEST(SelText, ClipboardGetsTextConvertedFromTheAnsiCodePage) {
  SetClipboardText("old");
  ClipBuffer clip;
  const std::string text = std::string("caf\xE9 \x80") + "\x04";
  AddTextLine(clip, text.data(), static_cast<int>(text.size()));
  EXPECT_EQ(clip.Terminate(), 8 + 1);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("caf\u00e9 \u20ac\r\n"));
}

TEST(SelText, ClipboardCopyIsCutAtItsCapacity) {
  ClipBuffer clip;
  const std::string big(40000, 'q');
  clip.AddChars(big.data(), static_cast<int>(big.size()));
  clip.AddChars("\r\n", 2);
  EXPECT_EQ(clip.Length, ClipBufferSize - 1);
  EXPECT_EQ(clip.Terminate(), ClipBufferSize);
  const std::string got = ClipboardText();
  EXPECT_EQ(got.size(), 32499u);
  EXPECT_EQ(got, big.substr(0, 32499));
}

TEST(SelText, FactoriesMakeTheCountingAndClipboardCollectors) {
  auto counting = NewCountingSink();
  auto clip = NewClipboardSink();
  ASSERT_NE(dynamic_cast<SelTextCount*>(counting.get()), nullptr);
  EXPECT_EQ(dynamic_cast<SelTextBuf*>(counting.get()), nullptr);
  EXPECT_NE(dynamic_cast<ClipBuffer*>(clip.get()), nullptr);
}

}  // namespace
}  // namespace kiv
