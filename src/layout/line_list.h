// TLineList: the laid-out lines of a text section, in order. Most sections
// (table cells, headings, list items, short paragraphs) lay out in one line,
// so the first line is kept inside the list and only longer sections take an
// array of their own. Clearing keeps the array for the next layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "layout/line_rec.h"

namespace kiv {

class TLineList {
 public:
  TLineList() = default;
  TLineList(const TLineList&) = delete;
  TLineList& operator=(const TLineList&) = delete;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }

  LineRec& operator[](std::size_t index) { return data()[index]; }
  const LineRec& operator[](std::size_t index) const { return data()[index]; }
  LineRec& back() { return data()[size_ - 1]; }

  void push_back(const LineRec& line) {
    if (size_ == capacity_) Grow();
    data()[size_++] = line;
  }

  LineRec* begin() { return data(); }
  LineRec* end() { return data() + size_; }
  const LineRec* begin() const { return data(); }
  const LineRec* end() const { return data() + size_; }

 private:
  LineRec* data() { return heap_ ? heap_.get() : &first_; }
  const LineRec* data() const { return heap_ ? heap_.get() : &first_; }

  void Grow() {
    const std::uint32_t capacity = capacity_ * 2 < 4 ? 4 : capacity_ * 2;
    auto grown = std::make_unique<LineRec[]>(capacity);
    for (std::uint32_t i = 0; i < size_; ++i) grown[i] = data()[i];
    heap_ = std::move(grown);
    capacity_ = capacity;
  }

  LineRec first_;
  std::unique_ptr<LineRec[]> heap_;  // null while the lines fit in first_
  // 32 bits are plenty: a section has fewer lines than its text has characters.
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = 1;
};

}  // namespace kiv
