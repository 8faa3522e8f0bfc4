#include "app/search_query.h"

#include <algorithm>

#include "platform/utf8_decoder.h"

namespace kiv {

namespace {

void AddOnce(std::vector<std::string>& list, std::string value) {
  if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(std::move(value));
}

// The word (UTF-8, at most MaxSearchWordLength characters) folded and
// stemmed in each code page that holds every one of its characters.
SearchQueryTerm MakeQueryTerm(std::string_view utf8Word, std::size_t letters) {
  SearchQueryTerm t;
  t.letters = letters;
  std::string term;
  for (CodePage page : kCodePagesInPackingOrder) {
    bool lossless = true;
    const std::string bytes = Utf8ToCodePage(page, utf8Word, &lossless);
    if (!lossless) continue;
    const SearchFolding& folding = FoldingFor(page);
    std::string folded;
    AppendTermText(folded, FoldWord(bytes, folding), folding);
    MakeSearchTerm(bytes, folding, term);
    AddOnce(t.words, std::move(folded));
    AddOnce(t.terms, term);
  }
  if (t.terms.empty()) {
    t.word = t.term = std::string(utf8Word);
  } else {
    t.word = t.words.front();
    t.term = t.terms.front();
  }
  return t;
}

}  // namespace

SearchQuery ParseSearchQuery(std::string_view query) {
  SearchQuery q;
  bool quoted = false;
  std::vector<std::size_t> phrase;
  auto endPhrase = [&] {
    if (phrase.size() >= 2) q.phrases.push_back(phrase);
    phrase.clear();
  };
  std::size_t wordStart = 0, wordEnd = 0, letters = 0;
  auto endWord = [&] {
    if (letters == 0) return;
    const std::string_view word = query.substr(wordStart, wordEnd - wordStart);
    SearchQueryTerm t = MakeQueryTerm(word, letters);
    letters = 0;
    if (t.terms.empty()) q.unmatchable = true;
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
  };
  std::size_t characters = 0;
  for (std::size_t pos = 0; pos < query.size();) {
    if (characters++ == MaxQueryLength) {
      q.truncated = true;
      break;
    }
    char32_t cp = 0;
    std::size_t length = 1;
    const bool valid = DecodeUtf8At(query, pos, cp, length) != Utf8Sequence::Invalid;
    if (valid && IsSearchWordCodePoint(cp)) {
      if (letters == 0) wordStart = pos;
      // Letters past a word's bound are read but not kept.
      if (letters < MaxSearchWordLength) wordEnd = pos + length;
      ++letters;
    } else {
      endWord();
      if (valid && cp == '"') {
        if (quoted) endPhrase();
        quoted = !quoted;
      }
    }
    pos += length;
  }
  endWord();
  if (quoted) endPhrase();
  return q;
}

}  // namespace kiv
