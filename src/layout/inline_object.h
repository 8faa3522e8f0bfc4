// TInlineObject: an object kept inside its owner instead of in an allocation
// of its own, so that owner and object are one allocation. It reads like the
// owning pointer it stands for (->, *, get() and a test for presence) and may
// be empty, as a table's placeholder cells are.
#pragma once

#include <optional>
#include <utility>

namespace kiv {

template <class T>
class TInlineObject {
 public:
  TInlineObject() = default;
  TInlineObject(const TInlineObject&) = delete;
  TInlineObject& operator=(const TInlineObject&) = delete;

  // Makes the object in place (an object held before is destroyed first).
  template <class... Args>
  T& Emplace(Args&&... args) {
    return value_.emplace(std::forward<Args>(args)...);
  }

  T* get() { return value_ ? &*value_ : nullptr; }
  const T* get() const { return value_ ? &*value_ : nullptr; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  explicit operator bool() const { return value_.has_value(); }

 private:
  std::optional<T> value_;
};

}  // namespace kiv
