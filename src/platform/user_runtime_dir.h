// The user's private runtime folder: where the instance lock and the hand-off
// channel live, so that only this user's programs can see or reach them.
#pragma once

#include <string>

namespace kiv {

// XDG_RUNTIME_DIR when it is a folder owned by this user that nobody else may
// enter; otherwise /tmp/kivhelp-<uid>, created with mode 0700 and checked the
// same way. Empty when no such folder can be had.
std::string UserRuntimeDir();

}  // namespace kiv
