// Searching the whole help: packages of 500 pages and 5 MB and of 1200 pages
// and 18 MB, generated in a temporary folder; building the search index and
// searching it with a few kinds of query.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "app/help_package.h"
#include "app/help_search.h"
#include "app/search_index.h"

namespace {

constexpr int kPages = 500;
constexpr std::size_t kPageBytes = 10000;  // 500 x 10000 bytes: 5 MB of pages

const char* const kWords[] = {
    "the",     "viewer",  "page",   "help",     "window",   "link",    "picture", "table",
    "print",   "font",    "size",   "contents", "back",     "forward", "package", "index",
    "text",    "heading", "list",   "anchor",   "colour",   "border",  "cell",    "column",
    "row",     "image",   "bitmap", "search",   "settings", "start",   "author",  "host",
    "program", "key",     "mouse",  "click",    "scroll",   "select",  "copy",    "clipboard",
    "of",      "and",     "to",     "a",        "in",       "is",      "that",    "with"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

// A page shaped like a help page: title, headings, paragraphs with bold
// words, links and entities, a small table and comments.
std::string MakePage(int n, std::uint32_t& seed) {
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  auto word = [&] { return std::string(kWords[next() % kWordCount]); };
  std::string page = "<HTML><HEAD><TITLE>Topic " + std::to_string(n) + ": " + word() + " " +
                     word() + "</TITLE></HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n";
  if (n % 50 == 7) page += "<P>A rare zeppelin appears here.</P>\r\n";
  while (page.size() < kPageBytes - 600) {
    page += "<H2>" + word() + " " + word() + "</H2>\r\n<!-- section " + std::to_string(next()) +
            " -->\r\n<P>";
    for (int w = 0; w < 60; ++w) {
      const std::uint32_t r = next() % 20;
      if (r == 0) {
        page += "<B>" + word() + "</B> ";
      } else if (r == 1) {
        page += "<A HREF=\"topic" + std::to_string(next() % kPages) + ".html\">" + word() + "</A> ";
      } else if (r == 2) {
        page += word() + "&nbsp;" + word() + " ";
      } else {
        page += word() + " ";
      }
    }
    page += "</P>\r\n<TABLE BORDER=1><TR><TD>" + word() + "</TD><TD>" + word() +
            "</TD></TR></TABLE>\r\n";
  }
  page += "</BODY></HTML>\r\n";
  page.resize(kPageBytes, ' ');
  return page;
}

// Writes a package of count pages made by makePage (NAME0.html, NAME1.html,
// ...) into its own temporary folder and gives its path.
template <typename MakePageFn>
std::string WritePackage(const char* folder, const char* name, int count, std::uint32_t seed,
                         MakePageFn makePage) {
  const auto dir = std::filesystem::temp_directory_path() / folder;
  std::filesystem::create_directories(dir);
  const std::string p = (dir / "kivmap.hpm").string();
  std::vector<std::string> pages;
  std::string lines;
  std::size_t offset = 0;
  for (int i = 0; i < count; ++i) {
    pages.push_back(makePage(i, seed));
    lines += name + std::to_string(i) + ".html," + std::to_string(offset) + "\r\n";
    offset += pages.back().size();
  }
  lines += "******," + std::to_string(offset) + "\r\n";
  char start[32];
  std::snprintf(start, sizeof start, "START,%010zu\r\n", 18 + lines.size());
  std::ofstream out(p, std::ios::binary);
  out << start << lines;
  for (const std::string& page : pages) out << page;
  return p;
}

const std::string& PackagePath() {
  static const std::string path = WritePackage("kivbench-search", "topic", kPages, 12345, MakePage);
  return path;
}

// The 500-page package searched with its index built once: the query, the
// ranking and the excerpts of the listed results, and the results page.
void RunSearch(benchmark::State& state, const std::string& query) {
  const auto index = kiv::SearchIndex::Build(PackagePath());
  kiv::HelpSearch search(*index);
  std::size_t found = 0;
  for (auto _ : state) {
    const auto results = search.Search(query);
    found = results.matched;
    benchmark::DoNotOptimize(kiv::SearchResultsPage(query, results));
  }
  state.counters["pages_found"] = static_cast<double>(found);
}

// A word on every page: every page is ranked, the first ones excerpted.
void Search_CommonWord(benchmark::State& s) {
  RunSearch(s, "viewer");
}
// Two words, both common.
void Search_TwoWords(benchmark::State& s) {
  RunSearch(s, "print Contents");
}
// A word on ten pages.
void Search_RareWord(benchmark::State& s) {
  RunSearch(s, "zeppelin");
}
// No page holds it.
void Search_Missing(benchmark::State& s) {
  RunSearch(s, "nowhere");
}
// A phrase and a word.
void Search_Phrase(benchmark::State& s) {
  RunSearch(s, "\"page help\" window");
}

BENCHMARK(Search_CommonWord)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_TwoWords)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_RareWord)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_Missing)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_Phrase)->Unit(benchmark::kMillisecond);

