// TFreeList: a list that owns its items. Freeing the list, or clearing it
// with ClearAndFree, frees every item in index order. Document collections
// (font runs, images, cells, attributes) derive from it. The lists of a
// document's objects keep their arrays in the object pool too
// (TFreeList<T, PoolAllocator>); lists that outlive pages, such as the
// viewer's history, use the general allocator, so that a cleared page leaves
// the pool empty.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "reader/object_pool.h"

namespace kiv {

template <class T, template <class> class Allocator = std::allocator>
class TFreeList {
 public:
  using Item = T;
  using Storage = std::vector<std::unique_ptr<T>, Allocator<std::unique_ptr<T>>>;
  using const_iterator = typename Storage::const_iterator;

  TFreeList() = default;
  TFreeList(const TFreeList&) = delete;
  TFreeList& operator=(const TFreeList&) = delete;
  TFreeList(TFreeList&&) noexcept = default;
  // Frees the items held before taking over other's.
  TFreeList& operator=(TFreeList&& other) noexcept {
    if (this != &other) {
      ClearAndFree();
      items_ = std::move(other.items_);
    }
    return *this;
  }
  // Not virtual: a list is never deleted through a pointer to this class
  // (lists are members, or bases of classes with their own virtual
  // destructor), and each section's run and image lists stay a pointer smaller.
  ~TFreeList() { ClearAndFree(); }

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // Makes room for count items, so that adding up to them does not move the list.
  void Reserve(int count) {
    if (count > 0) items_.reserve(static_cast<std::size_t>(count));
  }

  // The item at index; an index outside 0..Count-1 raises std::out_of_range.
  T* Items(int index) const { return items_.at(CheckedIndex(index)).get(); }
  T* operator[](int index) const { return Items(index); }
  T* First() const { return Items(0); }
  T* Last() const { return Items(Count() - 1); }

  // Appends an item the list now owns; returns its index.
  int Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return Count() - 1;
  }
  // Creates an item (of T or a class derived from it) at the end of the list.
  template <class U = T, class... Args>
  U* Emplace(Args&&... args) {
    auto item = std::make_unique<U>(std::forward<Args>(args)...);
    U* raw = item.get();
    items_.push_back(std::move(item));
    return raw;
  }
  void Insert(int index, std::unique_ptr<T> item) {
    if (index < 0 || index > Count()) throw std::out_of_range("TFreeList index out of range");
    items_.insert(items_.begin() + index, std::move(item));
  }
  // Frees the item at index and closes the gap.
  void Delete(int index) { Extract(index); }
  // Removes the item at index without freeing it: the caller owns it now.
  std::unique_ptr<T> Extract(int index) {
    std::unique_ptr<T> item = std::move(items_.at(CheckedIndex(index)));
    items_.erase(items_.begin() + index);
    return item;
  }
  // Index of item, or -1 when the list does not hold it.
  int IndexOf(const T* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
  }
  void Exchange(int a, int b) { std::swap(items_.at(CheckedIndex(a)), items_.at(CheckedIndex(b))); }

  // Frees every item in index order, then empties the list and gives its
  // array back, so that a cleared page leaves nothing in the object pool.
  void ClearAndFree() {
    for (auto& item : items_) item.reset();
    Storage().swap(items_);
  }

  // Iteration over the owning pointers, in index order.
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

 protected:
  static std::size_t CheckedIndex(int index) {
    if (index < 0) throw std::out_of_range("TFreeList index out of range");
    return static_cast<std::size_t>(index);
  }

  Storage items_;
};

}  // namespace kiv
