#include "reader/image_cache.h"

#include <algorithm>
#include <stdexcept>

#include "reader/string_routines.h"

namespace kiv {

namespace {

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Case-insensitive ordering of keys (ASCII letters).
int CompareKeys(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(UpperAscii(a[i]));
    const auto cb = static_cast<unsigned char>(UpperAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

TBitmapItem::TBitmapItem(std::unique_ptr<kiv::Bitmap> bitmap, std::unique_ptr<kiv::Mask> mask,
                         int transparencyKind)
    : TransparencyKind(transparencyKind), Bitmap(std::move(bitmap)), Mask(std::move(mask)) {}

std::string ImageCacheKey(std::string_view name) {
  std::string key = TrimWhite(name);
  for (char& c : key) c = UpperAscii(c);
  return key;
}

const std::string& TStringBitmapList::Strings(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("image cache index out of range");
  return items_[static_cast<std::size_t>(index)].first;
}

TBitmapItem* TStringBitmapList::Objects(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("image cache index out of range");
  return items_[static_cast<std::size_t>(index)].second.get();
}

bool TStringBitmapList::Find(std::string_view key, int& index) const {
  int low = 0;
  int high = Count() - 1;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    const int c = CompareKeys(items_[static_cast<std::size_t>(mid)].first, key);
    if (c == 0) {
      index = mid;
      return true;
    }
    if (c < 0)
      low = mid + 1;
    else
      high = mid - 1;
  }
  index = low;
  return false;
}

int TStringBitmapList::IndexOf(std::string_view key) const {
  int index = 0;
  return Find(key, index) ? index : -1;
}

int TStringBitmapList::AddObject(std::string_view key, std::unique_ptr<TBitmapItem> item) {
  int index = 0;
  if (Find(key, index)) return -1;
  items_.emplace(items_.begin() + index, std::string(key), std::move(item));
  return index;
}

kiv::Bitmap* TStringBitmapList::BitmapAt(int index) {
  TBitmapItem* item = Objects(index);
  item->Age = 0;
  return item->Bitmap.get();
}

void TStringBitmapList::AgeAll() {
  for (int i = Count() - 1; i >= 0; --i) {
    TBitmapItem* item = items_[static_cast<std::size_t>(i)].second.get();
    ++item->Age;
    if (item->Age > MaxAge) items_.erase(items_.begin() + i);
  }
}

std::int64_t TStringBitmapList::PictureBytes() const {
  std::int64_t bytes = 0;
  for (const auto& entry : items_) {
    if (entry.second->Bitmap) bytes += entry.second->Bitmap->PictureBytes();
  }
  return bytes;
}

std::int64_t TStringBitmapList::MakeRoom(std::int64_t budget, std::int64_t wanted) {
  std::int64_t free = budget - PictureBytes();
  while (free < wanted) {
    int oldest = -1;
    for (int i = 0; i < Count(); ++i) {
      const int age = items_[static_cast<std::size_t>(i)].second->Age;
      if (age > 0 && (oldest < 0 || age > items_[static_cast<std::size_t>(oldest)].second->Age))
        oldest = i;
    }
    if (oldest < 0) break;
    if (const kiv::Bitmap* b = items_[static_cast<std::size_t>(oldest)].second->Bitmap.get())
      free += b->PictureBytes();
    items_.erase(items_.begin() + oldest);
  }
  return std::max<std::int64_t>(free, 0);
}

void TStringBitmapList::SetMaxAge(int n) {
  for (int i = Count() - 1; i >= 0; --i)
    if (items_[static_cast<std::size_t>(i)].second->Age > n) items_.erase(items_.begin() + i);
  MaxAge = n;
}

}  // namespace kiv
