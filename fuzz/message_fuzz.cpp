// Fuzz target: the request a hand-off message carries, as any process of the
// user may send it on the channel. The first instance's path is taken whole:
// the registered message reaches the application hook of a help window,
// which shows the page the request names from a small package. The request
// must also survive being encoded and decoded again, as a second start
// passes it on (with an activation token), and the message file a second
// start writes for the host.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/kiv_help_window.h"
#include "app/single_instance.h"
#include "app/string_helpers.h"
#include "fuzz_support.h"
#include "platform/app_message.h"
#include "platform/file_error.h"
#include "platform/paths.h"
#include "platform/window_activation.h"

namespace {

using namespace kiv;

// A package of the named entries: the base is written with a fixed width so
// that the index's length is known before the base is.
std::string MakePackage(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string lines;
  std::size_t offset = 0;
  for (const auto& [name, bytes] : entries) {
    lines += name + "," + std::to_string(offset) + "\r\n";
    offset += bytes.size();
  }
  lines += "******," + std::to_string(offset) + "\r\n";
  char start[32];
  std::snprintf(start, sizeof start, "START,%010zu\r\n", 18 + lines.size());
  std::string package = start + lines;
  for (const auto& entry : entries) package += entry.second;
  return package;
}

struct State {
  fuzz::ScratchFolder folder;
  std::unique_ptr<TKivHelpWindow> window;
};

State& Shared() {
  static State* state = [] {
    auto* s = new State;
    SetExecutableDirForTesting(s->folder.Path());
    const std::string package =
        MakePackage({{"contents.html", "<title>Contents</title><a href=\"a.html#x\">A</a>"},
                     {"a.html", "<title>A</title><p>one<a name=\"x\">x</a><p>two"},
                     {"startup_pages.html", "<title>Start</title>Welcome"}});
    std::FILE* f = std::fopen(s->folder.File("kivmap.hpm").c_str(), "wb");
    if (!f || std::fwrite(package.data(), 1, package.size(), f) != package.size() ||
        std::fclose(f) != 0)
      std::abort();
    s->window =
        std::make_unique<TKivHelpWindow>(std::vector<std::string>{}, s->folder.File("kivmap.hpm"));
    s->window->resize(400, 300);
    s->window->show();
    QCoreApplication::processEvents();
    return s;
  }();
  return *state;
}

bool HasLineEnd(const std::string& s) {
  return s.find('\n') != std::string::npos;
}

}  // namespace

// fontconfig keeps a cache block that it never frees and no pointer of the
// process reaches at exit; it is the font library's, not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::StartToolkit();
  Shared();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  State& state = Shared();
  const std::string record(reinterpret_cast<const char*>(data), size);

  // What the first instance takes: no part holds a line feed or passes the
  // bound, and after the defaults a kind and a page name that are not blank.
  const THelpRequest read = DecodeHandOff(record);
  for (const std::string* s : {&read.Kind, &read.FileName, &read.Anchor}) {
    if (HasLineEnd(*s) || s->size() > MaxRequestPart) __builtin_trap();
  }
  const THelpRequest shown = ApplyRequestDefaults(read);
  if (IsBlank(shown.Kind) || IsBlank(shown.FileName)) __builtin_trap();

  // A second start passes the request on: it decodes the same, carriage
  // returns inside a part turned into spaces.
  THelpRequest expected = read;
  for (std::string* s : {&expected.Kind, &expected.FileName, &expected.Anchor}) {
    for (char& c : *s) {
      if (c == '\r') c = ' ';
    }
  }
  if (!(DecodeHandOff(EncodeHandOff(read)) == expected)) __builtin_trap();
  // The activation token taken is one worth presenting, and it travels on
  // unchanged beside the request.
  const std::string token = HandOffActivationToken(record);
  if (!token.empty() && !IsUsableActivationToken(token)) __builtin_trap();
  const std::string passed = EncodeHandOff(read, token);
  if (HandOffActivationToken(passed) != token || !(DecodeHandOff(passed) == expected))
    __builtin_trap();
  WriteMessageFile(MessageFilePath(), read);

  // The first instance handles the message and shows its page. A page the
  // package lacks, a start-up file that is not there or a failed load is
  // reported in a box (answered at once) and the window keeps what it showed.
  TMsg msg;
  msg.Message = HelpMessageId;
  msg.WParam = HelpRequestParam;
  msg.Data = record;
  if (!DispatchApplicationMessage(msg)) __builtin_trap();
  QCoreApplication::processEvents();
  if (state.window->Viewer() == nullptr) __builtin_trap();
  return 0;
}
