#include "app/search_index.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <utility>

#include "app/help_package.h"
#include "app/package_index_reader.h"
#include "app/page_text.h"
#include "app/search_terms.h"
#include "app/string_helpers.h"
#include "platform/file_error.h"
#include "reader/charset_declaration.h"

namespace kiv {

namespace {

// A word's term id carries where the word stands in its two top bits.
constexpr std::uint32_t kInTitle = 1u << 31;
constexpr std::uint32_t kInHeading = 1u << 30;
constexpr std::uint32_t kIdMask = kInHeading - 1;
// Words past the term table's bound: they keep their place but are not indexed.
constexpr std::uint32_t kNoTerm = kIdMask;
static_assert(MaxIndexedTerms < kNoTerm);
// A heading's text as the results show it.
constexpr std::size_t kHeadingShown = 200;

struct PackagePage {
  std::string name;
  std::int32_t start = -1;
  std::int32_t end = PageBufferSize;
};

bool IsHtmlName(const std::string& name) {
  const std::string upper = UpperText(name);
  auto endsWith = [&](std::string_view ext) {
    return upper.size() >= ext.size() &&
           upper.compare(upper.size() - ext.size(), ext.size(), ext) == 0;
  };
  return endsWith(".HTM") || endsWith(".HTML");
}

// A link can reach the page only when the help window looks its file part up
// under the same name: the window cuts at "#" and keeps what follows the last
// backslash or colon.
bool LinkCanName(const std::string& name) {
  return name.find_first_of("#\\:") == std::string::npos;
}

// Every page of the package a link can show, with the range the viewer's
// lookup gives its name: the first entry of a name wins, offsets are added to
// the base of the START line above them, and an entry ends where the next
// index line's offset says.
std::vector<PackagePage> ListPages(std::FILE* f) {
  std::vector<PackagePage> pages;
  std::set<std::string> seen;
  std::int32_t base = 0;
  IndexLineReader reader(f);
  std::string line, next;
  bool have = reader.Next(line);
  while (have && line.compare(0, 6, "******") != 0) {
    const bool haveNext = reader.Next(next);
    const std::string name = CsvField(line, 1, "");
    const std::string upper = UpperText(name);
    if (upper == "START") base = CsvIntField(line, 2, 0);
    if (!name.empty() && upper != "START" && seen.insert(upper).second && IsHtmlName(name) &&
        LinkCanName(name)) {
      PackagePage page;
      page.name = name;
      page.start = AddOffsets(CsvIntField(line, 2, -1), base);
      if (haveNext) page.end = AddOffsets(CsvIntField(next, 2, PageBufferSize), base);
      pages.push_back(std::move(page));
    }
    line.swap(next);
    have = haveNext;
  }
  return pages;
}

// Reads a page as the help window loads it: at most the page buffer's worth.
// False for a range the window refuses or cannot reach.
bool ReadPage(std::FILE* f, const PackagePage& page, std::vector<char>& bytes) {
  if (page.start < 0 || page.end < page.start) return false;
  if (std::fseek(f, page.start, SEEK_SET) != 0) return false;
  const std::size_t want =
      std::min<std::int64_t>(static_cast<std::int64_t>(page.end) - page.start, PageBufferSize);
  bytes.resize(want);
  const std::size_t n = want == 0 ? 0 : std::fread(bytes.data(), 1, want, f);
  if (std::ferror(f)) throw EInOutError("Read error in help package for: " + page.name);
  bytes.resize(n);
  return true;
}

std::uint32_t HashOf(std::string_view s) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return h;
}

bool FileStamp(const std::string& path, std::uintmax_t& size, std::int64_t& time) {
  std::error_code ec;
  size = std::filesystem::file_size(path, ec);
  if (ec) return false;
  const auto t = std::filesystem::last_write_time(path, ec);
  if (ec) return false;
  time = static_cast<std::int64_t>(t.time_since_epoch().count());
  return true;
}

}  // namespace

class SearchIndexBuilder {
 public:
  explicit SearchIndexBuilder(SearchIndex& index) : ix_(index) { ix_.slots_.assign(1024, 0); }

