#include "app/single_instance.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "app/string_helpers.h"
#include "platform/file_error.h"
#include "platform/instance_lock.h"
#include "platform/local_channel.h"
#include "platform/message_box.h"
#include "platform/paths.h"

namespace kiv {

std::uint32_t HelpMessageId = 0;

namespace {

// Each line of the message file is kept to this many bytes: far beyond any
// page name, and a file that is one huge line cannot exhaust memory.
constexpr std::size_t kMaxMessageLine = 1 << 20;

// How long a second start keeps trying to reach an instance that holds the
// lock but does not listen yet (it is still starting).
constexpr auto kHandOffWait = std::chrono::milliseconds(3000);

std::string OneLine(std::string s) {
  for (char& c : s) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return s;
}

// Reads one line ended by LF (a CR before it is dropped); false at the end
// of the file with nothing read.
bool ReadLine(std::FILE* f, std::string& line, const std::string& path) {
  line.clear();
  bool any = false;
  for (int c; (c = std::getc(f)) != EOF;) {
    any = true;
    if (c == '\n') break;
    if (line.size() < kMaxMessageLine) line.push_back(static_cast<char>(c));
  }
  if (std::ferror(f)) throw EInOutError("Read error in file: " + path);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

}  // namespace

std::uint32_t RegisterHelpMessage() {
  HelpMessageId = RegisterWindowMessage(HelpMessageName);
  return HelpMessageId;
}

THelpRequest RequestFromArguments(const std::vector<std::string>& args) {
  THelpRequest r;
  if (args.size() > 0) r.Kind = args[0];
  if (args.size() > 1) r.FileName = args[1];
  if (args.size() > 2) r.Anchor = args[2];
  return r;
}

THelpRequest ApplyRequestDefaults(THelpRequest request) {
  if (IsBlank(request.FileName)) {
    request.FileName = "contents.html";
    request.Anchor.clear();
  }
  if (IsBlank(request.Kind)) request.Kind = "h";
  return request;
}

std::string MessageFilePath() {
  return ExeDir() + "\\message.$$$";
}

void WriteMessageFile(const std::string& path, const THelpRequest& request) {
  const std::string target = NativePath(path);
  const std::string text = OneLine(request.Kind) + "\r\n" + OneLine(request.FileName) + "\r\n" +
                           OneLine(request.Anchor) + "\r\n";
  const std::string temp = target + "." + std::to_string(::getpid());
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) throw EInOutError("Can't create file: " + path);
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || std::rename(temp.c_str(), target.c_str()) != 0) {
    std::remove(temp.c_str());
    throw EInOutError("Can't write file: " + path);
  }
}

THelpRequest ReadMessageFile(const std::string& path) {
  std::FILE* f = std::fopen(NativePath(path).c_str(), "rb");
  if (!f) throw CantLocateFile(path);
  THelpRequest r;
  try {
    if (ReadLine(f, r.Kind, path) && ReadLine(f, r.FileName, path)) ReadLine(f, r.Anchor, path);
  } catch (...) {
    std::fclose(f);
    throw;
  }
  std::fclose(f);
  return r;
}

void HandleAppMessage(TMsg& msg, bool& handled, THelpRequestTarget& target) {
  if (HelpMessageId == 0 || msg.Message != HelpMessageId) return;
  // Marked handled before the work, so a failure reported by the top-level
  // handler does not pass the message on either.
  handled = true;
  if (msg.WParam != HelpRequestParam) return;
  const THelpRequest r = ApplyRequestDefaults(ReadMessageFile(MessageFilePath()));
  target.ShowHelpPage(r.Kind, r.FileName, true, r.Anchor);
  target.BringToFront();
}

int HandOffToRunningInstance(const THelpRequest& arguments,
                             const std::function<void(const std::string&)>& report) {
  try {
    WriteMessageFile(MessageFilePath(), arguments);
  } catch (const EInOutError& e) {
    if (report) {
      report(e.what());
    } else {
      ShowErrorBox(e.what());
    }
    return 1;
  }
  RegisterHelpMessage();
  const auto until = std::chrono::steady_clock::now() + kHandOffWait;
  for (;;) {
    const ChannelPostResult result = PostChannelMessage(HelpMessageName, HelpRequestParam, 0);
    if (result != ChannelPostResult::NoReceiver) break;
    if (std::chrono::steady_clock::now() >= until) break;
    // The receiver may have ended meanwhile: then nobody will listen.
    if (InstanceLock(InstanceLockName).GetState() != InstanceLock::AlreadyExists) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

namespace {
// Held until the process ends; the system releases it however it ends.
std::unique_ptr<InstanceLock> g_instanceLock;
}  // namespace

bool HoldsInstanceLock() {
  return g_instanceLock && g_instanceLock->GetState() == InstanceLock::Created;
}

bool CheckSingleInstance(const std::vector<std::string>& args,
                         const std::function<void(const std::string&)>& report) {
  auto mine = std::make_unique<InstanceLock>(InstanceLockName);
  if (mine->GetState() != InstanceLock::AlreadyExists) {
    g_instanceLock = std::move(mine);
    return false;
  }
  mine.reset();
  std::exit(HandOffToRunningInstance(RequestFromArguments(args), report));
}

}  // namespace kiv
