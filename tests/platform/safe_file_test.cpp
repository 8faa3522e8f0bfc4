// Files beside the executable in a folder others can write: planted links,
// FIFOs and devices, files of other users, and huge settings files.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "platform/ini_file.h"
#include "platform/safe_file.h"
#include "support/test_files.h"

namespace kiv {
namespace {

using testing::ReadFile;
using testing::TempDir;

int EntriesIn(const std::string& dir) {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(SafeFileTest, APlantedLinkIsReplacedNeverFollowed) {
  TempDir dir;
  const std::string precious = dir.Write("precious.txt", "the user's own file");
  const std::string target = dir.File("temp.jpg");
  ASSERT_EQ(::symlink(precious.c_str(), target.c_str()), 0);
  ASSERT_TRUE(ReplaceFileSafely(target, "JPEG bytes"));
  EXPECT_EQ(ReadFile(precious), "the user's own file");
  struct stat st {};
  ASSERT_EQ(::lstat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ReadFile(target), "JPEG bytes");
  // A dangling link to a file still to be made does not make it either.
  const std::string dangling = dir.File("message.$$$");
  ASSERT_EQ(::symlink(dir.File("made-by-link").c_str(), dangling.c_str()), 0);
  ASSERT_TRUE(ReplaceFileSafely(dangling, "h\r\n"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("made-by-link")));
  EXPECT_EQ(ReadFile(dangling), "h\r\n");
  // Failures change nothing and leave no temporary file.
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_FALSE(ReplaceFileSafely(dir.File("folder"), "x"));
  EXPECT_FALSE(ReplaceFileSafely(dir.File("none/x"), "x"));
  EXPECT_EQ(EntriesIn(dir.Path()), 4);
}

TEST(SafeFileTest, OnlyRegularFilesWithinTheBoundAreRead) {
  TempDir dir;
  std::string bytes = "left over";
  EXPECT_EQ(ReadFileSafely(dir.Write("a", "abc"), 3, bytes), SafeRead::Read);
  EXPECT_EQ(bytes, "abc");
  EXPECT_EQ(ReadFileSafely(dir.File("a"), 2, bytes), SafeRead::TooLarge);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(ReadFileHeadSafely(dir.File("a"), 2, bytes), SafeRead::Read);
  EXPECT_EQ(bytes, "ab");
  EXPECT_EQ(ReadFileSafely(dir.File("missing"), 10, bytes), SafeRead::Missing);

  // A FIFO (nobody writing) and a link to an endless device: refused at
  // once, without waiting or reading.
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/dev/zero", dir.File("zero").c_str()), 0);
  ASSERT_EQ(::symlink(dir.File("a").c_str(), dir.File("link").c_str()), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadFileSafely(dir.File("fifo"), 1 << 20, bytes), SafeRead::Refused);
  EXPECT_EQ(ReadFileSafely(dir.File("zero"), 1 << 20, bytes), SafeRead::Refused);
  EXPECT_EQ(ReadFileSafely("/dev/zero", 1 << 20, bytes), SafeRead::Refused);
  EXPECT_EQ(ReadFileSafely(dir.File("link"), 1 << 20, bytes), SafeRead::Refused);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(ReadFileSafely(dir.Path(), 1 << 20, bytes), SafeRead::Refused);
}

TEST(SafeFileTest, AFileOfAnotherUserIsNotRead) {
  if (::getuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
  TempDir dir;
  const std::string path = dir.Write("kivmap.ini", "[Help]\r\nHelp Font Size=9\r\n");
  ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);  // nobody
  std::string bytes;
  EXPECT_EQ(ReadFileSafely(path, 1 << 20, bytes), SafeRead::Refused);
  EXPECT_EQ(IniFile(path).ReadInteger("Help", "Help Font Size", 12), 12);
}

TEST(IniFileSafetyTest, SettingsThroughPlantedLinksLandInTheSettingsFile) {
  TempDir dir;
  const std::string own = dir.Write("own.txt", "[Help]\r\nHelp Font Size=9\r\n");
  const std::string ini = dir.File("kivmap.ini");
  ASSERT_EQ(::symlink(own.c_str(), ini.c_str()), 0);
  // The temporary copy's old name, planted too.
  ASSERT_EQ(::symlink(own.c_str(), (ini + ".tmp").c_str()), 0);
  IniFile file(ini);
  EXPECT_EQ(file.ReadInteger("Help", "Help Font Size", 12), 12) << "a link is not read";
  ASSERT_TRUE(file.WriteInteger("Help", "Help Font Size", 14));
  EXPECT_EQ(ReadFile(own), "[Help]\r\nHelp Font Size=9\r\n");
  EXPECT_EQ(ReadFile(ini), "[Help]\r\nHelp Font Size=14\r\n");
  EXPECT_EQ(file.ReadInteger("Help", "Help Font Size", 12), 14);
}

TEST(IniFileSafetyTest, AHugeSettingsFileIsReadAsEmptyAndLeftAlone) {
  TempDir dir;
  // 20 MB: blank lines, then the key.
  std::string huge(20 << 20, '\n');
  huge += "[Help]\r\nHelp Font Size=9\r\n";
  const std::string path = dir.Write("kivmap.ini", huge);
  IniFile file(path);
  EXPECT_EQ(file.ReadInteger("Help", "Help Font Size", 12), 12);
  EXPECT_FALSE(file.WriteInteger("Help", "Help Font Size", 14));
  EXPECT_EQ(std::filesystem::file_size(path), huge.size());
  // Just within the bound it is read and written as ever.
  std::string big(MaxSettingsFileSize - 40, '\n');
  big += "[Help]\r\nHelp Font Size=9\r\n";
  dir.Write("kivmap.ini", big);
  EXPECT_EQ(file.ReadInteger("Help", "Help Font Size", 12), 9);
  EXPECT_TRUE(file.WriteInteger("Help", "Help Font Size", 14));
  EXPECT_EQ(file.ReadInteger("Help", "Help Font Size", 12), 14);
}

// A settings file that is there but cannot be read (no read permission)
// keeps every line: it reads as empty and a write is refused rather than
// replacing it with the one key written. Root reads any file, so as root the
// attempt runs in a child as the owner of the folder and the file.
TEST(IniFileSafetyTest, ASettingsFileThatCannotBeReadIsNotReplaced) {
  TempDir dir;
  const std::string text = "[Help]\r\nHelp Font Size=9\r\n[Host]\r\nLast Page=intro.html\r\n";
  const std::string path = dir.Write("kivmap.ini", text);
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  const auto attempt = [&path] {
    IniFile file(path);
    return file.ReadInteger("Help", "Help Font Size", 12) == 12 &&
           !file.WriteInteger("Help", "Help Font Size", 14);
  };
  if (::getuid() != 0) {
    EXPECT_TRUE(attempt());
  } else {
    ASSERT_EQ(::chown(dir.Path().c_str(), 65534, 65534), 0);  // nobody
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    EXPECT_EXIT(
        {
          if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
          ::_exit(attempt() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
  }
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadFile(path), text);
  EXPECT_EQ(EntriesIn(dir.Path()), 1) << "no temporary file is left";
}

// A socket at the settings file's name is no file to read: it is refused at
// once and, like a planted link, replaced by the first write.
TEST(IniFileSafetyTest, ASocketAtTheSettingsNameIsRefusedAndReplaced) {
  TempDir dir;
  const std::string path = dir.File("kivmap.ini");
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof addr.sun_path);
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
  std::string bytes;
  EXPECT_EQ(ReadFileSafely(path, 1 << 20, bytes), SafeRead::Refused);
  IniFile file(path);
  EXPECT_EQ(file.ReadInteger("Help", "Help Font Size", 12), 12);
  EXPECT_TRUE(file.WriteInteger("Help", "Help Font Size", 14));
  EXPECT_EQ(ReadFile(path), "[Help]\r\nHelp Font Size=14\r\n");
  ::close(fd);
}

}  // namespace
}  // namespace kiv
