// A package far larger than any real help: every entry is still found with
// its own range, and the page loaded is exactly that entry's bytes.
#include <gtest/gtest.h>

#include <string>

#include "app/help_package.h"
#include "app/package_index_reader.h"
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

// A package whose index goes on past the lookup's bounds: entries beyond
// them are absent, however the index is made big.
TEST(HostilePackageTest, EntriesPastTheIndexBoundsAreAbsent) {
  testing::TempDir dir;
  auto package = [&](const std::string& filler, std::size_t count) {
    std::string index = "early.html,0\r\n";
    index.reserve(filler.size() * count + 64);
    for (std::size_t i = 0; i < count; ++i) index += filler;
    index += "late.html,3\r\n******,6\r\n";
    return dir.Write("kivmap.hpm", index + "abcdef");
  };
  std::int32_t start = 0, end = 0;
  // 20 MB of index in long lines; then 250000 short lines.
  for (const std::string& pkg :
       {package(std::string(1000, 'x') + ",1\r\n", 20000), package("x,1\r\n", 250000)}) {
    FindPackageEntry(pkg, "EARLY.HTML", start, end);
    EXPECT_EQ(start, 0);
    FindPackageEntry(pkg, "late.html", start, end);
    EXPECT_EQ(start, -1);
    EXPECT_EQ(end, PageBufferSize);
  }
  // Within the bounds the last entry is still found.
  FindPackageEntry(package("x,1\r\n", MaxIndexLines - 10), "late.html", start, end);
  EXPECT_EQ(start, 3);
}

}  // namespace
}  // namespace kiv
