// The golden tests' account of how two dumps differ.
#include "json_lines_diff.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace kiv::testing {
namespace {

std::string FirstLine(const std::string& s) {
  return s.substr(0, s.find('\n'));
}

// A dump: a header line, then the given section lines, each ending a line.
std::string Dump(std::initializer_list<std::string> sections) {
  std::string out = R"({"anchors":{},"height":40,"title":""})";
  out += '\n';
  for (const std::string& s : sections) out += s + '\n';
  return out;
}

TEST(JsonLinesDiffTest, EqualDumpsAndDumpsDifferingOnlyInSpellingHaveNoDifference) {
  const std::string dump = Dump({R"({"class":"TSection","runs":[{"pos":0}],"text":"a"})"});
  EXPECT_EQ(FirstJsonLinesDifference(dump, dump), "");
  EXPECT_EQ(
      FirstJsonLinesDifference(Dump({R"({"b":1.0,"a":[1, 2]})"}), Dump({R"({"a":[1,2],"b":1})"})),
      "");
}

TEST(JsonLinesDiffTest, NamesTheFirstDifferingFieldByItsPathInsideNestedSections) {
  auto table = [](const std::string& lineHt, const std::string& width) {
    const std::string first = R"({"class":"TSection","lines":[{"descent":4,"lineHt":20}]})";
    const std::string second =
        R"({"class":"TSection","lines":[{"descent":4,"lineHt":)" + lineHt + "}]}";
    return Dump({R"({"class":"ThtmlTable","rows":[[{"sections":[]}],[{"sections":[)" + first + "," +
                 second + R"(]}]],"totalWidth":)" + width + "}"});
  };
  // Two fields differ; rows comes before totalWidth in key order.
  EXPECT_EQ(FirstJsonLinesDifference(table("20", "100"), table("24", "120")),
            "line 2, section 1 (ThtmlTable): rows[1][0].sections[1].lines[0].lineHt: 20 → 24\n"
            "(1 of 2 lines differ; expected → actual)");
}

TEST(JsonLinesDiffTest, TellsAbsentFieldsItemsAndSectionsAndCountsTheLinesThatDiffer) {
  const std::string a = Dump({R"({"class":"TSection","runs":[{"pos":0}],"text":"some text"})",
                              R"({"class":"TParagraphSpace","height":14})"});
  const std::string b =
      Dump({R"({"class":"TSection","runs":[{"pos":0},{"pos":3}],"text":"some text"})",
            R"({"class":"TParagraphSpace","height":14,"top":2})", R"({"class":"THorzLine"})"});
  EXPECT_EQ(FirstJsonLinesDifference(a, b),
            "line 2, section 1 (TSection \"some text\"): runs[1]: (absent) → {\"pos\":3}\n"
            "(3 of 4 lines differ; expected → actual)");
  EXPECT_EQ(FirstLine(FirstJsonLinesDifference(b, a)),
            "line 2, section 1 (TSection \"some text\"): runs[1]: {\"pos\":3} → (absent)");
  EXPECT_EQ(FirstJsonLinesDifference(Dump({}), Dump({R"({"class":"TPage"})"})),
            "line 2, section 1 (TPage): (the whole line): (absent) → {\"class\":\"TPage\"}\n"
            "(1 of 2 lines differ; expected → actual)");
}

TEST(JsonLinesDiffTest, ShowsColoursInHexAndLongTextCut) {
  EXPECT_EQ(FirstLine(FirstJsonLinesDifference(R"({"anchors":{"TOP":0},"color":2147483666})",
                                               R"({"anchors":{"TOP":0},"color":255})")),
            "line 1, header: color: 0x80000012 → 0x000000FF");
  const std::string text(40, 'w');
  const std::string d =
      FirstJsonLinesDifference(Dump({R"({"class":"TSection","text":")" + text + "\"}"}),
                               Dump({R"({"class":"TSection","text":")" + text + "v\"}"}));
  EXPECT_NE(d.find("(TSection \"" + std::string(30, 'w') + "…\"): text: "), std::string::npos) << d;
}

TEST(JsonLinesDiffTest, ComparesLinesThatAreNotJsonAsText) {
  EXPECT_EQ(FirstJsonLinesDifference(Dump({"oops"}), Dump({R"({"class":"TPage"})"})),
            "line 2, section 1 (TPage): (the whole line, not JSON): \"oops\" → "
            "\"{\\\"class\\\":\\\"TPage\\\"}\"\n(1 of 2 lines differ; expected → actual)");
}

}  // namespace
}  // namespace kiv::testing
