// Settings files and path mapping.
#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "platform/paths.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(IniFileTest, ReadsIgnoringCaseAndSpaces) {
  TempDir dir;
  std::string path = dir.Write("kivmap.ini",
                               "; comment\r\n[Other]\r\nHelp Font Size=9\r\n"
                               "[help]\r\n  help font SIZE =  14 \r\nShow Start=0\r\nName=\"x y\"\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("Help", "Help Font Size", 12), 14);
  EXPECT_FALSE(ini.ReadBool("HELP", "show start", true));
  EXPECT_TRUE(ini.ReadBool("Help", "Getting Started", true));
  EXPECT_EQ(ini.ReadString("Help", "Name", ""), "x y");
  EXPECT_EQ(ini.ReadInteger("Missing", "Help Font Size", 12), 12);
}

TEST(IniFileTest, UnreadableIntegersGiveTheDefault) {
  TempDir dir;
  IniFile ini(dir.Write("a.ini", "[Help]\nA=12x\nB=\nC=99999999999\nD=$1F\nE=-7\n"));
  EXPECT_EQ(ini.ReadInteger("Help", "A", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Help", "B", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Help", "C", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Help", "D", 5), 31);
  EXPECT_EQ(ini.ReadInteger("Help", "E", 5), -7);
}

TEST(IniFileTest, WritesKeepEveryOtherLine) {
  TempDir dir;
  const std::string before =
      "; the host's settings\r\n[Host]\r\nKey=1\r\n\r\n[Help]\r\nShow Start=1\r\n"
      "Help Font Size=12\r\n\r\n[Tail]\nUnix=yes\n";
  std::string path = dir.Write("kivmap.ini", before);
  IniFile ini(path);
  ASSERT_TRUE(ini.WriteInteger("help", "HELP FONT SIZE", 14));
  ASSERT_TRUE(ini.WriteBool("Help", "Getting Started", false));
  EXPECT_EQ(ReadFile(path),
            "; the host's settings\r\n[Host]\r\nKey=1\r\n\r\n[Help]\r\nShow Start=1\r\n"
            "HELP FONT SIZE=14\r\nGetting Started=0\r\n\r\n[Tail]\nUnix=yes\n");
  EXPECT_EQ(ini.ReadInteger("Help", "Help Font Size", 0), 14);
}

TEST(IniFileTest, FirstWriteCreatesFileAndSection) {
  TempDir dir;
  IniFile ini(dir.File("new.ini"));
  EXPECT_EQ(ini.ReadInteger("Help", "Show StartUp", 7), 7);
  ASSERT_TRUE(ini.WriteBool("Help", "Show StartUp", true));
  ASSERT_TRUE(ini.WriteString("Second", "K", "v"));
  EXPECT_EQ(ReadFile(dir.File("new.ini")), "[Help]\r\nShow StartUp=1\r\n[Second]\r\nK=v\r\n");
}

TEST(IniFileTest, FileWithoutFinalLineEndGetsOneBeforeNewSection) {
  TempDir dir;
  std::string path = dir.Write("x.ini", "[A]\r\nk=1");
  IniFile ini(path);
  ASSERT_TRUE(ini.WriteString("B", "k", "2"));
  EXPECT_EQ(ReadFile(path), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n");
  // A file ending in a lone CR: the new section must not join that line.
  path = dir.Write("cr.ini", "[A]\r\nk=1\r\n\r");
  IniFile cr(path);
  ASSERT_TRUE(cr.WriteString("B", "k", "2"));
  EXPECT_EQ(cr.ReadString("B", "k", "none"), "2");
  EXPECT_EQ(cr.ReadString("A", "k", "none"), "1");
  EXPECT_EQ(ReadFile(path), "[A]\r\nk=1\r\n\r\n[B]\r\nk=2\r\n");
}

TEST(IniFileTest, UnwritableFileReportsFailure) {
  IniFile ini("/proc/no-such-dir/kivmap.ini");
  EXPECT_FALSE(ini.WriteInteger("Help", "Help Font Size", 12));
}

TEST(NativePathTest, BackslashesAndLetterCaseAreMapped) {
  TempDir dir;
  dir.Write("Images/Logo.GIF", "x");
  std::string base = dir.Path();
  EXPECT_EQ(NativePath(base + "\\images\\logo.gif"), base + "/Images/Logo.GIF");
  EXPECT_EQ(NativePath(base + "/IMAGES/LOGO.gif"), base + "/Images/Logo.GIF");
  // A file still to be created keeps its own name inside the mapped folder.
  EXPECT_EQ(NativePath(base + "\\images\\new.gif"), base + "/Images/new.gif");
  EXPECT_EQ(NativePath(base + "/nothere/x"), base + "/nothere/x");
  EXPECT_TRUE(FileExists(NativePath(base + "\\IMAGES\\logo.gif")));
  EXPECT_EQ(NativePath(""), "");
}

TEST(ExecutableDirTest, IsTheTestBinaryFolderUnlessOverridden) {
  EXPECT_EQ(ExecutableDir(), KIV_BIN_DIR);
  SetExecutableDirForTesting("/some/dir");
  EXPECT_EQ(ExecutableDir(), "/some/dir");
  SetExecutableDirForTesting("");
  EXPECT_EQ(ExecutableDir(), KIV_BIN_DIR);
}

}  // namespace
}  // namespace kiv
