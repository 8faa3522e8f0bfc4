// Preformatted text is read a run of ordinary bytes at a time: what a line
// holds, where entities, tags and line ends fall inside long runs, and where
// a line longer than a text section may hold is cut.
#include <gtest/gtest.h>

#include <string>

#include "builder/document_builder.h"
#include "layout/layout_limits.h"
#include "layout/section_list.h"
#include "layout/text_section.h"

namespace kiv {
namespace {

std::vector<std::string> PreformattedLines(const std::string& page) {
  TSectionList doc;
  doc.SetDefaults("Times New Roman", "Courier New", 12, clBtnText, clBlue, clWhite);
  TAnchorList anchors;
  ParseHtmlBuffer(doc, anchors, page.data(), page.size());
  std::vector<std::string> lines;
  for (const auto& section : doc)
    if (const auto* pre = dynamic_cast<const TPreFormated*>(section.get()))
      lines.emplace_back(pre->Buffer.c_str());
  return lines;
}

TEST(PreformattedTextTest, LongRunsKeepEveryByteAroundEntitiesTagsAndLineEnds) {
  // Runs longer than the pieces the builder hands on, with the special
  // characters at and around the piece boundaries.
  std::string first(199, 'a');
  std::string second(450, 'b');
  std::string third(201, 'c');
  const std::string page = "<pre>" + first + "&lt;" + second + "<b>x</b>" + third +
                           "\r\n\xE9\x01 tail\n\n<!-- gone -->z</pre>after";
  const auto lines = PreformattedLines(page);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], first + "<" + second + "x" + third);
  EXPECT_EQ(lines[1], "\xE9\x01 tail");
  EXPECT_EQ(lines[2], " ");  // an empty line holds one space
  EXPECT_EQ(lines[3], "z");  // the comment vanishes
}

TEST(PreformattedTextTest, ALineLongerThanASectionIsCutAtTheLimitAndTheRestFollows) {
  for (const int length : {MaxSectionText - 1, MaxSectionText + 1, 3 * MaxSectionText}) {
    const std::string page =
        "<pre>" + std::string(static_cast<std::size_t>(length), 'p') + "\nnext</pre>";
    const auto lines = PreformattedLines(page);
    ASSERT_EQ(lines.size(), 2u) << length;
    const int kept = static_cast<int>(lines[0].size());
    if (length <= MaxSectionText) {
      EXPECT_EQ(kept, length);
    } else {
      // The piece that reaches the limit is the last taken.
      EXPECT_GT(kept, MaxSectionText) << length;
      EXPECT_LE(kept, MaxSectionText + 201) << length;
    }
    EXPECT_EQ(lines[1], "next");
  }
}

}  // namespace
}  // namespace kiv