  std::uint32_t Intern(std::string_view term) {
    std::uint32_t mask = static_cast<std::uint32_t>(ix_.slots_.size() - 1);
    const std::uint32_t hash = HashOf(term);
    for (std::uint32_t i = hash & mask;; i = (i + 1) & mask) {
      const std::uint32_t slot = ix_.slots_[i];
      if (slot == 0) break;
      if (hashes_[slot - 1] == hash && ix_.Term(slot - 1) == term) return slot - 1;
    }
    if (ix_.termOffsets_.size() >= MaxIndexedTerms) return kNoTerm;
    const auto id = static_cast<std::uint32_t>(ix_.termOffsets_.size());
    ix_.termOffsets_.push_back(static_cast<std::uint32_t>(ix_.termChars_.size()));
    ix_.termChars_.append(term);
    hashes_.push_back(hash);
    if ((ix_.termOffsets_.size()) * 2 > ix_.slots_.size()) {
      Rehash(ix_.slots_.size() * 2);
    } else {
      Place(id, mask);
    }
    return id;
  }

  // Adds a page's words; false when the bounds leave it out.
  bool AddPage(const std::string& name, const PackagePage& range, CodePage codePage,
               PageText& text) {
    if (ix_.pages_.size() >= MaxIndexedPages) return false;
    if (textBytes_ + text.text.size() + text.title.size() > MaxIndexedTextBytes) return false;
    // A word takes at least one letter and one separator.
    if (words_.size() + (text.text.size() + text.title.size()) / 2 + 2 > MaxIndexedWords)
      return false;
    textBytes_ += text.text.size() + text.title.size();
    SearchPage page;
    page.name = name;
    page.title = text.title.empty() ? name : text.title;
    page.start = range.start;
    page.end = range.end;
    page.codePage = static_cast<int>(codePage);
    const SearchFolding& folding = FoldingFor(codePage);
    pageStarts_.push_back(static_cast<std::uint32_t>(words_.size()));

    std::string term;
    auto add = [&](std::string_view word, std::uint32_t flags) {
      MakeSearchTerm(word, folding, term);
      words_.push_back(Intern(term) | flags);
    };
    ForEachWord(text.title, folding, [&](std::size_t s, std::size_t n) {
      add(std::string_view(text.title).substr(s, n), kInTitle);
    });
    page.titleWords = static_cast<std::uint32_t>(words_.size() - pageStarts_.back());

    const std::vector<PageHeading>& headings = text.headings;
    const std::size_t keptHeadings = std::min(headings.size(), MaxPageSections);
    std::size_t h = 0;
    bool inHeading = false;
    ForEachWord(text.text, folding, [&](std::size_t s, std::size_t n) {
      const auto position = static_cast<std::uint32_t>(words_.size() - pageStarts_.back());
      while (h < keptHeadings && s >= headings[h].end) {
        if (inHeading) page.headings.back().wordEnd = position;
        inHeading = false;
        ++h;
      }
      if (h < keptHeadings && s >= headings[h].begin && !inHeading) {
        inHeading = true;
        SearchHeading sh;
        sh.wordBegin = sh.wordEnd = position;
        sh.text = text.text.substr(headings[h].begin,
                                   std::min(headings[h].end - headings[h].begin, kHeadingShown));
        sh.anchor = headings[h].anchor;
        page.headings.push_back(std::move(sh));
      }
      add(std::string_view(text.text).substr(s, n), inHeading ? kInHeading : 0);
      if (inHeading) {
        page.headings.back().wordEnd = position + 1;
        ++page.headingWords;
      }
    });
    page.bodyWords =
        static_cast<std::uint32_t>(words_.size() - pageStarts_.back()) - page.titleWords;
    ix_.pages_.push_back(std::move(page));
    return true;
  }

