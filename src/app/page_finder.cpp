#include "app/page_finder.h"

#include <algorithm>
#include <limits>

namespace kiv {

namespace {
constexpr int kUnknown = -2;  // a word's next match, not looked for yet
constexpr int kNoMore = -1;   // the word has no match after the walk's place
}  // namespace

TPageFinder::TPageFinder(SearchFunction search) : search_(std::move(search)) {}

void TPageFinder::SetQuery(const std::string& text, bool matchCase) {
  if (text == text_ && words_.size() == 1 && matchCase == matchCase_ && counted_) return;
  text_ = text;
  words_.assign(1, text);
  matchCase_ = matchCase;
  Reset();
}

void TPageFinder::SetWords(const std::vector<std::string>& words, bool matchCase) {
  std::vector<std::string> kept;
  std::string text;
  for (const std::string& w : words) {
    if (w.empty()) continue;
    kept.push_back(w);
    text += (text.empty() ? "" : " ") + w;
  }
  if (kept == words_ && text == text_ && matchCase == matchCase_ && counted_) return;
  words_ = std::move(kept);
  text_ = text;
  matchCase_ = matchCase;
  Reset();
}

void TPageFinder::Reset() {
  matches_.clear();
  lengths_.clear();
  next_.clear();
  complete_ = false;
  counted_ = false;
  current_ = {};
  currentIndex_ = 0;
}

bool TPageFinder::Ensure(std::size_t i) {
  if (text_.empty() || !search_) complete_ = true;
  while (matches_.size() <= i && !complete_) {
    // Matches do not overlap: the next one starts after this one ends.
    const int from = matches_.empty() ? 0 : matches_.back() + lengths_.back();
    int found = -1, length = 0;
    next_.resize(words_.size(), kUnknown);
    for (std::size_t k = 0; k < words_.size(); ++k) {
      // Each word's next match is kept until the walk passes it, so several
      // words cost one pass over the page each.
      if (next_[k] == kNoMore) continue;
      if (next_[k] < from) {
        const int at = from < 0 ? -1 : search_(from, words_[k], matchCase_);
        // A result before the place asked for would repeat matches for ever.
        next_[k] = at < from ? kNoMore : at;
      }
      const int at = next_[k];
      if (at == kNoMore) continue;
      const int n = static_cast<int>(words_[k].size());
      if (found < 0 || at < found || (at == found && n > length)) {
        found = at;
        length = n;
      }
    }
    if (found < 0) {
      complete_ = true;
    } else {
      matches_.push_back(found);
      lengths_.push_back(length);
    }
  }
  return matches_.size() > i;
}

void TPageFinder::CountMatches() {
  if (counted_) return;
  counted_ = true;
  Ensure(MaxCountedMatches);
}

TFindStep TPageFinder::StepAt(std::size_t i, TFindWrap wrapped) {
  current_ = {};
  current_.Start = matches_[i];
  current_.Length = lengths_[i];
  current_.Ordinal = static_cast<int>(i) + 1;
  current_.Counted = static_cast<int>(matches_.size());
  current_.Capped = !complete_;
  current_.Wrapped = wrapped;
  currentIndex_ = i;
  return current_;
}

TFindStep TPageFinder::FindFrom(int fromIndex) {
  CountMatches();
  while (!complete_ && (matches_.empty() || matches_.back() < fromIndex)) Ensure(matches_.size());
  const auto at = std::lower_bound(matches_.begin(), matches_.end(), fromIndex);
  if (at != matches_.end())
    return StepAt(static_cast<std::size_t>(at - matches_.begin()), TFindWrap::None);
  if (!matches_.empty()) return StepAt(0, TFindWrap::ToTop);
  current_ = {};
  current_.Counted = 0;
  return current_;
}

TFindStep TPageFinder::FindOrdinal(int ordinal) {
  CountMatches();
  if (ordinal < 0) ordinal = 0;
  if (Ensure(static_cast<std::size_t>(ordinal)))
    return StepAt(static_cast<std::size_t>(ordinal), TFindWrap::None);
  return FindFrom(0);
}

TFindStep TPageFinder::Next() {
  CountMatches();
  if (current_.Start < 0) return FindFrom(0);
  if (Ensure(currentIndex_ + 1)) return StepAt(currentIndex_ + 1, TFindWrap::None);
  return StepAt(0, TFindWrap::ToTop);
}

TFindStep TPageFinder::Previous() {
  CountMatches();
  if (current_.Start >= 0 && currentIndex_ > 0) return StepAt(currentIndex_ - 1, TFindWrap::None);
  // The last match: every match of the page must be known.
  Ensure(std::numeric_limits<std::size_t>::max() - 1);
  if (matches_.empty()) {
    current_ = {};
    return current_;
  }
  return StepAt(matches_.size() - 1, current_.Start >= 0 ? TFindWrap::ToBottom : TFindWrap::None);
}

std::string TPageFinder::CountText() const {
  if (text_.empty() || !counted_) return {};
  if (matches_.empty()) return "No matches";
  const std::string total = std::to_string(matches_.size()) + (complete_ ? "" : "+");
  if (current_.Start < 0)
    return total + (matches_.size() == 1 && complete_ ? " match" : " matches");
  return std::to_string(current_.Ordinal) + " of " + total;
}

}  // namespace kiv
