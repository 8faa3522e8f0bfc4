// A query of the whole-help search as the ranking reads it: its words folded
// and stemmed as the index files page words, and its quoted phrases.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/search_terms.h"

namespace kiv {

// Longest query read (the rest is ignored), and how many different words of
// it are searched for.
constexpr std::size_t MaxQueryLength = 1000;
constexpr std::size_t MaxQueryTerms = 20;

struct SearchQueryTerm {
  std::string word;  // folded as typed
  std::string term;  // its stem, as the index files it
};

struct SearchQuery {
  std::vector<SearchQueryTerm> terms;  // each different term once, in query order
  // The term of every word in query order (pairs of neighbours earn the
  // adjacency bonus).
  std::vector<std::size_t> sequence;
  // Quoted phrases of two words or more: their terms in order. A page must
  // hold each of them as a phrase.
  std::vector<std::vector<std::size_t>> phrases;
  bool truncated = false;  // words past MaxQueryTerms or MaxQueryLength were left out
  bool Empty() const { return terms.empty(); }
};

// Words are runs of letters and digits; text between double quotes is a
// phrase (an unclosed quote runs to the end).
SearchQuery ParseSearchQuery(std::string_view query, const SearchFolding& folding);

}  // namespace kiv
