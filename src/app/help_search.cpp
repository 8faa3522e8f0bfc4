#include "app/help_search.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <set>
#include <string_view>

#include "app/package_index_reader.h"
#include "app/page_text.h"
#include "app/string_helpers.h"
#include "platform/ansi_case.h"
#include "platform/file_error.h"
#include "platform/paths.h"

namespace kiv {

namespace {

// How many different words a query may hold; the rest are not searched for
// (and the results page says so). It keeps a pasted paragraph from costing
// thousands of passes over the help.
constexpr std::size_t kMaxQueryWords = 20;
// Words this long or shorter are found with the library's search; longer
// ones with a linear-time scan, so a long word cannot make the search
// quadratic on a repetitive page.
constexpr std::size_t kShortWord = 32;
// The excerpt: about this many characters, starting this many before the hit.
constexpr std::size_t kExcerptLength = 160;
constexpr std::size_t kExcerptLead = 60;
// The results page stays within the viewer's page buffer with room to spare;
// results past this are counted but not listed.
constexpr std::size_t kResultsPageBudget = PageBufferSize - 4000;
// How much of the query, and of a page's title, the results page repeats.
constexpr std::size_t kQueryShown = 200;
constexpr std::size_t kTitleShown = 200;

const std::array<char, 256>& LowerTable() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i) t[i] = AnsiLower(static_cast<char>(i));
    return t;
  }();
  return table;
}

std::string Folded(std::string_view s) {
  const auto& lower = LowerTable();
  std::string out(s.size(), '\0');
  for (std::size_t i = 0; i < s.size(); ++i) out[i] = lower[static_cast<unsigned char>(s[i])];
  return out;
}

bool IsQueryBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct QueryWords {
  std::vector<std::string> words;  // folded, each once, in query order
  bool truncated = false;          // more different words than are searched for
};

QueryWords SplitQuery(const std::string& query) {
  QueryWords q;
  std::set<std::string> seen;
  std::size_t i = 0;
  while (i < query.size()) {
    while (i < query.size() && IsQueryBlank(query[i])) ++i;
    std::size_t start = i;
    while (i < query.size() && !IsQueryBlank(query[i])) ++i;
    if (i == start) break;
    std::string word = Folded(std::string_view(query).substr(start, i - start));
    if (!seen.insert(word).second) continue;
    if (q.words.size() == kMaxQueryWords) {
      q.truncated = true;
      break;
    }
    q.words.push_back(std::move(word));
  }
  return q;
}

// A folded word with what its search needs.
class WordMatcher {
 public:
  explicit WordMatcher(std::string word) : word_(std::move(word)) {
    if (word_.size() <= kShortWord) return;
    // Longest proper prefix that is also a suffix, for every prefix.
    failure_.assign(word_.size(), 0);
    std::size_t k = 0;
    for (std::size_t i = 1; i < word_.size(); ++i) {
      while (k > 0 && word_[i] != word_[k]) k = failure_[k - 1];
      if (word_[i] == word_[k]) ++k;
      failure_[i] = k;
    }
  }

  const std::string& Word() const { return word_; }

  // Counts the occurrences in folded text that do not overlap; first is the
  // position of the first one (npos when there is none).
  int Count(std::string_view text, std::size_t& first) const {
    first = std::string_view::npos;
    if (word_.empty() || text.size() < word_.size()) return 0;
    int count = 0;
    if (failure_.empty()) {
      for (std::size_t pos = text.find(word_); pos != std::string_view::npos;
           pos = text.find(word_, pos + word_.size())) {
        if (count == 0) first = pos;
        if (count < INT_MAX) ++count;
      }
      return count;
    }
    std::size_t k = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      while (k > 0 && text[i] != word_[k]) k = failure_[k - 1];
      if (text[i] == word_[k]) ++k;
      if (k == word_.size()) {
        if (count == 0) first = i + 1 - k;
        if (count < INT_MAX) ++count;
        k = 0;
      }
    }
    return count;
  }

 private:
  std::string word_;
  std::vector<std::size_t> failure_;
};

