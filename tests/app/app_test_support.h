// Helpers of the help application's tests: help packages made in memory and
// a private runtime folder for the instance lock and the hand-off channel.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/kiv_help_window.h"
#include "support/test_files.h"

namespace kiv::testing {

// Points XDG_RUNTIME_DIR at a fresh private folder while it lives.
// HOME set to dir while it lives (the fallback runtime folder is under it).
class HomeScope {
 public:
  explicit HomeScope(const std::string& dir) {
    if (const char* old = std::getenv("HOME")) old_ = old;
    ::setenv("HOME", dir.c_str(), 1);
  }
  ~HomeScope() { ::setenv("HOME", old_.c_str(), 1); }
  HomeScope(const HomeScope&) = delete;
  HomeScope& operator=(const HomeScope&) = delete;

 private:
  std::string old_;
};

class PrivateRuntimeDir {
 public:
  PrivateRuntimeDir() {
    ::chmod(dir_.Path().c_str(), 0700);
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
      had_ = true;
      old_ = old;
    }
    ::setenv("XDG_RUNTIME_DIR", dir_.Path().c_str(), 1);
  }
  ~PrivateRuntimeDir() {
    if (had_) {
      ::setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    } else {
      ::unsetenv("XDG_RUNTIME_DIR");
    }
  }
  const std::string& Path() const { return dir_.Path(); }

 private:
  TempDir dir_;
  bool had_ = false;
  std::string old_;
};

// The help window on package at the size the tests use, shown: as the
// program does, the first show runs FormShow with the command line's request
// (none: the contents).
inline std::unique_ptr<TKivHelpWindow> ShownHelpWindow(const std::string& package) {
  auto w = std::make_unique<TKivHelpWindow>(std::vector<std::string>{}, package);
  w->resize(552, 348);
  w->show();
  return w;
}

}  // namespace kiv::testing
