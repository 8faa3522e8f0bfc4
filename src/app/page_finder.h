// TPageFinder: the matches of a find-in-page text on the shown page and the
// walk through them (next, previous, with wrap-around at either end). The
// search itself is the document's: the finder asks it for the first match at
// or after a character index and keeps what it learned, so the count ("3 of
// 12") and each step cost one search at most after the first count.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kiv {

// Longest text the find bar searches for: the document's case-blind search
// compares at most this many characters, so a longer text would be reported
// where only its beginning matches.
constexpr int MaxFindTextLength = 255;
// Matches counted before the count is shown as "N+": a page of 128000 bytes
// can hold tens of thousands of one-letter matches, and each is a search
// through the document.
constexpr int MaxCountedMatches = 1000;

enum class TFindWrap { None, ToTop, ToBottom };

struct TFindStep {
  int Start = -1;   // character index of the match; -1: none
  int Length = 0;   // its length in characters
  int Ordinal = 0;  // 1 for the first match of the page; 0: none
  int Counted = 0;  // matches known so far (all of them unless Capped)
  bool Capped = false;
  TFindWrap Wrapped = TFindWrap::None;
};

class TPageFinder {
 public:
  // search(fromIndex, text, matchCase): the index of the first match at or
  // after fromIndex, -1 when none.
  using SearchFunction = std::function<int(int fromIndex, const std::string& text, bool matchCase)>;

  explicit TPageFinder(SearchFunction search);

  // A new text or letter case, or a new page: the matches are found again.
  void SetQuery(const std::string& text, bool matchCase);
  // Any of several words: a match is the earliest of them (the longest where
  // two start together). Text() is the words joined by spaces.
  void SetWords(const std::vector<std::string>& words, bool matchCase);
  const std::vector<std::string>& Words() const { return words_; }
  void Reset();
  const std::string& Text() const { return text_; }
  bool MatchCase() const { return matchCase_; }

  // The first match at or after fromIndex, else the first of the page
  // (wrapped to the top).
  TFindStep FindFrom(int fromIndex);
  // The match of that ordinal (0: the first), else the first.
  TFindStep FindOrdinal(int ordinal);
  // The match after, or before, the current one, wrapping at the ends. With
  // no current match: the first, or the last.
  TFindStep Next();
  TFindStep Previous();
  // Finds the matches up to the counting limit, selecting none.
  void CountMatches();
  // The current match (none after a reset or a new query).
  const TFindStep& Current() const { return current_; }

  // "3 of 12", "3 of 1000+", "No matches", or empty when there is no text.
  std::string CountText() const;

 private:
  // Makes sure matches_ holds index i, when the page has that many.
  bool Ensure(std::size_t i);
  TFindStep StepAt(std::size_t i, TFindWrap wrapped);

  SearchFunction search_;
  std::string text_;
  std::vector<std::string> words_;  // what is searched for: text_, or the words
  bool matchCase_ = false;
  std::vector<int> matches_;  // starts, in character order
  std::vector<int> lengths_;  // and lengths
  std::vector<int> next_;     // each word's next match at or after the walk's place
  bool complete_ = false;     // matches_ holds every match of the page
  bool counted_ = false;
  TFindStep current_;
  std::size_t currentIndex_ = 0;
};

}  // namespace kiv
