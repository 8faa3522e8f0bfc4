// Searching the whole help: a package of 500 pages and 5 MB, generated in a
// temporary folder, searched with a few kinds of query.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/help_package.h"
#include "app/help_search.h"

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

const std::string& PackagePath() {
  static const std::string path = [] {
    const auto dir = std::filesystem::temp_directory_path() / "kivbench-search";
    std::filesystem::create_directories(dir);
    const std::string p = (dir / "kivmap.hpm").string();
    std::uint32_t seed = 12345;
    std::vector<std::string> pages;
    std::string lines;
    std::size_t offset = 0;
    for (int i = 0; i < kPages; ++i) {
      pages.push_back(MakePage(i, seed));
      lines += "topic" + std::to_string(i) + ".html," + std::to_string(offset) + "\r\n";
      offset += pages.back().size();
    }
    lines += "******," + std::to_string(offset) + "\r\n";
    char start[32];
    std::snprintf(start, sizeof start, "START,%010zu\r\n", 18 + lines.size());
    std::ofstream out(p, std::ios::binary);
    out << start << lines;
    for (const std::string& page : pages) out << page;
    return p;
  }();
  return path;
}

void RunSearch(benchmark::State& state, const std::string& query) {
  kiv::THelpPackage package(PackagePath());
  kiv::HelpSearch search(package);
  std::size_t found = 0;
  for (auto _ : state) {
    const auto results = search.Search(query);
    found = results.size();
    benchmark::DoNotOptimize(kiv::SearchResultsPage(query, results));
  }
  state.counters["pages_found"] = static_cast<double>(found);
}

// A word on every page: every page is listed, ranked and excerpted.
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

BENCHMARK(Search_CommonWord)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_TwoWords)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_RareWord)->Unit(benchmark::kMillisecond);
BENCHMARK(Search_Missing)->Unit(benchmark::kMillisecond);

}  // namespace
