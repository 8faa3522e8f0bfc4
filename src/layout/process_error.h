// EProcessError: a layout limit was hit ("Table has too many Columns"). The
// layout pass of a cell reports it in an error box and drops the section.
#pragma once

#include <stdexcept>
#include <string>

namespace kiv {

class EProcessError : public std::runtime_error {
 public:
  explicit EProcessError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kiv