// About kExcerptLength characters of text around the hit at hit (length
// hitLength), cut at spaces, with "..." where text was left out.
std::string Excerpt(const std::string& text, std::size_t hit, std::size_t hitLength) {
  if (text.empty()) return {};
  hit = std::min(hit, text.size());
  hitLength = std::min(hitLength, text.size() - hit);
  std::size_t begin = hit > kExcerptLead ? hit - kExcerptLead : 0;
  if (begin > 0) {
    std::size_t space = text.find(' ', begin);
    if (space != std::string::npos && space < hit) begin = space + 1;
  }
  // The whole hit shows when it is not itself longer than an excerpt.
  std::size_t end = std::max(begin + kExcerptLength, hit + std::min(hitLength, kExcerptLength));
  if (end >= text.size()) {
    end = text.size();
  } else {
    std::size_t space = text.rfind(' ', end);
    if (space != std::string::npos && space > hit + hitLength) end = space;
  }
  std::string out;
  if (begin > 0) out += "... ";
  out.append(text, begin, end - begin);
  if (end < text.size()) out += " ...";
  return out;
}

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
  // The index lines up to the "******" line (or the end of the file).
  std::vector<std::string> lines;
  IndexLineReader reader(f);
  for (std::string line; reader.Next(line);) {
    const bool last = line.compare(0, 6, "******") == 0;
    lines.push_back(std::move(line));
    if (last) break;
  }
  std::vector<PackagePage> pages;
  std::set<std::string> seen;
  std::int32_t base = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.compare(0, 6, "******") == 0) break;
    const std::string name = CsvField(line, 1, "");
    const std::string upper = UpperText(name);
    if (upper == "START") base = CsvIntField(line, 2, 0);
    if (name.empty() || upper == "START" || !seen.insert(upper).second) continue;
    if (!IsHtmlName(name) || !LinkCanName(name)) continue;
    PackagePage page;
    page.name = name;
    page.start = AddOffsets(CsvIntField(line, 2, -1), base);
    if (i + 1 < lines.size())
      page.end = AddOffsets(CsvIntField(lines[i + 1], 2, PageBufferSize), base);
    pages.push_back(std::move(page));
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

// --- the results page ---------------------------------------------------------------

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control characters would be dropped, or end the page (26).
        out += static_cast<unsigned char>(c) < 32 ? ' ' : c;
        break;
    }
  }
}

