#include "platform/window_activation.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace kiv {
namespace {

// Sets or clears the token variable for one test and puts back what was there.
class TokenVariableScope {
 public:
  explicit TokenVariableScope(const char* value) {
    if (const char* old = std::getenv(ActivationTokenVariable)) {
      saved_ = old;
      had_ = true;
    }
    if (value) {
      ::setenv(ActivationTokenVariable, value, 1);
    } else {
      ::unsetenv(ActivationTokenVariable);
    }
  }
  ~TokenVariableScope() {
    if (had_) {
      ::setenv(ActivationTokenVariable, saved_.c_str(), 1);
    } else {
      ::unsetenv(ActivationTokenVariable);
    }
  }

 private:
  std::string saved_;
  bool had_ = false;
};

TEST(ActivationTokenTest, OnlyShortPrintableTokensAreUsable) {
  // Tokens as compositors make them.
  EXPECT_TRUE(IsUsableActivationToken("a"));
  EXPECT_TRUE(IsUsableActivationToken("kwin-3_TIME1234"));
  EXPECT_TRUE(IsUsableActivationToken("0b5c2a8e-3e1f-4f59-9d4e-7c2a7b3f5e10"));
  EXPECT_TRUE(IsUsableActivationToken(std::string(MaxActivationTokenLength, 'x')));
  // Nothing, too long, or bytes no token holds: a line break would split the
  // hand-off message, a space or control byte is not a compositor's.
  EXPECT_FALSE(IsUsableActivationToken(""));
  EXPECT_FALSE(IsUsableActivationToken(std::string(MaxActivationTokenLength + 1, 'x')));
  EXPECT_FALSE(IsUsableActivationToken("ab\ncd"));
  EXPECT_FALSE(IsUsableActivationToken("ab\rcd"));
  EXPECT_FALSE(IsUsableActivationToken("ab cd"));
  EXPECT_FALSE(IsUsableActivationToken("ab\tcd"));
  EXPECT_FALSE(IsUsableActivationToken(std::string("ab\0cd", 5)));
  EXPECT_FALSE(IsUsableActivationToken("ab\x7f"));
  EXPECT_FALSE(IsUsableActivationToken("caf\xc3\xa9"));
}

TEST(ActivationTokenTest, TheStartsTokenComesFromItsEnvironment) {
  {
    TokenVariableScope env("startup-token_42");
    EXPECT_EQ(StartupActivationToken(), "startup-token_42");
  }
  {
    TokenVariableScope env(nullptr);
    EXPECT_EQ(StartupActivationToken(), "");
  }
  {
    TokenVariableScope env("two\nlines");
    EXPECT_EQ(StartupActivationToken(), "");
  }
  {
    TokenVariableScope env(std::string(MaxActivationTokenLength + 1, 't').c_str());
    EXPECT_EQ(StartupActivationToken(), "");
  }
}

TEST(ActivationTokenTest, WithoutWaylandTheWindowIsActivatedAndTheEnvironmentKept) {
  // The tests run on the offscreen platform: no activation protocol, so the
  // token is not presented and the environment is not touched.
  TokenVariableScope env("own-start-token");
  QWidget window;
  window.show();
  EXPECT_FALSE(ActivateWindow(window, "handed-over"));
  EXPECT_FALSE(ActivateWindow(window, ""));
  ASSERT_NE(std::getenv(ActivationTokenVariable), nullptr);
  EXPECT_STREQ(std::getenv(ActivationTokenVariable), "own-start-token");
}

}  // namespace
}  // namespace kiv
