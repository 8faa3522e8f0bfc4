// What the folder and runtime checks cost a start: the private runtime
// folder (lstat, and the home fallback), the install's lock and channel names
// (the real path of the executable's folder), the channel's socket path, the
// settings file read only when it is a regular file of the user's, and the
// message file a second start writes through a new file and a rename. Each
// checked step is measured beside the plain one it replaced, so the
// difference is what the checks add.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/single_instance.h"
#include "platform/ini_file.h"
#include "platform/local_channel.h"
#include "platform/paths.h"
#include "platform/user_runtime_dir.h"

namespace {

namespace fs = std::filesystem;

// A scratch program folder with a settings file of a usual size, and a
// private runtime folder; both stay for the whole run.
struct Folders {
  std::string program;
  std::string runtime;
  std::string home;
  Folders() {
    const fs::path base = fs::temp_directory_path() / ("kivbench-start-" + std::to_string(::getpid()));
    fs::create_directories(base / "program");
    fs::create_directories(base / "home");
    ::mkdir((base / "runtime").c_str(), 0700);
    ::chmod(base.c_str(), 0755);
    ::chmod((base / "home").c_str(), 0755);
    program = (base / "program").string();
    runtime = (base / "runtime").string();
    home = (base / "home").string();
    std::ofstream ini(program + "/kivmap.ini", std::ios::binary);
    ini << "[Help]\r\nHelp Font Size=12\r\nShow StartUp=1\r\n[Window]\r\n";
    for (int i = 0; i < 40; ++i) ini << "Key" << i << "=" << i * 17 << "\r\n";
    kiv::SetExecutableDirForTesting(program);
  }
  ~Folders() {
    std::error_code ignored;
    fs::remove_all(fs::path(program).parent_path(), ignored);
  }
};

// Sets (or, with nullptr, unsets) an environment variable for one benchmark.
class EnvScope {
 public:
  EnvScope(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~EnvScope() {
    if (had_) {
      ::setenv(name_, old_.c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  EnvScope(const EnvScope&) = delete;
  EnvScope& operator=(const EnvScope&) = delete;

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

const Folders& Scratch() {
  static const Folders folders;
  return folders;
}

// The runtime folder as a start finds it: XDG_RUNTIME_DIR, checked.
void StartChecks_RuntimeFolder(benchmark::State& state) {
  const EnvScope runtime("XDG_RUNTIME_DIR", Scratch().runtime.c_str());
  for (auto _ : state) benchmark::DoNotOptimize(kiv::UserRuntimeDir());
}

// The same when XDG_RUNTIME_DIR is unset: ~/.cache/kivhelp, made once and
// then checked on every call.
void StartChecks_RuntimeFolderFallback(benchmark::State& state) {
  const EnvScope runtime("XDG_RUNTIME_DIR", nullptr);
  const EnvScope home("HOME", Scratch().home.c_str());
  if (kiv::UserRuntimeDir().empty()) {
    state.SkipWithError("no fallback folder");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(kiv::UserRuntimeDir());
}

// The install's lock and channel names (realpath and a hash) and the path of
// the channel's socket.
void StartChecks_InstallNames(benchmark::State& state) {
  const EnvScope runtime("XDG_RUNTIME_DIR", Scratch().runtime.c_str());
  for (auto _ : state) {
    benchmark::DoNotOptimize(kiv::InstanceLockName());
    benchmark::DoNotOptimize(kiv::LocalChannelPath(kiv::HandOffChannelName()));
  }
}

// One settings value read through the checked read (O_NOFOLLOW, fstat) and,
// beside it, the same file read plainly.
void StartChecks_SettingsRead(benchmark::State& state) {
  const kiv::IniFile ini(Scratch().program + "/kivmap.ini");
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadInteger("Help", "Help Font Size", 0));
}

void StartChecks_SettingsReadPlain(benchmark::State& state) {
  const std::string path = Scratch().program + "/kivmap.ini";
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    benchmark::DoNotOptimize(text.find("Help Font Size="));
  }
}

// The second start's message file: a new file and a rename, beside a plain
// truncating write.
void StartChecks_MessageFile(benchmark::State& state) {
  const kiv::THelpRequest request{"h", "contents.html", "top"};
  for (auto _ : state) kiv::WriteMessageFile(kiv::MessageFilePath(), request);
}

void StartChecks_MessageFilePlain(benchmark::State& state) {
  const std::string path = Scratch().program + "/message-plain.$$$";
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
      state.SkipWithError("cannot write");
      break;
    }
    std::fputs("h\r\ncontents.html\r\ntop\r\n", f);
    std::fclose(f);
  }
}

// Every check a first start makes, in the numbers it makes them: the runtime
// folder three times (toolkit, lock, channel), the install's names and the
// socket path, and the settings file read for each of the eight values the
// window reads at start.
void StartChecks_FirstStart(benchmark::State& state) {
  const EnvScope runtime("XDG_RUNTIME_DIR", Scratch().runtime.c_str());
  const kiv::IniFile ini(Scratch().program + "/kivmap.ini");
  for (auto _ : state) {
    for (int i = 0; i < 3; ++i) benchmark::DoNotOptimize(kiv::UserRuntimeDir());
    benchmark::DoNotOptimize(kiv::InstanceLockName());
    benchmark::DoNotOptimize(kiv::LocalChannelPath(kiv::HandOffChannelName()));
    for (int i = 0; i < 8; ++i) benchmark::DoNotOptimize(ini.ReadInteger("Window", "Key7", 0));
  }
}

BENCHMARK(StartChecks_RuntimeFolder)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartChecks_RuntimeFolderFallback)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartChecks_InstallNames)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartChecks_SettingsRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartChecks_SettingsReadPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartChecks_MessageFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartChecks_MessageFilePlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(StartChecks_FirstStart)->Unit(benchmark::kMicrosecond);

}  // namespace
