// The tokenizer gives the same symbols whatever the source and wherever its
// read windows end, on random pages of hostile content; and once warmed up
// it tokenizes a page without touching the heap.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <sstream>

#include "reader/tokenizer.h"
#include "reader/tokenizer_test_support.h"
#include "support/test_files.h"

namespace {
std::atomic<long> gAllocations{0};
}  // namespace

// Counts every allocation of this test program.
void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace kiv {
namespace {

std::string RandomPage(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {"word",
                                                  "Longer-words_here",
                                                  " ",
                                                  "   ",
                                                  "\r\n",
                                                  "\n\r",
                                                  "\r",
                                                  "\n",
                                                  "\t",
                                                  "<b>",
                                                  "</B>",
                                                  "<h2 align=center>",
                                                  "</h2>",
                                                  "<a href=\"x.htm#y\" name=q>",
                                                  "<img src=a.gif border>",
                                                  "<td width=50% bgcolor='#ff0000'>",
                                                  "&amp;",
                                                  "&copy",
                                                  "&#65;",
                                                  "&#12345",
                                                  "&bogusname;",
                                                  "&",
                                                  "<",
                                                  ">",
                                                  "<!-- c -->",
                                                  "<!doctype x>",
                                                  "<!---->",
                                                  "\"",
                                                  "'",
                                                  "\xE9\xFF\x80",
                                                  std::string(1, '\0'),
                                                  "\x01",
                                                  "<p",
                                                  "=",
                                                  "<a href=\"unclosed",
                                                  "<!-- x -- y -->",
                                                  std::string(40, 'z'),
                                                  std::string(17, ' '),
                                                  "<pre>",
                                                  "a b c d e f g h i j k l m n o p"};
  std::string page;
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> count(1, 400);
  for (int i = count(rng); i > 0; --i) page += pieces[pick(rng)];
  return page;
}

std::vector<std::string> Symbols(ReaderState& r, bool pre) {
  r.PreMode = pre;
  try {
    return testing::Brief(testing::Tokenize(r));
  } catch (const EParseError&) {
    return {"EParseError"};
  }
}

TEST(TokenizerSources, RandomPagesAgreeAcrossSourcesAndWindowEnds) {
  std::mt19937 rng(12345);
  testing::TempDir dir;
  for (int i = 0; i < 300; ++i) {
    const std::string page = RandomPage(rng);
    const bool pre = i % 3 == 0;
    ReaderState buffer;
    buffer.StartBuffer(page.data(), page.size());
    const auto expected = Symbols(buffer, pre);
    ASSERT_FALSE(expected.empty());

    ReaderState file;
    file.StartFile(dir.Write("p.htm", page));
    EXPECT_EQ(Symbols(file, pre), expected) << i;

    std::istringstream in(page);
    ReaderState stream;
    stream.StartStream(in);
    EXPECT_EQ(Symbols(stream, pre), expected) << i;

    // Short lines make short read windows: the same bytes as one buffer
    // (each line followed by a carriage return) give the same symbols.
    std::vector<std::string> lines;
    std::string joined;
    std::uniform_int_distribution<std::size_t> lineLength(0, 24);
    for (std::size_t at = 0; at < page.size();) {
      lines.push_back(page.substr(at, lineLength(rng)));
      at += lines.back().size();
      joined += lines.back() + '\r';
    }
    ReaderState whole, strings;
    whole.StartBuffer(joined.data(), joined.size());
    strings.StartStrings(lines);
    EXPECT_EQ(Symbols(strings, pre), Symbols(whole, pre)) << i;

    // Pages cut short end where they are cut.
    const std::string head = page.substr(0, page.size() / 2);
    const std::string withEnd = head + '\x1A' + page.substr(page.size() / 2);
    ReaderState cut, marked;
    cut.StartBuffer(head.data(), head.size());
    marked.StartBuffer(withEnd.data(), withEnd.size());
    EXPECT_EQ(Symbols(marked, pre), Symbols(cut, pre)) << i;
  }
}

TEST(TokenizerAllocation, NoHeapUseOncePageHasBeenSeen) {
  std::ifstream in(KIV_SOURCE_DIR "/bench/pages/reference.html", std::ios::binary);
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(page.size(), 128000u);
  ReaderState r;
  long symbols = 0;
  auto pass = [&] {
    r.StartBuffer(page.data(), page.size());
    r.NextChar();
    do {
      r.Next();
      ++symbols;
    } while (r.Sym != EndOfInputSymbol);
  };
  pass();
  const long before = gAllocations.load();
  symbols = 0;
  pass();
  EXPECT_EQ(gAllocations.load() - before, 0) << "over " << symbols << " symbols";
  EXPECT_GT(symbols, 5000);
}

}  // namespace
}  // namespace kiv
