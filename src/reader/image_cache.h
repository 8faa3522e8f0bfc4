// The image cache: decoded pictures kept by name across document loads.
// Keys are image names in upper case without surrounding blanks; an entry not
// used for more than MaxAge loads is dropped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/bitmap.h"

namespace kiv {

// How a cached image got its mask.
enum TransparencyKind : int {
  NotTransparent = 0,
  TransparentBottomLeft = 1,  // mask from the bottom-left pixel's colour
  TransparentGivenColor = 2,  // mask from a given colour (GIF's or the host's)
};

// Age limit of a new cache.
constexpr int DefaultCacheMaxAge = 4;
// The decoded pictures of a page and its cache together stay within this
// many bytes (Bitmap::PictureBytes); a picture that would pass it is not
// decoded and shows as a broken image.
constexpr std::int64_t PictureBudgetBytes = 256LL * 1024 * 1024;

class TBitmapItem {
 public:
  TBitmapItem(std::unique_ptr<kiv::Bitmap> bitmap, std::unique_ptr<kiv::Mask> mask,
              int transparencyKind);

  int Age = 0;  // loads since the last use
  int TransparencyKind = NotTransparent;
  std::unique_ptr<kiv::Bitmap> Bitmap;
  std::unique_ptr<kiv::Mask> Mask;  // null when the image has none
};

// The key under which an image name is cached: upper case, without leading
// and trailing characters of codes 0 to 32.
std::string ImageCacheKey(std::string_view name);

class TStringBitmapList {
 public:
  TStringBitmapList() = default;
  TStringBitmapList(const TStringBitmapList&) = delete;
  TStringBitmapList& operator=(const TStringBitmapList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Strings(int index) const;
  TBitmapItem* Objects(int index) const;

  // Binary search (case-insensitive); index receives the position found or
  // the insertion point.
  bool Find(std::string_view key, int& index) const;
  int IndexOf(std::string_view key) const;
  // Inserts in sorted order; returns the index, or -1 (the item is then
  // freed) when the key is already present.
  int AddObject(std::string_view key, std::unique_ptr<TBitmapItem> item);

  // The bitmap at index; the use resets its age.
  kiv::Bitmap* BitmapAt(int index);
  // One more document load: every entry ages and those past MaxAge go.
  void AgeAll();
  // Drops the entries older than n at once, then MaxAge := n.
  void SetMaxAge(int n);
  void Clear() { items_.clear(); }

  // Bytes the cached bitmaps take.
  std::int64_t PictureBytes() const;
  // The bytes still free under budget, after dropping pictures not used
  // since the last load (the oldest first) while fewer than wanted are free.
  // Pictures the current page uses are never dropped.
  std::int64_t MakeRoom(std::int64_t budget, std::int64_t wanted);

  int MaxAge = DefaultCacheMaxAge;

 private:
  std::vector<std::pair<std::string, std::unique_ptr<TBitmapItem>>> items_;
};

}  // namespace kiv
