// The words of page text and of queries as the search index keeps them:
// runs of letters and digits, folded case-blind in the page's code page, and
// reduced to a stem so that a word's plural and common endings find it
// ("keys" and "key", "indexes", "indices" and "index", "printing" and
// "print"). Terms are kept in UTF-8, so that one term stands for one word
// whatever code page its page is in, and the same byte in two code pages
// (0xFF is "ÿ" in Windows-1252 and "я" in Windows-1251) never meets itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace kiv {

// Words longer than this many characters are cut: no word of a real page
// comes near it, and a page of one endless word keeps its index small.
constexpr std::size_t MaxSearchWordLength = 64;

// What a code page's letters are and how they fold: a table per code page.
struct SearchFolding {
  CodePage codePage = CodePage::Windows1252;
  std::array<char, 256> lower{};   // each byte folded case-blind
  std::array<bool, 256> inWord{};  // letters and digits
  // The UTF-8 form of each byte (one to three bytes long).
  std::array<std::array<char, 3>, 256> utf8{};
  std::array<std::uint8_t, 256> utf8Length{};
};

// The folding of a page in the given code page.
const SearchFolding& FoldingFor(CodePage codePage);
// The same by number (1250, 1251, ...); a number without a code page of its
// own folds as Windows-1252.
const SearchFolding& FoldingFor(int codePage);

// True for the code points that make words: letters and digits. The same in
// every code page, so that a query typed in Unicode splits into the words
// each page's text splits into.
bool IsSearchWordCodePoint(char32_t cp);

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

// The word folded and cut to MaxSearchWordLength, in the code page.
std::string FoldWord(std::string_view word, const SearchFolding& folding);

// Text folded whole, as the find bar compares it, in the code page.
std::string FoldText(std::string_view text, const SearchFolding& folding);

// Reduces a folded word to its stem in place: English plural endings,
// "-ing" and "-ed", a final "e", and a few irregular plurals. Words holding
// digits or letters outside a to z, and words of three letters or fewer,
// stay as they are.
void StemWord(std::string& folded);

// Appends the UTF-8 form of code-page text.
void AppendTermText(std::string& out, std::string_view bytes, const SearchFolding& folding);

// Folds, stems and converts a word of code-page text into term: the term
// the index files it under. term is reused, so that a scan over many words
// allocates once.
void MakeSearchTerm(std::string_view word, const SearchFolding& folding, std::string& term);
std::string SearchTerm(std::string_view word, const SearchFolding& folding);

}  // namespace kiv
