// SmallCallback: a notification without arguments whose callable is kept in
// place, at most one pointer in size and trivially copyable — a lambda that
// captures `this` or one reference. Fonts carry one each and a page has
// thousands of fonts, so it takes half the room of a std::function and never
// allocates. A larger callable does not compile.
#pragma once

#include <cstring>
#include <new>
#include <type_traits>

namespace kiv {

class SmallCallback {
 public:
  SmallCallback() = default;
  SmallCallback(std::nullptr_t) {}

  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, SmallCallback> &&
                                              !std::is_same_v<std::decay_t<F>, std::nullptr_t>>>
  SmallCallback(F callable) {
    static_assert(sizeof(F) <= sizeof(storage_) && alignof(F) <= alignof(void*),
                  "a SmallCallback holds at most one pointer");
    static_assert(std::is_trivially_copyable_v<F> && std::is_trivially_destructible_v<F>,
                  "a SmallCallback holds only trivially copyable callables");
    ::new (static_cast<void*>(storage_)) F(callable);
    invoke_ = [](const void* storage) {
      (*std::launder(reinterpret_cast<F*>(const_cast<void*>(storage))))();
    };
  }

  explicit operator bool() const { return invoke_ != nullptr; }
  void operator()() const {
    if (invoke_) invoke_(storage_);
  }

 private:
  alignas(void*) unsigned char storage_[sizeof(void*)] = {};
  void (*invoke_)(const void*) = nullptr;
};

}  // namespace kiv
