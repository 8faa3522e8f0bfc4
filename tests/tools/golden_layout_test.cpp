// Golden layout tests: each page in tests/data/layout is built and laid out
// with fixed metrics by kivdump, and the dump must equal the expectation
// beside it. Each page is a test of its own, Pages/GoldenLayoutTest.Page/STEM
// (and the CTest test golden_STEM); a failure names the first field that
// differs. tests/data/layout/regenerate.sh [PAGE ...] rewrites expectations.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json_lines_diff.h"
#include "run_tool.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::FirstJsonLinesDifference;
using testing::ReadFile;
using testing::RunTool;

const std::filesystem::path& LayoutDir() {
  static const std::filesystem::path dir =
      std::filesystem::path(KIV_SOURCE_DIR) / "tests/data/layout";
  return dir;
}

// The stems of the pages ("01_plain_text"), in name order.
std::vector<std::string> Pages() {
  std::vector<std::string> pages;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(LayoutDir(), error)) {
    if (entry.is_regular_file() && entry.path().extension() == ".html")
      pages.push_back(entry.path().stem().string());
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

class GoldenLayoutTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenLayoutTest, Page) {
  const std::string page = GetParam();
  const std::string path = (LayoutDir() / (page + ".html")).string();
  auto result = RunTool("kivdump", {"sections", path, "--metrics", "fixed"});
  ASSERT_EQ(result.exitCode, 0) << page << ": " << result.err;
  const std::string expected = ReadFile((LayoutDir() / (page + ".expected.jsonl")).string());
  ASSERT_FALSE(expected.empty()) << "no expectation for " << page
                                 << "; run tests/data/layout/regenerate.sh " << page;
  if (result.out == expected) return;
  const std::string difference = FirstJsonLinesDifference(expected, result.out);
  ADD_FAILURE() << page << ": "
                << (difference.empty() ? "the same values written another way" : difference)
                << "\nregenerate with tests/data/layout/regenerate.sh " << page
                << " and review the diff";
}

INSTANTIATE_TEST_SUITE_P(Pages, GoldenLayoutTest, ::testing::ValuesIn(Pages()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

// The folder is read when the tests are listed: an empty or missing one must
// fail rather than run nothing.
TEST(GoldenLayoutPagesTest, TheFolderHoldsThePages) {
  EXPECT_GE(Pages().size(), 30u);
}

}  // namespace
}  // namespace kiv
