// A named lock that at most one process of the user holds: an advisory lock
// on a file in the user's runtime folder. The system drops it when its
// holder ends in any way, so a crashed or killed holder never blocks the next.
#pragma once

#include <string>

namespace kiv {

class InstanceLock {
 public:
  enum State {
    Created,        // this process holds the lock now
    AlreadyExists,  // another process holds it
    Failed          // the lock could not be made at all
  };

  // Tries to take the lock name (without waiting).
  explicit InstanceLock(const std::string& name);
  // Releases the lock if it was taken.
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State GetState() const { return state_; }

 private:
  int fd_ = -1;
  State state_ = Failed;
};

}  // namespace kiv
