#include "app/single_instance.h"

#include <unistd.h>

#include <algorithm>
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
#include "platform/safe_file.h"
#include "platform/window_activation.h"

namespace kiv {

std::uint32_t HelpMessageId = 0;

namespace {

// How long a second start keeps trying to reach an instance that holds the
// lock but does not listen yet (it is still starting).
constexpr auto kHandOffWait = std::chrono::milliseconds(3000);

std::string OneLine(std::string s) {
  for (char& c : s) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return s;
}

// A short hash of the executable's folder (its real path), as 8 hex digits.
std::string InstallTag() {
  std::string dir = NativePath(ExeDir());
  if (char* real = ::realpath(dir.c_str(), nullptr)) {
    dir = real;
    std::free(real);
  }
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (unsigned char c : dir) {
    h ^= c;
    h *= 16777619u;
  }
  char tag[9];
  std::snprintf(tag, sizeof tag, "%08x", h);
  return tag;
}

}  // namespace

std::string InstanceLockName() {
  return "kivhelp-" + InstallTag();
}

std::string HandOffChannelName() {
  return std::string(HelpMessageName) + "-" + InstallTag();
}

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
  if (IsBlank(request.Kind)) request.Kind = std::string("h");
  return request;
}

std::string MessageFilePath() {
  return ExeDir() + "\\message.$$$";
}

void WriteMessageFile(const std::string& path, const THelpRequest& request) {
  const std::string text = OneLine(request.Kind) + "\r\n" + OneLine(request.FileName) + "\r\n" +
                           OneLine(request.Anchor) + "\r\n";
  if (!ReplaceFileSafely(NativePath(path), text)) throw EInOutError("Can't write file: " + path);
}

std::string EncodeHandOff(const THelpRequest& request, std::string_view activationToken) {
  auto field = [](const char* key, std::string_view value) {
    return std::string(key) + "=" + OneLine(std::string(value.substr(0, MaxRequestPart))) + "\n";
  };
  std::string data = field("kind", request.Kind) + field("file", request.FileName) +
                     field("anchor", request.Anchor);
  if (IsUsableActivationToken(activationToken)) data += field("token", activationToken);
  return data;
}

namespace {

// Calls take(key, value) for each "key=value" line of a hand-off message, in
// order; lines without "=" are skipped.
template <class Take>
void ForEachHandOffField(std::string_view data, Take take) {
  while (!data.empty()) {
    const std::size_t end = std::min(data.find('\n'), data.size());
    const std::string_view line = data.substr(0, end);
    data.remove_prefix(std::min(end + 1, data.size()));
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    take(line.substr(0, eq), line.substr(eq + 1));
  }
}

}  // namespace

THelpRequest DecodeHandOff(std::string_view data) {
  THelpRequest r;
  ForEachHandOffField(data, [&r](std::string_view key, std::string_view value) {
    const std::string part(value.substr(0, MaxRequestPart));
    if (key == "kind") r.Kind = part;
    if (key == "file") r.FileName = part;
    if (key == "anchor") r.Anchor = part;
  });
  return r;
}

std::string HandOffActivationToken(std::string_view data) {
  std::string_view token;
  ForEachHandOffField(data, [&token](std::string_view key, std::string_view value) {
    if (key == "token") token = value;
  });
  return IsUsableActivationToken(token) ? std::string(token) : std::string();
}

void HandleAppMessage(TMsg& msg, bool& handled, THelpRequestTarget& target) {
  if (HelpMessageId == 0 || msg.Message != HelpMessageId) return;
  // Marked handled before the work, so a failure reported by the top-level
  // handler does not pass the message on either.
  handled = true;
  if (msg.WParam != HelpRequestParam) return;
  if (MessageBoxOpen()) {
    // A box waits in the event loop: showing a page now would change the
    // window under it. The message comes back once the box is closed.
    AfterMessageBoxes([msg] { DispatchApplicationMessage(msg); });
    return;
  }
  const THelpRequest r = ApplyRequestDefaults(DecodeHandOff(msg.Data));
  target.ShowHelpPage(r.Kind, r.FileName, true, r.Anchor);
  target.BringToFront(HandOffActivationToken(msg.Data));
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
  const std::string channel = HandOffChannelName();
  const std::string data = EncodeHandOff(arguments, StartupActivationToken());
  const auto until = std::chrono::steady_clock::now() + kHandOffWait;
  ChannelPostResult result;
  for (;;) {
    result = PostChannelMessage(channel, HelpRequestParam, 0, data);
    if (result != ChannelPostResult::NoReceiver) break;
    if (std::chrono::steady_clock::now() >= until) break;
    // The receiver may have ended meanwhile: then nobody will listen.
    if (InstanceLock(InstanceLockName()).GetState() != InstanceLock::AlreadyExists) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (result == ChannelPostResult::Posted) return 0;
  const std::string error =
      "The running help viewer could not be reached through " +
      (LocalChannelPath(channel).empty() ? channel : LocalChannelPath(channel));
  if (report) {
    report(error);
  } else {
    ShowErrorBox(error);
  }
  return 1;
}

namespace {
// Held until the process ends; the system releases it however it ends.
std::unique_ptr<InstanceLock> g_instanceLock;
}  // namespace

bool HoldsInstanceLock() {
  return g_instanceLock && g_instanceLock->GetState() == InstanceLock::Created;
}

void ReleaseInstanceLock() {
  g_instanceLock.reset();
}

bool CheckSingleInstance(const std::vector<std::string>& args,
                         const std::function<void(const std::string&)>& report) {
  auto mine = std::make_unique<InstanceLock>(InstanceLockName());
  if (mine->GetState() != InstanceLock::AlreadyExists) {
    g_instanceLock = std::move(mine);
    return false;
  }
  mine.reset();
  std::exit(HandOffToRunningInstance(RequestFromArguments(args), report));
}

}  // namespace kiv
