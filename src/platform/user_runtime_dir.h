// The user's private runtime folder: where the instance lock and the hand-off
// channel live, so that only this user's programs can see or reach them.
#pragma once

#include <string>

namespace kiv {

// XDG_RUNTIME_DIR when lstat says it is a folder (not a link) owned by this
// user with mode 0700. Otherwise ~/.cache/kivhelp: a folder in the user's
// home that no other user can create first, made with mode 0700 and checked
// the same way. Empty when no such folder can be had.
std::string UserRuntimeDir();

}  // namespace kiv
