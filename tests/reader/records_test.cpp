// Owning lists, attribute lists, link records, large blocks and the reader's
// string routines.
#include <gtest/gtest.h>

#include <vector>

#include "reader/alloc_rec.h"
#include "reader/attributes.h"
#include "reader/free_list.h"
#include "reader/string_routines.h"
#include "reader/url_target.h"

namespace kiv {
namespace {

struct Tracked {
  Tracked(std::vector<int>* log, int id) : log(log), id(id) {}
  virtual ~Tracked() { log->push_back(id); }
  std::vector<int>* log;
  int id;
};

TEST(FreeList, FreesItemsInIndexOrderOnClearAndOnDestruction) {
  std::vector<int> log;
  {
    TFreeList<Tracked> list;
    for (int i = 0; i < 3; ++i) list.Emplace(&log, i);
    list.ClearAndFree();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2}));
    list.Emplace(&log, 10);
    list.Insert(0, std::make_unique<Tracked>(&log, 11));
    EXPECT_EQ(list[0]->id, 11);
  }
  EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 11, 10}));
}

TEST(FreeList, ExtractHandsOwnershipOverAndBadIndexRaises) {
  std::vector<int> log;
  TFreeList<Tracked> list;
  list.Emplace(&log, 1);
  list.Emplace(&log, 2);
  std::unique_ptr<Tracked> taken = list.Extract(0);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.IndexOf(list[0]), 0);
  EXPECT_EQ(list.IndexOf(taken.get()), -1);
  EXPECT_THROW(list.Items(1), std::out_of_range);
  EXPECT_THROW(list.Items(-1), std::out_of_range);
  EXPECT_THROW(list.Delete(5), std::out_of_range);
}

TEST(AttributeList, FindReturnsFirstOfDuplicatesAndRecycledRecordsAreReused) {
  TAttributeList list;
  list.AddReused(AlignSy, "left", 0);
  list.AddReused(WidthSy, "50%", 50);
  list.AddReused(AlignSy, "right", 0);
  const TAttribute* a = nullptr;
  ASSERT_TRUE(FindAttribute(list, AlignSy, a));
  EXPECT_EQ(a->Text, "left");
  EXPECT_FALSE(FindAttribute(list, HrefSy, a));
  EXPECT_EQ(a->Text, "left");  // untouched when absent

  const TAttribute* first = list[0];
  list.Recycle();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Find(AlignSy), nullptr);
  const TAttribute* again = list.AddReused(HrefSy, "x.htm", 0);
  EXPECT_TRUE(again == first || again == list[0]);
  EXPECT_EQ(list.Find(HrefSy)->Text, "x.htm");
  EXPECT_EQ(list.Find(HrefSy)->Id, HrefSy);
}

TEST(UrlTarget, AssignLeavesAbsentFieldsAndClearEmptiesBoth) {
  TUrlTarget t;
  EXPECT_TRUE(t.Url.empty() && t.Target.empty());
  t.Assign("a.htm", "frame1");
  t.Assign("b.htm", std::nullopt);
  EXPECT_EQ(t.Url, "b.htm");
  EXPECT_EQ(t.Target, "frame1");
  t.Assign(std::nullopt, "");
  EXPECT_EQ(t.Url, "b.htm");
  EXPECT_EQ(t.Target, "");
  t.Clear();
  EXPECT_TRUE(t.Url.empty() && t.Target.empty());
}

TEST(StringRoutines, TrimWhiteAndUrlToFilePath) {
  EXPECT_EQ(TrimWhite(std::string("\x01\t a b \r\n\x20", 9)), "a b");
  EXPECT_EQ(TrimWhite("\xA0x\xA0"), "\xA0x\xA0");  // 160 is not white
  EXPECT_EQ(TrimWhite("  "), "");
  EXPECT_EQ(UrlToFilePath("file:///C|/Help/Page.HTM"), "c:\\help\\page.htm");
  EXPECT_EQ(UrlToFilePath("FILE://server/Doc.htm"), "server\\doc.htm");
  EXPECT_EQ(UrlToFilePath("Dir\\Page.HTM"), "Dir\\Page.HTM");
  EXPECT_EQ(UrlToFilePath("sub/x|y"), "sub\\x:y");
  EXPECT_EQ(IntMin(-3, 2), -3);
  EXPECT_EQ(IntMax(-3, 2), 2);
}

TEST(StringRoutines, IntegersWithSignAndRange) {
  std::int32_t v = 7;
  EXPECT_TRUE(TryStrToInt("+2", v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(TryStrToInt("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(TryStrToInt("2147483648", v));
  EXPECT_FALSE(TryStrToInt("99999999999999999999", v));
  EXPECT_FALSE(TryStrToInt("", v));
  EXPECT_FALSE(TryStrToInt("-", v));
  EXPECT_FALSE(TryStrToInt("12a", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_EQ(StrToIntOrZero("50%"), 0);
}

TEST(AllocBlock, GivesWritableBytesOfEverySizeAndRefusesNegative) {
  for (std::int32_t size : {0, 100, 65279, 65280, 1 << 20}) {
    auto block = AllocBlock(size);
    ASSERT_NE(block->Data, nullptr);
    EXPECT_EQ(block->Size, size);
    if (size > 0) {
      block->Data[0] = 1;
      block->Data[size - 1] = 2;
    }
    FreeBlock(std::move(block));
  }
  EXPECT_THROW(AllocBlock(-1), std::bad_alloc);
}

}  // namespace
}  // namespace kiv
