// Messages of the application's queue that the program handles itself: the
// registered messages other processes send it, and the application-wide hook
// that sees each of them before normal dispatch.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace kiv {

struct TMsg {
  std::uint32_t Message = 0;
  std::int64_t WParam = 0;
  std::int64_t LParam = 0;
  // What came with a message from another process (the hand-off's request);
  // empty for messages of this process.
  std::string Data;
};

// The application's message hook: sets handled to stop further dispatch.
using TMessageEvent = std::function<void(TMsg& msg, bool& handled)>;

// The number of a registered message, 0xC000 to 0xFFFF: the same name (any
// letter case) gives the same number for the life of the process.
std::uint32_t RegisterWindowMessage(const std::string& name);

// Installs the application-wide hook (an empty one removes it).
void SetApplicationMessageHook(TMessageEvent hook);

// Runs msg through the hook as the message loop does; returns handled. A
// failure escaping the hook reaches the application's top-level handler,
// which reports it in an error box; the message then counts as handled.
bool DispatchApplicationMessage(TMsg msg);

// Queues msg for DispatchApplicationMessage from the event loop, after the
// current event (needs the toolkit's application object).
void PostApplicationMessage(const TMsg& msg);

// The top-level handler: shows the failure's text in an error box.
void HandleApplicationException(const std::exception& e);

}  // namespace kiv