// --- a large help: 1200 pages, 18 MB ---------------------------------------------------

constexpr int kLargePages = 1200;
constexpr std::size_t kLargePageBytes = 15000;

// A vocabulary of a manual's size: common words and made-up rarer ones.
std::string LargeWord(std::uint32_t r) {
  if (r % 4 != 0) return kWords[(r >> 2) % kWordCount];
  static const char* const kSyllables[] = {"ka", "lo", "mi", "ne", "ru", "ti", "so", "va",
                                           "pe", "do", "gu", "zi", "ba", "fo", "he", "ju"};
  std::string w;
  std::uint32_t v = (r >> 2) % 20000;
  for (int i = 0; i < 3; ++i, v /= 16) w += kSyllables[v % 16];
  if (v % 3 == 1) w += "s";
  if (v % 5 == 2) w += "ing";
  return w;
}

std::string MakeLargePage(int n, std::uint32_t& seed) {
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  std::string page = "<HTML><HEAD><TITLE>Chapter " + std::to_string(n) + ": " + LargeWord(next()) +
                     " " + LargeWord(next()) + "</TITLE></HEAD>\r\n<BODY>\r\n";
  int section = 0;
  while (page.size() < kLargePageBytes - 800) {
    page += "<A NAME=\"s" + std::to_string(section++) + "\"></A><H2>" + LargeWord(next()) + " " +
            LargeWord(next()) + "</H2>\r\n<P>";
    for (int w = 0; w < 80; ++w) {
      const std::uint32_t r = next();
      if (r % 25 == 0)
        page += "<B>" + LargeWord(next()) + "</B> ";
      else if (r % 25 == 1)
        page += "<A HREF=\"chapter" + std::to_string(next() % kLargePages) + ".html\">" +
                LargeWord(next()) + "</A> ";
      else
        page += LargeWord(r) + " ";
    }
    page += "</P>\r\n";
  }
  page += "</BODY></HTML>\r\n";
  page.resize(kLargePageBytes, ' ');
  return page;
}

const std::string& LargePackagePath() {
  static const std::string path =
      WritePackage("kivbench-search-large", "chapter", kLargePages, 4242, MakeLargePage);
  return path;
}

// Building the index of the large help: its time, and the bytes the index
// holds once built (counted by kivbench's allocator).
void SearchIndex_Build1200(benchmark::State& state) {
  const std::string& path = LargePackagePath();
  std::int64_t held = 0;
  std::size_t terms = 0;
  for (auto _ : state) {
    const std::int64_t before = kiv::bench::CurrentAllocCounts().live;
    auto index = kiv::SearchIndex::Build(path);
    held = kiv::bench::CurrentAllocCounts().live - before;
    terms = index->TermCount();
    benchmark::DoNotOptimize(index);
  }
  state.counters["held_bytes"] = static_cast<double>(held);
  state.counters["terms"] = static_cast<double>(terms);
}
BENCHMARK(SearchIndex_Build1200)->Unit(benchmark::kMillisecond)->Iterations(3);

// Queries of one to four words, a phrase among them, on the large help: each
// benchmark one query, ranked with its listed results' excerpts.
void RunLargeQuery(benchmark::State& state, const std::string& query) {
  static const auto index = kiv::SearchIndex::Build(LargePackagePath());
  kiv::HelpSearch search(*index);
  std::size_t found = 0;
  for (auto _ : state) {
    const auto results = search.Search(query, 10);
    found = results.matched;
    benchmark::DoNotOptimize(results);
  }
  state.counters["pages_found"] = static_cast<double>(found);
}
void SearchQuery1200_OneWord(benchmark::State& s) {
  RunLargeQuery(s, "picture");
}
void SearchQuery1200_RareWord(benchmark::State& s) {
  RunLargeQuery(s, "kalomi");
}
void SearchQuery1200_TwoWords(benchmark::State& s) {
  RunLargeQuery(s, "table border");
}
void SearchQuery1200_Phrase(benchmark::State& s) {
  RunLargeQuery(s, "\"the viewer\" settings");
}
void SearchQuery1200_FourWords(benchmark::State& s) {
  RunLargeQuery(s, "print the font size");
}
BENCHMARK(SearchQuery1200_OneWord)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchQuery1200_RareWord)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchQuery1200_TwoWords)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchQuery1200_Phrase)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchQuery1200_FourWords)->Unit(benchmark::kMillisecond);

}  // namespace
