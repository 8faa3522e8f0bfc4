// Start-up and hand-off: the first start of the help viewer takes the
// "kivhelp" instance lock and shows its window; a later start writes its
// three arguments to "message.$$$" beside the executable, tells the running
// instance through the registered message "KivHelp" (wParam 1) and ends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/app_message.h"

namespace kiv {

inline constexpr const char* InstanceLockName = "kivhelp";
inline constexpr const char* HelpMessageName = "KivHelp";
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
// file is replaced as a whole, so a reader never sees half of it. Raises
// EInOutError when it cannot be written.
void WriteMessageFile(const std::string& path, const THelpRequest& request);

// Reads the three lines (a missing line reads as empty; each is kept to its
// first megabyte). Raises EInOutError when the file cannot be opened or read.
THelpRequest ReadMessageFile(const std::string& path);

// What the receiving side asks of the help window.
class THelpRequestTarget {
 public:
  virtual ~THelpRequestTarget() = default;
  virtual void ShowHelpPage(const std::string& kind, const std::string& fileName, bool printEnabled,
                            const std::string& anchor) = 0;
  // Minimises and restores the application: the window comes to the front.
  virtual void BringToFront() = 0;
};

// The application's message hook in the first instance: a HelpMessageId
// message with wParam 1 reads the message file and shows its page; every
// HelpMessageId message is marked handled; other messages are left alone.
void HandleAppMessage(TMsg& msg, bool& handled, THelpRequestTarget& target);

// The second start's side: writes the message file and posts the message to
// the running instance, waiting briefly for it while it is still starting.
// Returns the process exit code: 0, or 1 after passing the error of a message
// file that could not be written to report (the running instance is then not
// told). Without report the error goes to ShowErrorBox.
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

}  // namespace kiv
