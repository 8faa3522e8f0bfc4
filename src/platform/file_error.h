// The input/output error of file access. Its message is the system's text,
// such as "Can't locate file: " followed by the name.
#pragma once

#include <stdexcept>
#include <string>

namespace kiv {

class EInOutError : public std::runtime_error {
 public:
  explicit EInOutError(const std::string& message) : std::runtime_error(message) {}
};

inline EInOutError CantLocateFile(const std::string& name) {
  return EInOutError("Can't locate file: " + name);
}

}  // namespace kiv