  void Finish() {
    const std::size_t terms = ix_.termOffsets_.size();
    const auto pages = static_cast<std::uint32_t>(ix_.pages_.size());
    pageStarts_.push_back(static_cast<std::uint32_t>(words_.size()));
    constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::vector<std::uint32_t> lastPage(terms, kNone);
    std::vector<std::uint32_t> positionCount(terms + 1, 0), postingCount(terms + 1, 0);
    for (std::uint32_t p = 0; p < pages; ++p) {
      for (std::uint32_t i = pageStarts_[p]; i < pageStarts_[p + 1]; ++i) {
        const std::uint32_t t = words_[i] & kIdMask;
        if (t == kNoTerm) continue;
        ++positionCount[t];
        if (lastPage[t] != p) {
          lastPage[t] = p;
          ++postingCount[t];
        }
      }
    }
    // Starts from counts.
    std::vector<std::uint32_t> positionStart(terms + 1, 0);
    ix_.postingStart_.assign(terms + 1, 0);
    for (std::size_t t = 0; t < terms; ++t) {
      positionStart[t + 1] = positionStart[t] + positionCount[t];
      ix_.postingStart_[t + 1] = ix_.postingStart_[t] + postingCount[t];
    }
    ix_.positions_.assign(positionStart[terms], 0);
    ix_.postings_.assign(ix_.postingStart_[terms] + 1, SearchPosting{});
    ix_.postings_.back().positionsBegin = positionStart[terms];
    std::vector<std::uint32_t> nextPosting(ix_.postingStart_.begin(), ix_.postingStart_.end());
    std::fill(lastPage.begin(), lastPage.end(), kNone);
    for (std::uint32_t p = 0; p < pages; ++p) {
      for (std::uint32_t i = pageStarts_[p]; i < pageStarts_[p + 1]; ++i) {
        const std::uint32_t word = words_[i];
        const std::uint32_t t = word & kIdMask;
        if (t == kNoTerm) continue;
        if (lastPage[t] != p) {
          lastPage[t] = p;
          SearchPosting& posting = ix_.postings_[nextPosting[t]++];
          posting.page = p;
          posting.positionsBegin = positionStart[t];
        }
        SearchPosting& posting = ix_.postings_[nextPosting[t] - 1];
        if ((word & kInTitle) && posting.titleCount < 0xFFFF) ++posting.titleCount;
        if ((word & kInHeading) && posting.headingCount < 0xFFFF) ++posting.headingCount;
        ix_.positions_[positionStart[t]++] = i - pageStarts_[p];
      }
    }
    std::vector<std::uint32_t>().swap(words_);

    ix_.sorted_.resize(terms);
    for (std::uint32_t t = 0; t < terms; ++t) ix_.sorted_[t] = t;
    std::sort(ix_.sorted_.begin(), ix_.sorted_.end(),
              [&](std::uint32_t a, std::uint32_t b) { return ix_.Term(a) < ix_.Term(b); });

    double body = 0, title = 0, heading = 0;
    for (const SearchPage& page : ix_.pages_) {
      body += page.bodyWords;
      title += page.titleWords;
      heading += page.headingWords;
    }
    const double n = std::max<double>(1, pages);
    ix_.averageBody_ = std::max(1.0, body / n);
    ix_.averageTitle_ = std::max(1.0, title / n);
    ix_.averageHeading_ = std::max(1.0, heading / n);
  }

 private:
  void Place(std::uint32_t id, std::uint32_t mask) {
    for (std::uint32_t i = hashes_[id] & mask;; i = (i + 1) & mask) {
      if (ix_.slots_[i] == 0) {
        ix_.slots_[i] = id + 1;
        return;
      }
    }
  }
  void Rehash(std::size_t size) {
    ix_.slots_.assign(size, 0);
    const auto mask = static_cast<std::uint32_t>(size - 1);
    for (std::uint32_t id = 0; id < ix_.termOffsets_.size(); ++id) Place(id, mask);
  }

  SearchIndex& ix_;
  std::vector<std::uint32_t> words_;       // every page's term ids, flagged
  std::vector<std::uint32_t> pageStarts_;  // where each page's words start
  std::size_t textBytes_ = 0;
  std::vector<std::uint32_t> hashes_;  // of each term
};

std::unique_ptr<SearchIndex> SearchIndex::Build(const std::string& nativePath,
                                                const std::atomic<bool>* cancel) {
  std::unique_ptr<SearchIndex> index(new SearchIndex);
  index->path_ = nativePath;
  FileStamp(nativePath, index->fileSize_, index->fileTime_);
  PackageFileHandle file(nativePath);
  if (!file.get()) throw CantLocateFile(nativePath);
  const std::vector<PackagePage> pages = ListPages(file.get());

  SearchIndexBuilder builder(*index);
  // Names whose range another name already showed share its entry.
  std::set<std::pair<std::int32_t, std::int32_t>> ranges;
  std::vector<char> bytes;
  bytes.reserve(PageBufferSize);
  for (const PackagePage& page : pages) {
    if (cancel && cancel->load(std::memory_order_relaxed)) return nullptr;
    if (!ranges.insert({page.start, page.end}).second) {
      ++index->sharedNames_;
      continue;
    }
    if (!ReadPage(file.get(), page, bytes)) {
      ++index->leftOut_;
      continue;
    }
    PageText text = ExtractPageText(bytes.data(), bytes.size());
    // The viewer reads the page in the code page its first declaration
    // names: so do its words.
    const CodePage codePage = CodePageOfPage(std::string_view(bytes.data(), bytes.size()));
    if (!text.complete || !builder.AddPage(page.name, page, codePage, text)) ++index->leftOut_;
  }
  builder.Finish();
  return index;
}

