// A package far larger than any real help: every entry is still found with
// its own range, and the page loaded is exactly that entry's bytes.
#include <gtest/gtest.h>

#include <string>

#include "app/help_package.h"
#include "support/test_files.h"

namespace kiv {
namespace {

TEST(HostilePackageTest, HundredThousandEntries) {
  constexpr int kEntries = 100000;
  std::string index, data;
  index.reserve(static_cast<std::size_t>(kEntries) * 20);
  for (int i = 0; i < kEntries; ++i) {
    index += "page" + std::to_string(i) + ".html," + std::to_string(data.size()) + "\r\n";
    data += "<P>" + std::to_string(i) + ";";
  }
  index += "******," + std::to_string(data.size()) + "\r\n";
  const std::string head = "START," + std::to_string(index.size() + 20) + "\r\n";
  std::string padded = head + index;
  padded.resize(index.size() + 20, ' ');
  testing::TempDir dir;
  const std::string pkg = dir.Write("kivmap.hpm", padded + data);

  THelpPackage package(pkg);
  for (int i : {0, 1, 4242, kEntries - 1}) {
    package.LoadPage("PAGE" + std::to_string(i) + ".HTML");
    EXPECT_EQ(std::string(package.PageBuffer(), static_cast<std::size_t>(package.PageLength())),
              "<P>" + std::to_string(i) + ";");
  }
  std::int32_t start = 0, end = 0;
  FindPackageEntry(pkg, "page100000.html", start, end);
  EXPECT_EQ(start, -1);
}

}  // namespace
}  // namespace kiv
