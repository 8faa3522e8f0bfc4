// The help package "kivmap.hpm": a text index of NAME,OFFSET lines followed by
// the bytes of every page and image. Lookups rescan the index every time.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/anchor_map.h"

namespace kiv {

// Capacity of the page buffer, and the end offset a lookup reports when it
// has nothing better.
constexpr std::int32_t PageBufferSize = 128000;

// The largest anchor map the window reads.
constexpr std::int64_t MaxAnchorMapSize = 16 * 1024 * 1024;

// The package's file name beside the executable.
std::string DefaultPackagePath();

// Looks name up in the index of the package at packagePath (case-insensitive).
// start is -1 and end 128000 when the name is absent. Raises EInOutError when
// the package cannot be opened.
void FindPackageEntry(const std::string& packagePath, const std::string& name, std::int32_t& start,
                      std::int32_t& end);

// The package and the page buffer that the help window owns.
class THelpPackage {
 public:
  explicit THelpPackage(std::string packagePath = DefaultPackagePath());

  const std::string& PackagePath() const { return packagePath_; }

  void FindPackageEntry(const std::string& name, std::int32_t& start, std::int32_t& end) const;

  // Fills PageBuffer and PageLength with the named page and sets ImageSource:
  // for a show request (showRequest: from the command line or a hand-off) a
  // file named STARTUP.HTML is read from disk ("startup"); anything else, and
  // every link followed inside a page, from the package (""). A name the
  // package does not hold leaves the previous page in place. Raises
  // EInOutError when a file cannot be read.
  void LoadPage(const std::string& fileName, bool showRequest = false);

  // The entry to load for fileName scrolled to anchor: the part of a page
  // cut by the packer that holds the anchor when the package's anchor map
  // says it moved, else fileName itself. The map is read once and again
  // only when the package file changes; a package without one (or one that
  // cannot be read) changes nothing.
  std::string PageHoldingAnchor(const std::string& fileName, const std::string& anchor);

  const char* PageBuffer() const { return pageBuffer_->data(); }
  std::int32_t PageLength() const { return pageLength_; }
  // "startup" when the page came from a start-up file on disk, else empty.
  const std::string& ImageSource() const { return imageSource_; }

 private:
  void CommitPage(const std::vector<char>& bytes);

  std::string packagePath_;
  std::unique_ptr<std::array<char, PageBufferSize>> pageBuffer_;
  std::int32_t pageLength_ = 0;
  std::string imageSource_;
  TAnchorMap anchorMap_;
  // The package file the map was read from: its size and modification time.
  std::int64_t mapStampSize_ = -1;
  std::int64_t mapStampTime_ = 0;
};

}  // namespace kiv