bool SearchIndex::IsCurrent() const {
  std::uintmax_t size = 0;
  std::int64_t time = 0;
  return FileStamp(path_, size, time) && size == fileSize_ && time == fileTime_;
}

std::int64_t SearchIndex::Find(std::string_view term) const {
  const auto mask = static_cast<std::uint32_t>(slots_.size() - 1);
  if (slots_.empty()) return -1;
  for (std::uint32_t i = HashOf(term) & mask;; i = (i + 1) & mask) {
    const std::uint32_t slot = slots_[i];
    if (slot == 0) return -1;
    if (Term(slot - 1) == term) return slot - 1;
  }
}

std::vector<std::uint32_t> SearchIndex::FindPrefix(std::string_view prefix, std::size_t max) const {
  std::vector<std::uint32_t> ids;
  auto at = std::lower_bound(sorted_.begin(), sorted_.end(), prefix,
                             [&](std::uint32_t id, std::string_view p) { return Term(id) < p; });
  for (; at != sorted_.end() && ids.size() < max; ++at) {
    if (Term(*at).substr(0, prefix.size()) != prefix) break;
    ids.push_back(*at);
  }
  return ids;
}

std::string_view SearchIndex::Term(std::uint32_t id) const {
  const std::size_t begin = termOffsets_[id];
  const std::size_t end = id + 1 < termOffsets_.size() ? termOffsets_[id + 1] : termChars_.size();
  return std::string_view(termChars_).substr(begin, end - begin);
}

const SearchPosting* SearchIndex::PostingsBegin(std::uint32_t id) const {
  return postings_.data() + postingStart_[id];
}

const SearchPosting* SearchIndex::PostingsEnd(std::uint32_t id) const {
  return postings_.data() + postingStart_[id + 1];
}

const SearchPosting* SearchIndex::PostingOn(std::uint32_t id, std::uint32_t page) const {
  const SearchPosting* begin = PostingsBegin(id);
  const SearchPosting* end = PostingsEnd(id);
  const SearchPosting* at = std::lower_bound(
      begin, end, page, [](const SearchPosting& p, std::uint32_t v) { return p.page < v; });
  return at != end && at->page == page ? at : nullptr;
}

const std::uint32_t* SearchIndex::PositionsBegin(const SearchPosting* p) const {
  return positions_.data() + p->positionsBegin;
}

const std::uint32_t* SearchIndex::PositionsEnd(const SearchPosting* p) const {
  return positions_.data() + (p + 1)->positionsBegin;
}

std::vector<PageText> SearchIndex::ReadTexts(const std::vector<std::uint32_t>& pages) const {
  std::vector<PageText> texts(pages.size());
  if (pages.empty()) return texts;
  PackageFileHandle file(path_);
  if (!file.get()) throw CantLocateFile(path_);
  std::vector<char> bytes;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const SearchPage& page = pages_[pages[i]];
    PackagePage range;
    range.name = page.name;
    range.start = page.start;
    range.end = page.end;
    if (ReadPage(file.get(), range, bytes)) texts[i] = ExtractPageText(bytes.data(), bytes.size());
  }
  return texts;
}

std::size_t SearchIndex::HeldBytes() const {
  std::size_t bytes = termChars_.capacity() + termOffsets_.capacity() * 4 + slots_.capacity() * 4 +
                      sorted_.capacity() * 4 + postingStart_.capacity() * 4 +
                      postings_.capacity() * sizeof(SearchPosting) + positions_.capacity() * 4;
  for (const SearchPage& page : pages_) {
    bytes += sizeof page + page.name.capacity() + page.title.capacity();
    for (const SearchHeading& h : page.headings)
      bytes += sizeof h + h.text.capacity() + h.anchor.capacity();
  }
  return bytes;
}

}  // namespace kiv
