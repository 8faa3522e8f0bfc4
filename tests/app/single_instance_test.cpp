#include "app/single_instance.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/app_test_support.h"
#include "platform/file_error.h"
#include "platform/instance_lock.h"
#include "platform/local_channel.h"
#include "platform/paths.h"
#include "platform/user_runtime_dir.h"

namespace kiv {
namespace {

using testing::PrivateRuntimeDir;
using testing::ReadFile;
using testing::TempDir;

struct FakeTarget : THelpRequestTarget {
  std::vector<THelpRequest> shown;
  int fronted = 0;
  void ShowHelpPage(const std::string& kind, const std::string& fileName, bool printEnabled,
                    const std::string& anchor) override {
    EXPECT_TRUE(printEnabled);
    shown.push_back({kind, fileName, anchor});
  }
  void BringToFront() override { ++fronted; }
};

// Runs the event loop until done() or a second has passed.
template <class F>
bool PumpUntil(F done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

class ExeDirScope {
 public:
  explicit ExeDirScope(const std::string& dir) { SetExecutableDirForTesting(dir); }
  ~ExeDirScope() { SetExecutableDirForTesting(""); }
};

TEST(InstanceLockTest, OneHolderAtATimeAndAKilledHolderReleases) {
  PrivateRuntimeDir runtime;
  {
    InstanceLock first("kivhelp");
    ASSERT_EQ(first.GetState(), InstanceLock::Created);
    EXPECT_EQ(InstanceLock("kivhelp").GetState(), InstanceLock::AlreadyExists);
    EXPECT_EQ(InstanceLock("other").GetState(), InstanceLock::Created);
  }
  EXPECT_EQ(InstanceLock("kivhelp").GetState(), InstanceLock::Created);

  // A holder killed outright must not block the next start.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceLock held("kivhelp");
    const char state = held.GetState() == InstanceLock::Created ? 'y' : 'n';
    (void)!::write(ready[1], &state, 1);
    for (;;) ::pause();
  }
  char state = 0;
  ASSERT_EQ(::read(ready[0], &state, 1), 1);
  EXPECT_EQ(state, 'y');
  EXPECT_EQ(InstanceLock("kivhelp").GetState(), InstanceLock::AlreadyExists);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(InstanceLock("kivhelp").GetState(), InstanceLock::Created);
}

TEST(InstanceLockTest, ARuntimeFolderOthersCanEnterIsNotUsed) {
  PrivateRuntimeDir runtime;
  EXPECT_EQ(UserRuntimeDir(), runtime.Path());
  ::chmod(runtime.Path().c_str(), 0755);
  const std::string fallback = UserRuntimeDir();
  EXPECT_NE(fallback, runtime.Path());
  EXPECT_EQ(fallback, "/tmp/kivhelp-" + std::to_string(::getuid()));
  EXPECT_EQ(InstanceLock("a/b").GetState(), InstanceLock::Failed);
}

TEST(LocalChannelTest, DeliversMessagesReplacesStaleChannelsAndDropsGarbage) {
  PrivateRuntimeDir runtime;
  EXPECT_EQ(PostChannelMessage("KivHelp", 1, 0), ChannelPostResult::NoReceiver);
  EXPECT_EQ(PostChannelMessage("../KivHelp", 1, 0), ChannelPostResult::Failed);

  // A socket file left by an instance that was killed.
  const std::string path = LocalChannelPath("KivHelp");
  ASSERT_FALSE(path.empty());
  {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
  }
  EXPECT_EQ(PostChannelMessage("KivHelp", 1, 0), ChannelPostResult::NoReceiver);

  std::vector<TMsg> received;
  SetApplicationMessageHook([&](TMsg& m, bool& handled) {
    received.push_back(m);
    handled = true;
  });
  LocalChannelServer server("KivHelp");
  ASSERT_TRUE(server.Listen());

  // Garbage on a connection is dropped without a message.
  {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, path.c_str());
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const char junk[40] = "GET / HTTP/1.0\r\n\r\n";
    ASSERT_EQ(::send(fd, junk, sizeof junk, 0), static_cast<ssize_t>(sizeof junk));
    ::close(fd);
  }
  EXPECT_EQ(PostChannelMessage("KivHelp", 1, 0), ChannelPostResult::Posted);
  EXPECT_EQ(PostChannelMessage("KivHelp", -7, 1234567890123LL), ChannelPostResult::Posted);
  ASSERT_TRUE(PumpUntil([&] { return received.size() >= 2; }));
  PumpUntil([] { return false; });  // anything more would arrive now
  SetApplicationMessageHook({});
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].Message, RegisterWindowMessage("kivhelp"));
  EXPECT_EQ(received[0].WParam, 1);
  EXPECT_EQ(received[1].WParam, -7);
  EXPECT_EQ(received[1].LParam, 1234567890123LL);
}

