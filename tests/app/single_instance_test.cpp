#include "app/single_instance.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
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
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/user_runtime_dir.h"
#include "platform/window_activation.h"

namespace kiv {
namespace {

using testing::HomeScope;
using testing::PrivateRuntimeDir;
using testing::ReadFile;
using testing::TempDir;

struct FakeTarget : THelpRequestTarget {
  std::vector<THelpRequest> shown;
  int fronted = 0;
  // The activation token of each BringToFront.
  std::vector<std::string> tokens;
  void ShowHelpPage(const std::string& kind, const std::string& fileName, bool printEnabled,
                    const std::string& anchor) override {
    EXPECT_TRUE(printEnabled);
    shown.push_back({kind, fileName, anchor});
  }
  void BringToFront(const std::string& activationToken) override {
    ++fronted;
    tokens.push_back(activationToken);
  }
};

// Sets XDG_ACTIVATION_TOKEN (or clears it for null) for one test.
class ActivationTokenScope {
 public:
  explicit ActivationTokenScope(const char* token) {
    if (token) {
      ::setenv("XDG_ACTIVATION_TOKEN", token, 1);
    } else {
      ::unsetenv("XDG_ACTIVATION_TOKEN");
    }
  }
  ~ActivationTokenScope() { ::unsetenv("XDG_ACTIVATION_TOKEN"); }
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
  TempDir home;
  HomeScope homeScope(home.Path());
  EXPECT_EQ(UserRuntimeDir(), runtime.Path());
  ::chmod(runtime.Path().c_str(), 0755);
  const std::string fallback = UserRuntimeDir();
  EXPECT_NE(fallback, runtime.Path());
  EXPECT_EQ(fallback, home.Path() + "/.cache/kivhelp");
  EXPECT_EQ(InstanceLock("a/b").GetState(), InstanceLock::Failed);
}

TEST(InstanceLockTest, TheRuntimeFolderIsCheckedWithoutFollowingLinks) {
  TempDir home;
  HomeScope homeScope(home.Path());
  PrivateRuntimeDir runtime;
  // A link to a private folder is not one: the fallback in the home is used.
  const std::string link = home.File("link");
  ASSERT_EQ(::symlink(runtime.Path().c_str(), link.c_str()), 0);
  ::setenv("XDG_RUNTIME_DIR", link.c_str(), 1);
  EXPECT_EQ(UserRuntimeDir(), home.Path() + "/.cache/kivhelp");
  struct stat st {};
  ASSERT_EQ(::lstat((home.Path() + "/.cache/kivhelp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // A fallback folder of looser mode is tightened; a link there is refused.
  ::chmod((home.Path() + "/.cache/kivhelp").c_str(), 0777);
  EXPECT_EQ(UserRuntimeDir(), home.Path() + "/.cache/kivhelp");
  ASSERT_EQ(::lstat((home.Path() + "/.cache/kivhelp").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  std::filesystem::remove(home.Path() + "/.cache/kivhelp");
  ASSERT_EQ(::symlink(runtime.Path().c_str(), (home.Path() + "/.cache/kivhelp").c_str()), 0);
  EXPECT_EQ(UserRuntimeDir(), "");
  EXPECT_EQ(InstanceLock("kivhelp").GetState(), InstanceLock::Failed);
  // A home others can write gives no fallback either.
  std::filesystem::remove(home.Path() + "/.cache/kivhelp");
  ::chmod((home.Path() + "/.cache").c_str(), 0777);
  EXPECT_EQ(UserRuntimeDir(), "");
}

TEST(InstanceLockTest, EachInstallHasItsOwnLockAndChannel) {
  TempDir a, b;
  std::string lockA, channelA;
  {
    ExeDirScope exe(a.Path());
    lockA = InstanceLockName();
    channelA = HandOffChannelName();
  }
  ExeDirScope exe(b.Path());
  EXPECT_NE(InstanceLockName(), lockA);
  EXPECT_NE(HandOffChannelName(), channelA);
  EXPECT_EQ(lockA.rfind("kivhelp-", 0), 0u);
  EXPECT_EQ(lockA.size(), 16u);
  EXPECT_FALSE(LocalChannelPath(channelA).empty());
}

TEST(LocalChannelTest, ALongRuntimePathIsReachedThroughAShorterName) {
  PrivateRuntimeDir runtime;
  std::string deep = runtime.Path();
  while (deep.size() < 110) {
    deep += "/" + std::string(20, 'd');
    ASSERT_EQ(::mkdir(deep.c_str(), 0700), 0);
  }
  ::setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
  const std::string path = LocalChannelPath("KivHelp-0123abcd");
  ASSERT_FALSE(path.empty());
  EXPECT_LT(path.size(), sizeof(sockaddr_un::sun_path));
  std::vector<TMsg> received;
  SetApplicationMessageHook([&](TMsg& m, bool& handled) {
    received.push_back(m);
    handled = true;
  });
  {
    LocalChannelServer server("KivHelp-0123abcd", "kivhelp");
    std::string error;
    ASSERT_TRUE(server.Listen(&error)) << error;
    EXPECT_TRUE(std::filesystem::exists(deep + "/KivHelp-0123abcd"));
    EXPECT_EQ(PostChannelMessage("KivHelp-0123abcd", 1, 0, "file=a.html\n"),
              ChannelPostResult::Posted);
    ASSERT_TRUE(PumpUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received[0].Data, "file=a.html\n");
  }
  SetApplicationMessageHook({});
  EXPECT_FALSE(std::filesystem::exists(deep + "/KivHelp-0123abcd")) << "removed when it ends";
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
  LocalChannelServer server("KivHelp", "kivhelp");
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
  EXPECT_EQ(PostChannelMessage("KivHelp", -7, 1234567890123LL, "kind=h\n"),
            ChannelPostResult::Posted);
  EXPECT_EQ(PostChannelMessage("KivHelp", 1, 0, std::string(MaxChannelData + 1, 'x')),
            ChannelPostResult::Failed);
  ASSERT_TRUE(PumpUntil([&] { return received.size() >= 2; }));
  PumpUntil([] { return false; });  // anything more would arrive now
  SetApplicationMessageHook({});
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].Message, RegisterWindowMessage("kivhelp"));
  EXPECT_EQ(received[0].WParam, 1);
  EXPECT_EQ(received[1].WParam, -7);
  EXPECT_EQ(received[1].LParam, 1234567890123LL);
  EXPECT_EQ(received[0].Data, "");
  EXPECT_EQ(received[1].Data, "kind=h\n");
}

TEST(MessageFileTest, ThreeLinesForTheHostAndTheRequestInTheMessage) {
  TempDir dir;
  const std::string path = dir.File("message.$$$");
  WriteMessageFile(path, {"h", "topic.html", "#sec2"});
  EXPECT_EQ(ReadFile(path), "h\r\ntopic.html\r\n#sec2\r\n");
  WriteMessageFile(path, {});
  EXPECT_EQ(ReadFile(path), "\r\n\r\n\r\n");

  // Line breaks inside an argument cannot shift the lines after it, in the
  // file or in the message; other bytes pass unchanged, however long.
  const std::string huge(100000, 'x');
  const std::string odd = "a\x01\x1b\xe9\xff b";
  WriteMessageFile(path, {"h\r\nevil", odd, huge});
  EXPECT_EQ(ReadFile(path), "h  evil\r\n" + odd + "\r\n" + huge + "\r\n");
  EXPECT_EQ(DecodeHandOff(EncodeHandOff({"h\r\nevil", odd, huge})),
            (THelpRequest{"h  evil", odd, huge}));
  EXPECT_EQ(DecodeHandOff(EncodeHandOff({})), THelpRequest{});
  // Fields a later sender adds are skipped; the last of a repeated key wins;
  // a part beyond the bound is cut.
  EXPECT_EQ(DecodeHandOff("token=abc\nfile=a.html\nkind=h\nfile=b.html\nnoise\n"),
            (THelpRequest{"h", "b.html", ""}));
  EXPECT_EQ(DecodeHandOff("anchor=" + std::string(MaxRequestPart + 10, 'y')).Anchor.size(),
            MaxRequestPart);
  EXPECT_EQ(DecodeHandOff("later=1\nkind=h\nfile=c.html\n"), (THelpRequest{"h", "c.html", ""}));

  // A folder in the way of the file, or no folder to write into.
  std::filesystem::create_directory(dir.File("folder"));
  WriteMessageFile(path, {"h", "a.html", ""});
  EXPECT_THROW(WriteMessageFile(dir.File("folder"), {"h", "b.html", ""}), EInOutError);
  EXPECT_THROW(WriteMessageFile(dir.File("none/message.$$$"), {"h", "b.html", ""}), EInOutError);
  EXPECT_EQ(ReadFile(path), "h\r\na.html\r\n\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2)
      << "no temporary file is left behind";
}

TEST(MessageFileTest, TheActivationTokenTravelsBesideTheRequest) {
  const THelpRequest request{"h", "topic.html", "#sec2"};
  const std::string token = "kwin-7_TIME99";
  const std::string data = EncodeHandOff(request, token);
  EXPECT_EQ(DecodeHandOff(data), request) << "the token is not part of the request";
  EXPECT_EQ(HandOffActivationToken(data), token);
  // No token, or one that is not usable, is not sent at all.
  EXPECT_EQ(EncodeHandOff(request), EncodeHandOff(request, ""));
  EXPECT_EQ(data.find("token="), EncodeHandOff(request).size()) << data;
  for (const std::string& bad : {std::string("a\nkind=start"), std::string("a b"),
                                std::string(MaxActivationTokenLength + 1, 't')}) {
    const std::string sent = EncodeHandOff(request, bad);
    EXPECT_EQ(sent, EncodeHandOff(request));
    EXPECT_EQ(DecodeHandOff(sent), request);
  }
  // What the receiver takes: the last token line, and none that a sender
  // other than ours could have made unusable.
  EXPECT_EQ(HandOffActivationToken("kind=h\ntoken=first\ntoken=second\n"), "second");
  EXPECT_EQ(HandOffActivationToken("kind=h\nfile=a.html\n"), "");
  EXPECT_EQ(HandOffActivationToken("token=\n"), "");
  EXPECT_EQ(HandOffActivationToken("token=has space\n"), "");
  EXPECT_EQ(HandOffActivationToken("token=" + std::string(MaxActivationTokenLength + 1, 'x')), "");
  EXPECT_EQ(HandOffActivationToken("tokens=abc\nxtoken=abc\ntoken"), "");
  EXPECT_EQ(HandOffActivationToken("token=abc=def"), "abc=def");
}

TEST(HandleAppMessageTest, OnlyTheHelpMessageIsTakenAndBlanksGetDefaults) {
  TempDir dir;
  ExeDirScope exe(dir.Path());
  RegisterHelpMessage();
  FakeTarget target;

  TMsg other{HelpMessageId + 1, 1, 0, {}};
  bool handled = false;
  HandleAppMessage(other, handled, target);
  EXPECT_FALSE(handled);

  TMsg wrongParam{HelpMessageId, 2, 0, {}};
  HandleAppMessage(wrongParam, handled, target);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(target.shown.empty());

  // The request comes with the message; the file beside the executable,
  // which others may be able to write, is never read.
  dir.Write("message.$$$", "h\r\nattacker.html\r\n\r\n");
  TMsg help{HelpMessageId, 1, 0, EncodeHandOff({"", "  ", "#sec2"})};
  handled = false;
  HandleAppMessage(help, handled, target);
  EXPECT_TRUE(handled);
  ASSERT_EQ(target.shown.size(), 1u);
  EXPECT_EQ(target.shown[0], (THelpRequest{"h", "contents.html", ""}));
  EXPECT_EQ(target.fronted, 1);
  TMsg page{HelpMessageId, 1, 0, EncodeHandOff({"h", "topic.html", "#a"}, "tok-1")};
  HandleAppMessage(page, handled, target);
  ASSERT_EQ(target.shown.size(), 2u);
  EXPECT_EQ(target.shown[1], (THelpRequest{"h", "topic.html", "#a"}));
  // The window is brought to the front with the message's token, if any.
  EXPECT_EQ(target.tokens, (std::vector<std::string>{"", "tok-1"}));
}

TEST(HandOffTest, SecondStartWritesTheFileAndTheFirstShowsThePage) {
  PrivateRuntimeDir runtime;
  TempDir dir;
  ExeDirScope exe(dir.Path());
  FakeTarget target;
  RegisterHelpMessage();
  SetApplicationMessageHook([&](TMsg& m, bool& h) { HandleAppMessage(m, h, target); });
  LocalChannelServer server(HandOffChannelName(), HelpMessageName);
  ASSERT_TRUE(server.Listen());

  {
    // The second start's activation token goes with the request, not into
    // the host's file.
    ActivationTokenScope token("second-start_TIME5");
    EXPECT_EQ(HandOffToRunningInstance({"h", "topic.html", "#sec2"}), 0);
  }
  EXPECT_EQ(ReadFile(dir.File("message.$$$")), "h\r\ntopic.html\r\n#sec2\r\n");
  ASSERT_TRUE(PumpUntil([&] { return !target.shown.empty(); }));
  EXPECT_EQ(target.shown[0], (THelpRequest{"h", "topic.html", "#sec2"}));
  EXPECT_EQ(target.tokens, (std::vector<std::string>{"second-start_TIME5"}));
  {
    ActivationTokenScope token("not\ta token");
    EXPECT_EQ(HandOffToRunningInstance({"h", "next.html", ""}), 0);
  }
  ASSERT_TRUE(PumpUntil([&] { return target.shown.size() == 2; }));
  EXPECT_EQ(target.tokens, (std::vector<std::string>{"second-start_TIME5", ""}));

  // A message file that cannot be written is reported, and nothing is posted.
  std::filesystem::remove(dir.File("message.$$$"));
  std::filesystem::create_directory(dir.File("message.$$$"));
  std::string reported;
  EXPECT_EQ(HandOffToRunningInstance({"h", "other.html", ""},
                                     [&](const std::string& m) { reported = m; }),
            1);
  EXPECT_NE(reported.find("message.$$$"), std::string::npos);
  PumpUntil([] { return false; });
  EXPECT_EQ(target.shown.size(), 2u);
  SetApplicationMessageHook({});
}

TEST(HandOffTest, NobodyToReachIsReported) {
  PrivateRuntimeDir runtime;
  TempDir dir;
  ExeDirScope exe(dir.Path());
  std::string reported;
  EXPECT_EQ(
      HandOffToRunningInstance({"h", "a.html", ""}, [&](const std::string& m) { reported = m; }),
      1);
  EXPECT_NE(reported.find("could not be reached"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("message.$$$")), "h\r\na.html\r\n\r\n");
}

TEST(HandOffTest, ARequestArrivingWhileABoxIsOpenWaitsForIt) {
  TempDir dir;
  ExeDirScope exe(dir.Path());
  RegisterHelpMessage();
  FakeTarget target;
  SetApplicationMessageHook([&](TMsg& m, bool& h) { HandleAppMessage(m, h, target); });
  std::size_t shownInBox = 99;
  MessageBoxHandler previous =
      SetMessageBoxHandler([&](const std::string&, const std::string&, int) {
        // The box's own event loop: the request arrives and is dispatched here.
        PostApplicationMessage({HelpMessageId, 1, 0, EncodeHandOff({"h", "late.html", ""})});
        PumpUntil([] { return false; });
        shownInBox = target.shown.size();
        return IDOK;
      });
  ShowErrorBox("Can't locate file: x.jpg");
  SetMessageBoxHandler(previous);
  EXPECT_EQ(shownInBox, 0u) << "handled inside the box";
  ASSERT_TRUE(PumpUntil([&] { return !target.shown.empty(); }));
  EXPECT_EQ(target.shown[0], (THelpRequest{"h", "late.html", ""}));
  SetApplicationMessageHook({});
}

TEST(MessageBoxTest, ARepeatedBoxIsShownOncePerPageLoad) {
  testing::TakeMessageBoxes();
  SetRepeatedMessageBoxesShown(false);
  for (int i = 0; i < 50; ++i) ShowErrorBox("Win32 Error # 8");
  ShowErrorBox("Can't locate file: a.jpg");
  EXPECT_EQ(testing::TakeMessageBoxes().size(), 2u);
  ForgetShownMessageBoxes();
  ShowErrorBox("Win32 Error # 8");
  EXPECT_EQ(testing::TakeMessageBoxes().size(), 1u);
  SetRepeatedMessageBoxesShown(true);
  ShowErrorBox("Win32 Error # 8");
  ShowErrorBox("Win32 Error # 8");
  EXPECT_EQ(testing::TakeMessageBoxes().size(), 2u);
}

}  // namespace
}  // namespace kiv
