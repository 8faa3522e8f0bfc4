// TViewerEvent: an event property of the viewer. The owner assigns a handler
// (or nullptr to clear it) with "="; the viewer may watch assignments to pass
// the handler on to its document, as the published event setters do.
#pragma once

#include <functional>
#include <utility>

namespace kiv {

template <class Signature>
class TViewerEvent {
 public:
  using Handler = std::function<Signature>;

  TViewerEvent() = default;
  TViewerEvent(const TViewerEvent&) = delete;
  TViewerEvent& operator=(const TViewerEvent&) = delete;

  TViewerEvent& operator=(Handler handler) {
    handler_ = std::move(handler);
    if (assigned_) assigned_();
    return *this;
  }
  explicit operator bool() const { return static_cast<bool>(handler_); }
  const Handler& Get() const { return handler_; }

  template <class... Args>
  decltype(auto) operator()(Args&&... args) const {
    return handler_(std::forward<Args>(args)...);
  }

  // Called after every assignment (the viewer's setter effect).
  void OnAssigned(std::function<void()> hook) { assigned_ = std::move(hook); }

 private:
  Handler handler_;
  std::function<void()> assigned_;
};

}  // namespace kiv