TEST(MessageFileTest, ThreeLinesRoundTripAndHostileContent) {
  TempDir dir;
  const std::string path = dir.File("message.$$$");
  WriteMessageFile(path, {"h", "topic.html", "#sec2"});
  EXPECT_EQ(ReadFile(path), "h\r\ntopic.html\r\n#sec2\r\n");
  EXPECT_EQ(ReadMessageFile(path), (THelpRequest{"h", "topic.html", "#sec2"}));

  WriteMessageFile(path, {});
  EXPECT_EQ(ReadFile(path), "\r\n\r\n\r\n");

  // Line breaks inside an argument cannot shift the lines after it; other
  // bytes are written unchanged, however long.
  const std::string huge(100000, 'x');
  const std::string odd = "a\x01\x1b\xe9\xff b";
  WriteMessageFile(path, {"h\r\nevil", odd, huge});
  EXPECT_EQ(ReadMessageFile(path), (THelpRequest{"h  evil", odd, huge}));

  // Short files read missing lines as empty; lone LF line ends are accepted.
  dir.Write("message.$$$", "start\nSTARTUP.HTML");
  EXPECT_EQ(ReadMessageFile(path), (THelpRequest{"start", "STARTUP.HTML", ""}));
  dir.Write("message.$$$", "");
  EXPECT_EQ(ReadMessageFile(path), THelpRequest{});

  // One enormous line is cut, not held whole.
  dir.Write("message.$$$", std::string(10 << 20, 'y') + "\r\nb\r\nc\r\n");
  const THelpRequest big = ReadMessageFile(path);
  EXPECT_EQ(big.Kind.size(), std::size_t{1} << 20);
  EXPECT_EQ(big.FileName, "b");
  EXPECT_EQ(big.Anchor, "c");

  EXPECT_THROW(ReadMessageFile(dir.File("missing.$$$")), EInOutError);
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_THROW(ReadMessageFile(dir.File("folder")), EInOutError);
  // A folder in the way of the file, or no folder to write into.
  WriteMessageFile(path, {"h", "a.html", ""});
  EXPECT_THROW(WriteMessageFile(dir.File("folder"), {"h", "b.html", ""}), EInOutError);
  EXPECT_THROW(WriteMessageFile(dir.File("none/message.$$$"), {"h", "b.html", ""}), EInOutError);
  EXPECT_EQ(ReadFile(path), "h\r\na.html\r\n\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2)
      << "no temporary file is left behind";
}

TEST(HandleAppMessageTest, OnlyTheHelpMessageIsTakenAndBlanksGetDefaults) {
  TempDir dir;
  ExeDirScope exe(dir.Path());
  RegisterHelpMessage();
  FakeTarget target;

  TMsg other{HelpMessageId + 1, 1, 0};
  bool handled = false;
  HandleAppMessage(other, handled, target);
  EXPECT_FALSE(handled);

  TMsg wrongParam{HelpMessageId, 2, 0};
  HandleAppMessage(wrongParam, handled, target);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(target.shown.empty());

  dir.Write("message.$$$", "\r\n  \r\n#sec2\r\n");
  TMsg help{HelpMessageId, 1, 0};
  handled = false;
  HandleAppMessage(help, handled, target);
  EXPECT_TRUE(handled);
  ASSERT_EQ(target.shown.size(), 1u);
  EXPECT_EQ(target.shown[0], (THelpRequest{"h", "contents.html", ""}));
  EXPECT_EQ(target.fronted, 1);

  // No message file: the top-level handler reports it and the page stays.
  std::filesystem::remove(dir.File("message.$$$"));
  testing::TakeMessageBoxes();
  SetApplicationMessageHook([&](TMsg& m, bool& h) { HandleAppMessage(m, h, target); });
  EXPECT_TRUE(DispatchApplicationMessage(help));
  SetApplicationMessageHook({});
  EXPECT_EQ(target.shown.size(), 1u);
  const auto boxes = testing::TakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("message.$$$"), std::string::npos);
}

TEST(HandOffTest, SecondStartWritesTheFileAndTheFirstShowsThePage) {
  PrivateRuntimeDir runtime;
  TempDir dir;
  ExeDirScope exe(dir.Path());
  FakeTarget target;
  RegisterHelpMessage();
  SetApplicationMessageHook([&](TMsg& m, bool& h) { HandleAppMessage(m, h, target); });
  LocalChannelServer server(HelpMessageName);
  ASSERT_TRUE(server.Listen());

  EXPECT_EQ(HandOffToRunningInstance({"h", "topic.html", "#sec2"}), 0);
  EXPECT_EQ(ReadFile(dir.File("message.$$$")), "h\r\ntopic.html\r\n#sec2\r\n");
  ASSERT_TRUE(PumpUntil([&] { return !target.shown.empty(); }));
  EXPECT_EQ(target.shown[0], (THelpRequest{"h", "topic.html", "#sec2"}));

  // A message file that cannot be written is reported, and nothing is posted.
  std::filesystem::remove(dir.File("message.$$$"));
  std::filesystem::create_directory(dir.File("message.$$$"));
  std::string reported;
  EXPECT_EQ(HandOffToRunningInstance({"h", "other.html", ""},
                                     [&](const std::string& m) { reported = m; }),
            1);
  EXPECT_NE(reported.find("message.$$$"), std::string::npos);
  PumpUntil([] { return false; });
  EXPECT_EQ(target.shown.size(), 1u);
  SetApplicationMessageHook({});
}

}  // namespace
}  // namespace kiv
