// A query of the whole-help search as the ranking reads it: its words folded
// and stemmed as the index files page words, and its quoted phrases. The
// query is Unicode (UTF-8); each word is folded in every code page that can
// hold it, so that it finds pages in any of them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/search_terms.h"

namespace kiv {

// Longest query read, in characters (the rest is ignored), and how many
// different words of it are searched for.
constexpr std::size_t MaxQueryLength = 1000;
constexpr std::size_t MaxQueryTerms = 20;

struct SearchQueryTerm {
  std::string word;  // folded as typed (UTF-8)
  std::string term;  // its stem, as the index files it
  // The word's folded forms and their terms in each code page that holds
  // the word, each once (word and term are the first of them). Empty when
  // no code page holds the word: it occurs on no page.
  std::vector<std::string> words;
  std::vector<std::string> terms;
  std::size_t letters = 0;  // characters of the word
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
  // A character of the query is in no code page a page can be in, so no
  // page can hold the query as typed.
  bool unmatchable = false;
  bool Empty() const { return terms.empty(); }
};

// Words are runs of letters and digits; text between double quotes is a
// phrase (an unclosed quote runs to the end). Invalid UTF-8 separates words.
SearchQuery ParseSearchQuery(std::string_view utf8Query);

}  // namespace kiv
