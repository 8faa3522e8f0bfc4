#include "app/page_image_supply.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_test_support.h"

namespace kiv {
namespace {

using testing::MakePackage;
using testing::ReadFile;
using testing::TempDir;

std::string Sample(const std::string& name) {
  return ReadFile(std::string(KIV_SOURCE_DIR) + "/samples/help/images/" + name);
}

class PageImageSupplyTest : public ::testing::Test {
 protected:
  void Pack(const std::vector<std::pair<std::string, std::string>>& entries) {
    package_ = dir_.Write("kivmap.hpm", MakePackage(entries));
    stream_ = std::make_unique<FileReadStream>(package_);
  }
  std::unique_ptr<Bitmap> Supply(const std::string& src, const std::string& source = "") {
    return SupplyPageImage(package_, *stream_, source, src, dir_.File("temp.jpg"));
  }

  TempDir dir_;
  std::string package_;
  std::unique_ptr<FileReadStream> stream_;
};

TEST_F(PageImageSupplyTest, EachFormatByItsExtensionFoundIgnoringCase) {
  const std::string gif = Sample("logo.gif"), bmp = Sample("toolbar.bmp");
  const std::string jpg = Sample("window.jpg");
  Pack({{"images/LOGO.GIF", gif}, {"TOOLBAR.BMP", bmp}, {"pics/window.jpg", jpg}});

  auto g = Supply("images/logo.gif");
  ASSERT_TRUE(g);
  auto reference = Bitmap::FromFileData(gif.data(), gif.size());
  EXPECT_EQ(g->Width(), reference->Width());
  EXPECT_EQ(g->Height(), reference->Height());
  auto b = Supply("toolbar.Bmp");
  ASSERT_TRUE(b);
  EXPECT_GT(b->Width(), 0);

  // The JPEG is the last entry of the package: exactly its own bytes go to
  // the temporary file, nothing beyond.
  auto j = Supply("pics/WINDOW.jpg");
  ASSERT_TRUE(j);
  EXPECT_LE(j->BitsPerPixel(), 8);
  EXPECT_EQ(ReadFile(dir_.File("temp.jpg")), jpg);
  Pack({{"first.jpg", jpg}, {"after.gif", gif}});
  EXPECT_TRUE(Supply("first.jpg"));
  EXPECT_EQ(ReadFile(dir_.File("temp.jpg")), jpg);

  // A path is part of the name; other extensions and start-up pages get nothing.
  EXPECT_FALSE(Supply("logo.gif"));
  EXPECT_FALSE(Supply("images/logo.gif", "startup"));
  Pack({{"a.jpeg", jpg}, {"a.png", gif}, {"a", gif}});
  EXPECT_FALSE(Supply("a.jpeg"));
  EXPECT_FALSE(Supply("a.png"));
  EXPECT_FALSE(Supply("a"));
}

TEST_F(PageImageSupplyTest, DamagedOrMislabelledEntriesGiveNothing) {
  const std::string gif = Sample("logo.gif"), bmp = Sample("toolbar.bmp");
  const std::string jpg = Sample("window.jpg");
  Pack({{"cut.gif", gif.substr(0, 12)},
        {"gif.bmp", gif},
        {"bmp.gif", bmp},
        {"cut.bmp", bmp.substr(0, 40)},
        {"empty.jpg", ""},
        {"junk.jpg", std::string(3000, '\xff')},
        {"next.gif", gif}});
  for (const char* name :
       {"cut.gif", "gif.bmp", "bmp.gif", "cut.bmp", "empty.jpg", "junk.jpg", "missing.gif"}) {
    EXPECT_FALSE(Supply(name)) << name;
  }
  EXPECT_TRUE(Supply("next.gif"));

  // A temporary file that cannot be written: no picture, no failure.
  Pack({{"w.jpg", jpg}});
  std::filesystem::remove(dir_.File("temp.jpg"));
  std::filesystem::create_directory(dir_.File("temp.jpg"));
  EXPECT_FALSE(Supply("w.jpg"));
}

TEST_F(PageImageSupplyTest, AGarbageIndexOrLyingRangesGiveNothing) {
  const std::string gif = Sample("logo.gif");
  package_ =
      dir_.Write("kivmap.hpm", "x.gif,999999999\r\ny.gif,-5\r\nz.gif,10\r\n******,2\r\n" + gif);
  stream_ = std::make_unique<FileReadStream>(package_);
  EXPECT_FALSE(Supply("x.gif"));
  EXPECT_FALSE(Supply("y.gif"));
  EXPECT_FALSE(Supply("z.gif"));  // end before start
  std::filesystem::remove(package_);
  EXPECT_FALSE(Supply("x.gif"));
}

}  // namespace
}  // namespace kiv
