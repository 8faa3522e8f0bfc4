#include "app/search_query.h"

namespace kiv {

SearchQuery ParseSearchQuery(std::string_view query, const SearchFolding& folding) {
  SearchQuery q;
  if (query.size() > MaxQueryLength) {
    query = query.substr(0, MaxQueryLength);
    q.truncated = true;
  }
  // Segments between quotes alternate: outside, inside, outside...
  bool quoted = false;
  std::size_t at = 0;
  while (at <= query.size()) {
    std::size_t quote = query.find('"', at);
    if (quote == std::string_view::npos) quote = query.size();
    const std::string_view segment = query.substr(at, quote - at);
    std::vector<std::size_t> phrase;
    ForEachWord(segment, folding, [&](std::size_t s, std::size_t n) {
      SearchQueryTerm t;
      t.word = FoldWord(segment.substr(s, n), folding);
      t.term = t.word;
      StemWord(t.term);
      std::size_t index = 0;
      while (index < q.terms.size() && q.terms[index].term != t.term) ++index;
      if (index == q.terms.size()) {
        if (q.terms.size() == MaxQueryTerms) {
          q.truncated = true;
          return;
        }
        q.terms.push_back(std::move(t));
      }
      if (q.sequence.size() < 4 * MaxQueryTerms) q.sequence.push_back(index);
      if (quoted && phrase.size() < 4 * MaxQueryTerms) phrase.push_back(index);
    });
    if (phrase.size() >= 2) q.phrases.push_back(std::move(phrase));
    quoted = !quoted;
    at = quote + 1;
  }
  return q;
}

}  // namespace kiv
