// TUrlTarget: a link destination, carried by text runs and images and
// returned by hit tests.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kiv {

class TUrlTarget {
 public:
  TUrlTarget() = default;
  TUrlTarget(std::string_view url, std::string_view target) : Url(url), Target(target) {}

  // An absent argument leaves its field unchanged; a present one is copied.
  void Assign(std::optional<std::string_view> url, std::optional<std::string_view> target) {
    if (url) Url.assign(*url);
    if (target) Target.assign(*target);
  }
  void Clear() {
    Url.clear();
    Target.clear();
  }

  std::string Url;     // empty: no link
  std::string Target;  // the frame name from a TARGET attribute, empty when none
};

}  // namespace kiv
