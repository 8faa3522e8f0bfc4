// Searching the whole help through its search index: the pages ranked for a
// query, each named by its title and the section of its best hit, with an
// excerpt around that hit, and the results as a page of our own HTML that
// the viewer shows like any help page.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "app/search_index.h"
#include "platform/code_page.h"

namespace kiv {

// A result's texts are UTF-8, converted from the code page of its page; its
// file name, anchor and find words are the page's own bytes, as links and
// the find bar on that page take them.
struct HelpSearchResult {
  std::string fileName;  // the page's name in the package, as a link takes it
  std::string anchor;    // the anchor of the best hit's heading; empty: the page's top
  std::string title;     // the page's TITLE, else its file name (UTF-8)
  std::string heading;   // the heading the best hit stands under; may be empty (UTF-8)
  CodePage codePage = CodePage::Windows1252;  // of the page
  double score = 0;
  // Filled when details are asked for (UTF-8, not HTML-escaped):
  std::string excerpt;                                    // the text around the best hit
  std::vector<std::pair<std::size_t, std::size_t>> bold;  // query words in it: start, length
  // The page's words that the query's words found (folded, in the page's
  // code page), for the find bar, and how many of their matches on the page
  // come before the best hit.
  std::vector<std::string> findWords;
  int hitOrdinal = 0;

  // The link that opens the page at the section: "page.html#anchor".
  std::string Link() const { return anchor.empty() ? fileName : fileName + "#" + anchor; }
};

struct HelpSearchResults {
  std::vector<HelpSearchResult> results;  // best first
  std::size_t matched = 0;                // every page found (results holds the first ones)
  bool truncated = false;                 // the query was cut
  bool empty = true;                      // nothing to search for
  std::size_t pagesLeftOut = 0;           // pages of the package the index left out
};

// Results listed with their details on a results page.
constexpr std::size_t MaxListedResults = 20;

class HelpSearch {
 public:
  // Keeps a reference to index; the index must outlive the search.
  explicit HelpSearch(const SearchIndex& index);

  // The limit best pages for query (UTF-8). With details, each result's excerpt
  // and find words are read from the package (an input/output error is
  // raised when it cannot be read).
  HelpSearchResults Search(const std::string& query, std::size_t limit = MaxListedResults,
                           bool details = true) const;

 private:
  const SearchIndex& index_;
};

// The code page the results page is written in: the first (in packing
// order) that holds the query and every listed result's texts, else the one
// that holds the most results, the best ones counting first. So Cyrillic
// hits show in Windows-1251, and a help of one code page gets pages in it.
CodePage SearchResultsCodePage(const std::string& query, const HelpSearchResults& results);

// The results as a page of HTML in SearchResultsCodePage, which it declares:
// each result's title a link to its section, the heading under it, an
// excerpt with the query's words in bold. Everything taken from the query or
// the pages is HTML-escaped; characters the code page lacks show as "?".
std::string SearchResultsPage(const std::string& query, const HelpSearchResults& results);

}  // namespace kiv
