// The pool of small document objects: blocks of every size class, reused
// after objects are freed (also through a base class), never overlap and stay
// aligned; sizes above the pooled ones pass to the general allocator.
#include "reader/object_pool.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <set>
#include <vector>

#include "reader/free_list.h"

namespace kiv {
namespace {

class Base : public TPooledObject {
 public:
  explicit Base(unsigned char mark) : mark_(mark) {}
  virtual ~Base() = default;
  virtual bool Intact() const { return mark_ == expected_; }
  const void* Address() const { return this; }

 protected:
  unsigned char mark_;
  unsigned char expected_ = mark_;
};

// Objects of N payload bytes, each byte holding the object's mark.
template <std::size_t N>
class Sized : public Base {
 public:
  explicit Sized(unsigned char mark) : Base(mark) { std::memset(bytes_, mark, N); }
  bool Intact() const override {
    for (unsigned char b : bytes_)
      if (b != mark_) return false;
    return Base::Intact();
  }

 private:
  unsigned char bytes_[N];
};

std::unique_ptr<Base> Make(int i) {
  const auto mark = static_cast<unsigned char>(i);
  switch (i % 6) {
    case 0:
      return std::make_unique<Base>(mark);
    case 1:
      return std::make_unique<Sized<1>>(mark);
    case 2:
      return std::make_unique<Sized<15>>(mark);
    case 3:
      return std::make_unique<Sized<100>>(mark);
    case 4:
      return std::make_unique<Sized<1000>>(mark);
    default:
      return std::make_unique<Sized<5000>>(mark);  // past the pooled sizes
  }
}

TEST(ObjectPoolTest, BlocksOfMixedSizesNeverOverlapAcrossFreeingAndReuse) {
  std::vector<std::unique_ptr<Base>> live;
  for (int i = 0; i < 3000; ++i) live.push_back(Make(i));
  // Free every third object (through the base class), then fill the gaps
  // with objects of other sizes.
  for (std::size_t i = 0; i < live.size(); i += 3) live[i].reset();
  for (std::size_t i = 0; i < live.size(); i += 3) live[i] = Make(static_cast<int>(i) + 1);
  for (const auto& object : live) {
    ASSERT_TRUE(object->Intact());
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(object->Address()) % alignof(std::max_align_t), 0u);
  }
}

TEST(ObjectPoolTest, RawBlocksHoldTheirSizeAndComeBack) {
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{16}, std::size_t{17},
                           std::size_t{1024}, std::size_t{1025}, std::size_t{70000}}) {
    void* a = PoolAllocate(size);
    void* b = PoolAllocate(size);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a, b);
    std::memset(a, 0x11, size);
    std::memset(b, 0x22, size);
    const auto* bytes = static_cast<const unsigned char*>(a);
    for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(bytes[i], 0x11) << size;
    PoolFree(a, size);
    PoolFree(b, size);
  }
  PoolFree(nullptr, 8);  // as delete of a null pointer: nothing
}

TEST(ObjectPoolTest, BytesInUseFollowTheLivingBlocks) {
  const std::size_t before = PoolBytesInUse();
  void* small = PoolAllocate(100);
  void* large = PoolAllocate(5000);
  const std::size_t during = PoolBytesInUse();
  PoolFree(small, 100);
  PoolFree(large, 5000);
  EXPECT_EQ(PoolBytesInUse(), before);
  if (PoolBytesReserved() == 0) GTEST_SKIP() << "the pool steps aside under AddressSanitizer";
  // 100 bytes take a block of 112; 5000 bytes are not pooled.
  EXPECT_EQ(during - before, 112u);
  EXPECT_GE(PoolBytesReserved(), during);
}

// Loading page after page must not make the pool grow: once a page's blocks
// are all back, the next page gets the same memory again.
TEST(ObjectPoolTest, PagesLoadedOneAfterAnotherReuseTheSameBlocks) {
  if (PoolBytesReserved() == 0) {
    void* probe = PoolAllocate(16);
    const bool bypassed = PoolBytesReserved() == 0;
    PoolFree(probe, 16);
    if (bypassed) GTEST_SKIP() << "the pool steps aside under AddressSanitizer";
  }
  auto loadPage = [] {
    std::vector<std::unique_ptr<Base>> page;
    for (int i = 0; i < 4000; ++i) page.push_back(Make(i * 6 + 3));  // 100-byte objects
    std::set<const void*> addresses;
    for (const auto& object : page) addresses.insert(object->Address());
    return addresses;
  };
  const std::set<const void*> first = loadPage();
  const std::size_t reserved = PoolBytesReserved();
  for (int page = 0; page < 5; ++page) EXPECT_EQ(loadPage(), first);
  EXPECT_EQ(PoolBytesReserved(), reserved);
}

TEST(ObjectPoolTest, AllocatorServesContainersAndRefusesImpossibleSizes) {
  const std::size_t before = PoolBytesInUse();
  {
    std::vector<int, PoolAllocator<int>> numbers;
    for (int i = 0; i < 5000; ++i) numbers.push_back(i);  // grows past the pooled sizes
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(numbers[static_cast<std::size_t>(i)], i);
    numbers.resize(10);
    numbers.shrink_to_fit();
    EXPECT_EQ(numbers.back(), 9);
  }
  EXPECT_EQ(PoolBytesInUse(), before);
  PoolAllocator<std::uint64_t> allocator;
  EXPECT_THROW(allocator.allocate(static_cast<std::size_t>(-1) / 4), std::bad_array_new_length);
}

// A cleared list gives its array back, so that a cleared page holds nothing.
TEST(ObjectPoolTest, ClearedPooledListsHoldNoBlocks) {
  const std::size_t before = PoolBytesInUse();
  TFreeList<Base, PoolAllocator> list;
  for (int i = 0; i < 50; ++i) list.Add(Make(i * 6 + 2));
  if (PoolBytesReserved() == 0) GTEST_SKIP() << "the pool steps aside under AddressSanitizer";
  EXPECT_GT(PoolBytesInUse(), before);
  list.ClearAndFree();
  EXPECT_EQ(PoolBytesInUse(), before);
  EXPECT_EQ(list.Count(), 0);
  list.Add(Make(1));  // still usable
  EXPECT_TRUE(list.First()->Intact());
}

}  // namespace
}  // namespace kiv
