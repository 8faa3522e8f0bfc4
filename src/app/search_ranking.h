// Ranking the pages of a search index for a query: a BM25F score over the
// title, heading and body fields, a bonus where the query's words stand next
// to each other in order, quoted phrases that must match, and for each page
// found the section (heading) and word where its best hit stands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/search_index.h"
#include "app/search_query.h"

namespace kiv {

// The defaults were tuned on the PostgreSQL 15 manual and the Git manual
// pages (bench/search_quality): the first result right for 46 of 53 queries,
// one of the first three for 51; title and heading weights between 3 and 12
// and 1.5 and 6 ranked those alike, saturation (k1) and the body's length
// normalisation mattered most.
struct SearchWeights {
  // Field weights: a word in the title counts as this many in the body.
  double title = 5.0;
  double heading = 2.5;
  double body = 1.0;
  double k1 = 2.0;  // how fast repeated words stop adding
  // Length normalisation per field (0: none, 1: full).
  double bTitle = 0.4;
  double bHeading = 0.5;
  double bBody = 0.5;
  // The query's words next to each other in order, per pair.
  double adjacency = 0.3;
  // A word found only as the beginning of longer words, a word of one
  // letter, and a word on more than half of the pages weigh this much.
  double prefix = 0.5;
  double shortWord = 0.1;
  double commonWord = 0.3;
};

// A query word's terms in the index: the word's own stem, else (while it is
// being typed) the terms that begin with it.
struct ResolvedTerm {
  std::vector<std::uint32_t> ids;
  double weight = 0;  // its idf times the factors above
  bool prefix = false;
};

std::vector<ResolvedTerm> ResolveTerms(const SearchIndex& index, const SearchQuery& query,
                                       const SearchWeights& weights = {});

struct RankedPage {
  std::uint32_t page = 0;
  double score = 0;
  // The heading whose section holds the best hit (-1: the text before the
  // first heading, or a hit in the title alone).
  int heading = -1;
  // The word position of the best hit; NoPosition when the title alone matched.
  std::uint32_t position = 0;
  static constexpr std::uint32_t NoPosition = 0xFFFFFFFFu;
};

struct SearchRanking {
  std::vector<RankedPage> pages;  // best first, at most the limit asked for
  std::size_t matched = 0;        // every page found
};

SearchRanking RankPages(const SearchIndex& index, const SearchQuery& query, std::size_t limit,
                        const SearchWeights& weights = {});

}  // namespace kiv
