// The search index of a help package, held in memory: every page a link can
// show, read through the viewer's tokenizer as the page text, its words
// folded and stemmed with their positions, and for each page its title and
// headings (with the anchor a link to each takes). Built in one pass over the
// package; a package that changes on disk needs a new index.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

struct PageText;

// What one index keeps at most, so that a huge or hostile package costs a
// bounded time and memory: pages past these are left out of the search.
constexpr std::size_t MaxIndexedPages = 20000;
constexpr std::size_t MaxIndexedTextBytes = 48u * 1024 * 1024;
constexpr std::size_t MaxIndexedWords = 8u * 1024 * 1024;
constexpr std::size_t MaxIndexedTerms = 1u << 20;
// Headings kept of one page (the rest count as body text).
constexpr std::size_t MaxPageSections = 2000;

struct SearchHeading {
  std::uint32_t wordBegin = 0;  // the positions of its words
  std::uint32_t wordEnd = 0;
  std::string text;    // cut to a line's worth
  std::string anchor;  // empty: the page's top
};

struct SearchPage {
  std::string name;   // as the package index names it
  std::string title;  // the TITLE, else the name
  std::int32_t start = 0;
  std::int32_t end = 0;
  int codePage = 1252;  // of its text: 1250, 1251, ...
  // Positions 0 .. titleWords-1 are the title's words, the body's follow.
  std::uint32_t titleWords = 0;
  std::uint32_t bodyWords = 0;
  std::uint32_t headingWords = 0;
  std::vector<SearchHeading> headings;
};

// One page of a term's postings.
struct SearchPosting {
  std::uint32_t page = 0;
  std::uint32_t positionsBegin = 0;  // into the index's positions
  std::uint16_t titleCount = 0;      // occurrences in the title
  std::uint16_t headingCount = 0;    // occurrences in headings
};

class SearchIndex {
 public:
  // Reads the package at nativePath. Raises the input/output error when it
  // cannot be opened or read. Returns nullptr when cancel is set meanwhile.
  static std::unique_ptr<SearchIndex> Build(const std::string& nativePath,
                                            const std::atomic<bool>* cancel = nullptr);

  // The file's size and modification time as the index read it: a package
  // that differs needs a new index.
  bool IsCurrent() const;
  const std::string& Path() const { return path_; }

  std::size_t PageCount() const { return pages_.size(); }
  const SearchPage& Page(std::uint32_t i) const { return pages_[i]; }
  // Pages of the package left out: past the bounds above, unreadable, or
  // pages the window cannot show.
  std::size_t PagesLeftOut() const { return leftOut_; }
  // Names of the package that show a page indexed under another name.
  std::size_t SharedNames() const { return sharedNames_; }
  double AverageBodyWords() const { return averageBody_; }
  double AverageTitleWords() const { return averageTitle_; }
  double AverageHeadingWords() const { return averageHeading_; }

  // The term's id, or -1.
  std::int64_t Find(std::string_view term) const;
  // Ids of terms that begin with prefix (at most max, in term order).
  std::vector<std::uint32_t> FindPrefix(std::string_view prefix, std::size_t max) const;
  std::string_view Term(std::uint32_t id) const;
  std::size_t TermCount() const { return termOffsets_.size(); }

  // The term's postings, in page order.
  const SearchPosting* PostingsBegin(std::uint32_t id) const;
  const SearchPosting* PostingsEnd(std::uint32_t id) const;
  // The term's posting on the page, nullptr when the page lacks the term.
  const SearchPosting* PostingOn(std::uint32_t id, std::uint32_t page) const;
  // The positions of a posting (ascending), for postings of this index.
  const std::uint32_t* PositionsBegin(const SearchPosting* p) const;
  const std::uint32_t* PositionsEnd(const SearchPosting* p) const;

  // The text of the pages as the index read it, in the order asked (an empty
  // text for a page that can no longer be read). Raises the input/output
  // error when the package cannot be opened.
  std::vector<PageText> ReadTexts(const std::vector<std::uint32_t>& pages) const;

  // Memory held, in bytes (an estimate of the arrays' sizes).
  std::size_t HeldBytes() const;

 private:
  friend class SearchIndexBuilder;
  SearchIndex() = default;

  std::string path_;
  std::uintmax_t fileSize_ = 0;
  std::int64_t fileTime_ = 0;
  std::vector<SearchPage> pages_;
  std::size_t leftOut_ = 0;
  std::size_t sharedNames_ = 0;
  double averageBody_ = 1, averageTitle_ = 1, averageHeading_ = 1;

  // Terms: their text in one arena, an open-addressing table from text to id.
  std::string termChars_;
  std::vector<std::uint32_t> termOffsets_;  // start of each term; its end is the next start
  std::vector<std::uint32_t> slots_;        // id + 1, 0 when free
  std::vector<std::uint32_t> sorted_;       // ids in term order
  // Postings of term i: postings_[postingStart_[i] .. postingStart_[i+1]);
  // one posting past the last closes the positions.
  std::vector<std::uint32_t> postingStart_;
  std::vector<SearchPosting> postings_;
  std::vector<std::uint32_t> positions_;
};

}  // namespace kiv
