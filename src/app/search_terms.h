// The words of page text and of queries as the search index keeps them:
// runs of letters and digits, folded case-blind in the page's code page, and
// reduced to a stem so that a word's plural and common endings find it
// ("keys" and "key", "indexes", "indices" and "index", "printing" and
// "print").
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kiv {

// Words longer than this are cut: no word of a real page comes near it, and
// a page of one endless word keeps its index small.
constexpr std::size_t MaxSearchWordLength = 64;

// What a code page's letters are and how they fold: a table per code page.
struct SearchFolding {
  std::array<char, 256> lower{};   // each byte folded to lower case
  std::array<bool, 256> inWord{};  // letters and digits
};

// The folding of a page in the given Windows code page (1252 and any code
// page without a table of its own fold as the ANSI code page does).
const SearchFolding& FoldingFor(int codePage);

// Calls onWord(start, length) for each word of text, in order.
template <class Emit>
void ForEachWord(std::string_view text, const SearchFolding& folding, Emit&& onWord) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    while (i < n && !folding.inWord[static_cast<unsigned char>(text[i])]) ++i;
    const std::size_t start = i;
    while (i < n && folding.inWord[static_cast<unsigned char>(text[i])]) ++i;
    if (i > start) onWord(start, i - start);
  }
}

// The word folded and cut to MaxSearchWordLength.
std::string FoldWord(std::string_view word, const SearchFolding& folding);

// Text folded whole, as the find bar compares it.
std::string FoldText(std::string_view text, const SearchFolding& folding);

// Reduces a folded word to its stem in place: English plural endings,
// "-ing" and "-ed", a final "e", and a few irregular plurals. Words holding
// digits, and words of three letters or fewer, stay as they are.
void StemWord(std::string& folded);

// FoldWord followed by StemWord: the term the index files the word under.
std::string SearchTerm(std::string_view word, const SearchFolding& folding);

}  // namespace kiv
