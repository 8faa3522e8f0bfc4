// Files beside the executable, in a folder other users may be able to write:
// they are created without following links and read only when they are what
// they claim to be, so a planted link, FIFO or device never redirects a
// write or stalls a read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kiv {

// Replaces the file at nativePath with bytes: they go to a new file created
// in the same folder (O_CREAT | O_EXCL | O_NOFOLLOW, as mkstemp makes it),
// which is then renamed over nativePath. A link at nativePath is replaced,
// never followed; a reader sees the old file or the new one, never half of
// one. False when it fails; nothing is changed then.
bool ReplaceFileSafely(const std::string& nativePath, std::string_view bytes);

enum class SafeRead {
  Read,      // bytes holds the file
  Missing,   // there is no such file
  Refused,   // a link, not a regular file, or owned by another user
  TooLarge,  // larger than the bound given
  Failed     // it could not be opened or read
};

// Reads the file at nativePath into bytes when it is a regular file (not a
// link) owned by this user or by root and at most maxBytes long. bytes is
// empty unless the result is Read. Never waits on a FIFO or a device.
SafeRead ReadFileSafely(const std::string& nativePath, std::size_t maxBytes, std::string& bytes);
// The same, but a longer file gives its first maxBytes bytes.
SafeRead ReadFileHeadSafely(const std::string& nativePath, std::size_t maxBytes,
                            std::string& bytes);

}  // namespace kiv