std::string Escaped(std::string_view text) {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

// The excerpt with every occurrence of the query words in bold.
std::string BoldedExcerpt(const std::string& excerpt, const std::vector<std::string>& words) {
  const std::string folded = Folded(excerpt);
  std::vector<bool> bold(excerpt.size(), false);
  for (const std::string& w : words) {
    if (w.empty()) continue;
    for (std::size_t pos = folded.find(w); pos != std::string::npos;
         pos = folded.find(w, pos + w.size())) {
      std::fill(bold.begin() + static_cast<std::ptrdiff_t>(pos),
                bold.begin() + static_cast<std::ptrdiff_t>(pos + w.size()), true);
    }
  }
  std::string out;
  bool inBold = false;
  for (std::size_t i = 0; i < excerpt.size(); ++i) {
    if (bold[i] != inBold) {
      out += bold[i] ? "<B>" : "</B>";
      inBold = bold[i];
    }
    AppendEscaped(out, std::string_view(&excerpt[i], 1));
  }
  if (inBold) out += "</B>";
  return out;
}

std::string Plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

HelpSearch::HelpSearch(const THelpPackage& package) : package_(package) {}

std::vector<HelpSearchResult> HelpSearch::Search(const std::string& query) const {
  std::vector<HelpSearchResult> results;
  const QueryWords q = SplitQuery(query);
  if (q.words.empty()) return results;
  std::vector<WordMatcher> matchers;
  for (const std::string& w : q.words) matchers.emplace_back(w);

  PackageFile file(NativePath(package_.PackagePath()));
  if (!file.get()) throw CantLocateFile(package_.PackagePath());
  const std::vector<PackagePage> pages = ListPages(file.get());

  std::vector<char> bytes;
  bytes.reserve(PageBufferSize);
  for (const PackagePage& page : pages) {
    if (!ReadPage(file.get(), page, bytes)) continue;
    PageText text = ExtractPageText(bytes.data(), bytes.size());
    if (!text.complete) continue;  // the window cannot show it
    if (text.title.empty()) text.title = page.name;
    const std::string foldedText = Folded(text.text);
    const std::string foldedTitle = Folded(text.title);

    HelpSearchResult r;
    std::size_t firstHit = std::string::npos;
    std::size_t firstHitLength = 0;
    bool everyWord = true;
    for (const WordMatcher& m : matchers) {
      std::size_t first = 0, titleFirst = 0;
      const int inText = m.Count(foldedText, first);
      const int inTitle = m.Count(foldedTitle, titleFirst);
      if (inText == 0 && inTitle == 0) {
        everyWord = false;
        break;
      }
      r.hits = inText > INT_MAX - r.hits ? INT_MAX : r.hits + inText;
      r.titleHits = inTitle > INT_MAX - r.titleHits ? INT_MAX : r.titleHits + inTitle;
      if (first < firstHit || (first == firstHit && m.Word().size() > firstHitLength)) {
        firstHit = first;
        firstHitLength = m.Word().size();
      }
    }
    if (!everyWord) continue;
    r.fileName = page.name;
    r.title = std::move(text.title);
    // A page found by its title alone shows its beginning.
    r.firstHitText = firstHit == std::string::npos ? Excerpt(text.text, 0, 0)
                                                   : Excerpt(text.text, firstHit, firstHitLength);
    results.push_back(std::move(r));
  }

  std::stable_sort(results.begin(), results.end(),
                   [](const HelpSearchResult& a, const HelpSearchResult& b) {
                     if (a.titleHits != b.titleHits) return a.titleHits > b.titleHits;
                     if (a.hits != b.hits) return a.hits > b.hits;
                     const std::string ta = UpperText(a.title), tb = UpperText(b.title);
                     if (ta != tb) return ta < tb;
                     return UpperText(a.fileName) < UpperText(b.fileName);
                   });
  return results;
}

std::string SearchResultsPage(const std::string& query,
                              const std::vector<HelpSearchResult>& results) {
  const QueryWords q = SplitQuery(query);
  std::string shownQuery = TrimBlanks(query);
  if (shownQuery.size() > kQueryShown) shownQuery = shownQuery.substr(0, kQueryShown) + "...";

  std::string page =
      "<HTML>\r\n<HEAD>\r\n<TITLE>Search results</TITLE>\r\n</HEAD>\r\n"
      "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\">\r\n"
      "<H2>Search results</H2>\r\n";
  const std::string end = "</BODY>\r\n</HTML>\r\n";

  if (q.words.empty()) {
    page +=
        "<P>There is nothing to search for. Type one or more words in the search box: the "
        "pages that hold every word are listed here.</P>\r\n";
    return page + end;
  }
  const std::string quoted = "<B>" + Escaped(shownQuery) + "</B>";
  if (results.empty()) {
    page += "<P>No page holds every word of " + quoted + ".</P>\r\n";
    page += "<P>Check the spelling, or search with fewer words.</P>\r\n";
  } else {
    page += "<P>" + Plural(results.size(), "page holds", "pages hold") + " every word of " +
            quoted + ". Pages whose title holds a word come first.</P>\r\n";
  }
  if (q.truncated) {
    page += "<P>Only the first " + std::to_string(kMaxQueryWords) +
            " different words were searched for.</P>\r\n";
  }

  std::size_t listed = 0;
  for (const HelpSearchResult& r : results) {
    std::string title = r.title.empty() ? r.fileName : r.title;
    if (title.size() > kTitleShown) title = title.substr(0, kTitleShown) + "...";
    std::string entry = "<P><A HREF=\"" + Escaped(r.fileName) + "\">" + Escaped(title) + "</A>";
    if (!r.firstHitText.empty()) entry += "<BR>\r\n" + BoldedExcerpt(r.firstHitText, q.words);
    entry += "</P>\r\n";
    if (page.size() + entry.size() + end.size() + 200 > kResultsPageBudget) break;
    page += entry;
    ++listed;
  }
  if (listed < results.size()) {
    page += "<P>" + Plural(results.size() - listed, "more page is", "more pages are") +
            " not listed. Add words to the search to narrow it down.</P>\r\n";
  }
  return page + end;
}

}  // namespace kiv
