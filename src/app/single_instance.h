// Start-up and hand-off: the first start of the help viewer takes the
// instance lock of its install and shows its window; a later start of the
// same install writes its three arguments to "message.$$$" beside the
// executable (for the host application), sends them to the running instance
// with the registered message "KivHelp" (wParam 1) through the install's
// channel, and ends. The running instance takes the request from the
// message, never from the file, which anybody able to write the folder
// could change.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/app_message.h"

namespace kiv {

inline constexpr const char* HelpMessageName = "KivHelp";

// The instance lock and the channel of this install: "kivhelp-" and
// "KivHelp-" followed by a short hash of the executable's folder, so two
// installs of one user run side by side and each start reaches its own.
std::string InstanceLockName();
std::string HandOffChannelName();
// wParam of a hand-off.
inline constexpr std::int64_t HelpRequestParam = 1;

// The number of the registered message "KivHelp" in this process; 0 until
// registered (RegisterHelpMessage).
extern std::uint32_t HelpMessageId;
std::uint32_t RegisterHelpMessage();

// A show request: page kind, page file name and anchor.
struct THelpRequest {
  std::string Kind;
  std::string FileName;
  std::string Anchor;
  friend bool operator==(const THelpRequest&, const THelpRequest&) = default;
};

// Arguments 1 to 3 of the command line; missing ones are empty.
THelpRequest RequestFromArguments(const std::vector<std::string>& args);

// The defaults for blank parts: a blank file name becomes "contents.html"
// and clears the anchor; a blank kind becomes "h".
THelpRequest ApplyRequestDefaults(THelpRequest request);

// ExeDir + "\message.$$$".
std::string MessageFilePath();

// Writes the request as three lines ended by CR LF. A line break inside an
// argument becomes a space, so it cannot shift the lines that follow. The
// file is replaced as a whole through a new file (a link planted at path is
// replaced, never followed), so a reader never sees half of it. Raises
// EInOutError when it cannot be written.
void WriteMessageFile(const std::string& path, const THelpRequest& request);

// Each part of a request is kept to this many bytes on its way to the
// running instance: far beyond any page name or anchor.
constexpr std::size_t MaxRequestPart = 256 * 1024;

// The request as the hand-off message carries it: "key=value" lines ended by
// LF (kind, file, anchor); a line break inside a value becomes a space.
// A usable activation token of the second start follows as "token" (one that
// is not usable is left out). Readers skip keys they do not know, so later
// senders may add fields.
std::string EncodeHandOff(const THelpRequest& request, std::string_view activationToken = {});
// The request of a hand-off message: unknown keys and lines without "=" are
// skipped, a key given twice keeps its last value, missing ones are empty.
THelpRequest DecodeHandOff(std::string_view data);
// The activation token of a hand-off message, read as DecodeHandOff reads
// the request; empty when there is none or the one given is not usable.
std::string HandOffActivationToken(std::string_view data);

// What the receiving side asks of the help window.
class THelpRequestTarget {
 public:
  virtual ~THelpRequestTarget() = default;
  virtual void ShowHelpPage(const std::string& kind, const std::string& fileName, bool printEnabled,
                            const std::string& anchor) = 0;
  // Minimises and restores the application: the window comes to the front,
  // through the desktop's activation with the second start's token when it
  // came with one (empty otherwise).
  virtual void BringToFront(const std::string& activationToken) = 0;
};

// The application's message hook in the first instance: a HelpMessageId
// message with wParam 1 shows the page its request names and brings the
// window to the front with the message's activation token; every
// HelpMessageId message is marked handled; other messages are left alone.
// One that arrives while a message box is open waits until it is closed, so
// a request is never handled inside a box.
void HandleAppMessage(TMsg& msg, bool& handled, THelpRequestTarget& target);

// The second start's side: writes the message file and posts the message
// (with this start's activation token, StartupActivationToken) to the
// running instance, waiting briefly for it while it is still starting.
// Returns the process exit code: 0, or 1 after passing the error to report
// when the message file could not be written (the running instance is then
// not told) or the running instance could not be reached. Without report the
// error goes to ShowErrorBox.
int HandOffToRunningInstance(const THelpRequest& arguments,
                             const std::function<void(const std::string&)>& report = {});

// Run first thing at start-up. False for the first instance, which keeps the
// lock until it ends. Another instance running: hands the arguments off and
// ends the process; it does not return then. A lock that cannot be made at
// all counts as being the first instance.
bool CheckSingleInstance(const std::vector<std::string>& args,
                         const std::function<void(const std::string&)>& report = {});

// True once CheckSingleInstance has taken the lock for this process: only
// then may the process receive hand-offs.
bool HoldsInstanceLock();
// Gives the lock up: an instance that cannot receive hand-offs lets later
// starts open windows of their own rather than hand requests to nobody.
void ReleaseInstanceLock();

}  // namespace kiv
