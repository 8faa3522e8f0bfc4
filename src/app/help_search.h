// Searching the whole help: every page of the package is read through the
// tokenizer (tags, scripts and comments never match; entities are decoded),
// the pages holding every word of the query are ranked, and the results
// become a page of our own HTML that the viewer shows like any help page.
#pragma once

#include <string>
#include <vector>

#include "app/help_package.h"

namespace kiv {

struct HelpSearchResult {
  std::string fileName;  // the page's name in the package, as a link takes it
  std::string title;     // the page's TITLE, else its file name
  int titleHits = 0;     // how many query words the title holds
  int hits = 0;          // occurrences of the query words in the page's text
  // The words as found at the first hit, with an excerpt around it
  // (Windows-1252 text, not HTML-escaped).
  std::string firstHitText;
};

class HelpSearch {
 public:
  // Keeps a reference to package; the package must outlive the search.
  explicit HelpSearch(const THelpPackage& package);

  // The pages that hold every word of query (words split on spaces, letter
  // case ignored as the ANSI code page folds it), title hits first, then by
  // the number of hits, then by title. A blank query finds nothing. Raises
  // EInOutError when the package cannot be read.
  std::vector<HelpSearchResult> Search(const std::string& query) const;

 private:
  const THelpPackage& package_;
};

// The results as a page of HTML (Windows-1252): each title a link whose HREF
// is the page's file name, an excerpt under it with the searched words in
// bold. Everything taken from the query or the pages is HTML-escaped.
std::string SearchResultsPage(const std::string& query,
                              const std::vector<HelpSearchResult>& results);

}  // namespace kiv
