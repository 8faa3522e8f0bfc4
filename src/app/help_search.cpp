#include "app/help_search.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "app/help_package.h"
#include "app/page_text.h"
#include "app/search_query.h"
#include "app/search_ranking.h"
#include "app/search_terms.h"
#include "app/string_helpers.h"
#include "platform/code_page.h"
#include "platform/utf8_decoder.h"

namespace kiv {

namespace {

// The excerpt: about this many characters, starting this many before the hit.
constexpr std::size_t kExcerptLength = 160;
constexpr std::size_t kExcerptLead = 60;
// The results page stays within the viewer's page buffer with room to spare;
// results past this are counted but not listed.
constexpr std::size_t kResultsPageBudget = PageBufferSize - 4000;
// How much of the query, and of a page's title, the results page repeats.
constexpr std::size_t kQueryShown = 200;
constexpr std::size_t kTitleShown = 200;
// Different words of a page handed to the find bar.
constexpr std::size_t kMaxFindWords = 12;

// About kExcerptLength characters of text around the hit at hit (length
// hitLength), cut at spaces: the range of text it takes.
std::pair<std::size_t, std::size_t> ExcerptRange(const std::string& text, std::size_t hit,
                                                 std::size_t hitLength) {
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
  return {begin, end};
}

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

std::string BoldedExcerpt(const HelpSearchResult& r) {
  std::string out;
  std::size_t at = 0;
  for (const auto& [start, length] : r.bold) {
    if (start < at || start + length > r.excerpt.size()) continue;
    AppendEscaped(out, std::string_view(r.excerpt).substr(at, start - at));
    out += "<B>";
    AppendEscaped(out, std::string_view(r.excerpt).substr(start, length));
    out += "</B>";
    at = start + length;
  }
  AppendEscaped(out, std::string_view(r.excerpt).substr(at));
  return out;
}

std::string Plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The matches the find bar steps through before offset: the earliest match
// of any of the words at or after the last one's end (the longest word where
// two start together).
int MatchesBefore(const std::string& folded, const std::vector<std::string>& words,
                  std::size_t offset) {
  std::vector<std::pair<std::size_t, std::size_t>> found;
  for (const std::string& w : words) {
    if (w.empty()) continue;
    for (std::size_t p = folded.find(w); p != std::string::npos && p < offset;
         p = folded.find(w, p + 1))
      found.push_back({p, w.size()});
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second > b.second;
  });
  int count = 0;
  std::size_t from = 0;
  for (const auto& [start, length] : found) {
    if (start < from) continue;
    ++count;
    from = start + length;
  }
  return count;
}

// The UTF-8 text of code-page bytes, with where each byte's character starts
// in it (one entry past the last for the end).
std::string ToUtf8(const SearchFolding& folding, std::string_view bytes,
                   std::vector<std::size_t>* starts = nullptr) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  if (starts) starts->clear();
  for (char c : bytes) {
    if (starts) starts->push_back(out.size());
    const auto b = static_cast<unsigned char>(c);
    out.append(folding.utf8[b].data(), folding.utf8Length[b]);
  }
  if (starts) starts->push_back(out.size());
  return out;
}

// Fills the result's excerpt, bold ranges and find words from the page's
// text. hits are the word positions of the query's terms on the page, from
// the index (ascending): the page's words are read in the order the index
// numbered them, so no word needs to be folded to know whether it matched.
void AddDetails(HelpSearchResult& r, const SearchPage& page, std::uint32_t position,
                const PageText& text, const std::vector<std::uint32_t>& hits) {
  const SearchFolding& folding = FoldingFor(page.codePage);
  std::size_t hit = 0, hitLength = 0;
  bool haveHit = false;
  std::vector<std::string> forms;
  std::vector<std::pair<std::size_t, std::size_t>> matchedWords;  // start, length
  std::uint32_t at = page.titleWords;                             // the body's first position
  std::size_t k =
      static_cast<std::size_t>(std::lower_bound(hits.begin(), hits.end(), at) - hits.begin());
  std::string bestForm, form;
  ForEachWord(text.text, folding, [&](std::size_t s, std::size_t n) {
    const std::uint32_t p = at++;
    while (k < hits.size() && hits[k] < p) ++k;
    const bool matched = k < hits.size() && hits[k] == p;
    if (p == position) {
      hit = s;
      hitLength = n;
      haveHit = true;
      if (matched) bestForm = FoldWord(text.text.substr(s, n), folding);
    }
    if (!matched) return;
    matchedWords.push_back({s, n});
    if (forms.size() < 4 * kMaxFindWords) {
      form = FoldWord(std::string_view(text.text).substr(s, n), folding);
      if (std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(form);
    }
  });
  if (!text.text.empty()) {
    const auto [begin, end] = ExcerptRange(text.text, haveHit ? hit : 0, haveHit ? hitLength : 0);
    std::vector<std::size_t> starts;
    const std::string lead = begin > 0 ? "... " : "";
    r.excerpt =
        lead + ToUtf8(folding, std::string_view(text.text).substr(begin, end - begin), &starts);
    if (end < text.text.size()) r.excerpt += " ...";
    for (const auto& [s, n] : matchedWords) {
      if (s < begin || s + n > end) continue;
      const std::size_t from = lead.size() + starts[s - begin];
      r.bold.push_back({from, lead.size() + starts[s + n - begin] - from});
    }
  }
  // The shortest forms first: a word holding another one is found by it.
  if (!bestForm.empty()) {
    forms.erase(std::remove(forms.begin(), forms.end(), bestForm), forms.end());
    forms.insert(forms.begin(), bestForm);
  }
  std::vector<std::string> kept;
  for (const std::string& f : forms) {
    if (kept.size() == kMaxFindWords) break;
    bool covered = false;
    for (const std::string& w : kept) covered = covered || f.find(w) != std::string::npos;
    if (covered) continue;
    // A kept word holding this one gives way to it.
    kept.erase(std::remove_if(kept.begin(), kept.end(),
                              [&](const std::string& w) { return w.find(f) != std::string::npos; }),
               kept.end());
    kept.push_back(f);
  }
  r.findWords = kept;
  // Matches starting before the hit end within a word's length after it.
  if (haveHit)
    r.hitOrdinal = MatchesBefore(
        FoldText(std::string_view(text.text).substr(0, hit + MaxSearchWordLength), folding),
        r.findWords, hit);
}

// At most max characters of UTF-8 text, cut between characters.
std::string CutUtf8(const std::string& text, std::size_t max, bool& cut) {
  std::size_t pos = 0, count = 0;
  while (pos < text.size() && count < max) {
    char32_t cp = 0;
    std::size_t length = 1;
    DecodeUtf8At(text, pos, cp, length);
    pos += length;
    ++count;
  }
  cut = pos < text.size();
  return text.substr(0, pos);
}

std::string Shown(const std::string& text, std::size_t max) {
  bool cut = false;
  std::string shown = CutUtf8(text, max, cut);
  return cut ? shown + "..." : shown;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// ASCII is the same in every code page: most help text needs no lookup.
bool Holds(CodePage page, std::string_view utf8) {
  if (IsAscii(utf8)) return true;
  bool lossless = true;
  Utf8ToCodePage(page, utf8, &lossless);
  return lossless;
}

std::string InCodePage(CodePage page, const std::string& utf8) {
  return IsAscii(utf8) ? utf8 : Utf8ToCodePage(page, utf8);
}

}  // namespace

HelpSearch::HelpSearch(const SearchIndex& index) : index_(index) {}

HelpSearchResults HelpSearch::Search(const std::string& query, std::size_t limit,
                                     bool details) const {
  HelpSearchResults out;
  out.pagesLeftOut = index_.PagesLeftOut();
  const SearchQuery q = ParseSearchQuery(query);
  out.truncated = q.truncated;
  out.empty = q.Empty();
  // A character no page can hold: no page holds the query as typed (and no
  // stand-in for the character may match in its place).
  if (q.Empty() || q.unmatchable) return out;
  const SearchRanking ranking = RankPages(index_, q, limit);
  out.matched = ranking.matched;
  std::vector<std::uint32_t> pages;
  for (const RankedPage& rp : ranking.pages) {
    const SearchPage& page = index_.Page(rp.page);
    const SearchFolding& folding = FoldingFor(page.codePage);
    HelpSearchResult r;
    r.fileName = page.name;
    r.title = ToUtf8(folding, page.title);
    r.codePage = folding.codePage;
    r.score = rp.score;
    if (rp.heading >= 0) {
      const SearchHeading& h = page.headings[static_cast<std::size_t>(rp.heading)];
      r.heading = ToUtf8(folding, h.text);
      r.anchor = h.anchor;
    }
    out.results.push_back(std::move(r));
    pages.push_back(rp.page);
  }
  if (!details) return out;

  // The terms the query found, as the page's words are filed.
  std::vector<std::uint32_t> ids;
  for (const ResolvedTerm& t : ResolveTerms(index_, q))
    ids.insert(ids.end(), t.ids.begin(), t.ids.end());
  const std::vector<PageText> texts = index_.ReadTexts(pages);
  std::vector<std::uint32_t> hits;
  for (std::size_t i = 0; i < out.results.size(); ++i) {
    hits.clear();
    for (std::uint32_t id : ids)
      if (const SearchPosting* p = index_.PostingOn(id, pages[i]))
        hits.insert(hits.end(), index_.PositionsBegin(p), index_.PositionsEnd(p));
    std::sort(hits.begin(), hits.end());
    AddDetails(out.results[i], index_.Page(pages[i]), ranking.pages[i].position, texts[i], hits);
  }
  return out;
}

CodePage SearchResultsCodePage(const std::string& query, const HelpSearchResults& found) {
  const std::string shownQuery = Shown(TrimBlanks(query), kQueryShown);
  const std::size_t listed = std::min(found.results.size(), MaxListedResults);
  CodePage best = kCodePagesInPackingOrder[0];
  std::size_t bestScore = 0;
  for (CodePage page : kCodePagesInPackingOrder) {
    // Each result held counts more the better it ranks; the query least.
    std::size_t score = Holds(page, shownQuery) ? 1 : 0;
    std::size_t all = score;
    for (std::size_t i = 0; i < listed; ++i) {
      const HelpSearchResult& r = found.results[i];
      if (Holds(page, r.title) && Holds(page, r.heading) && Holds(page, r.excerpt)) {
        score += 2 * (listed - i);
        ++all;
      }
    }
    if (all == listed + 1) return page;
    if (score > bestScore) {
      best = page;
      bestScore = score;
    }
  }
  return best;
}

std::string SearchResultsPage(const std::string& query, const HelpSearchResults& found) {
  const std::string shownQuery = Shown(TrimBlanks(query), kQueryShown);
  const CodePage codePage = SearchResultsCodePage(query, found);
  // The page is in the code page; links keep their bytes, as the package
  // names its pages.
  const auto inCodePage = [&](const std::string& utf8) { return InCodePage(codePage, utf8); };
  std::string page =
      "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=" +
      CodePageName(codePage) +
      "\">\r\n<TITLE>Search results</TITLE>\r\n</HEAD>\r\n"
      "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\">\r\n"
      "<H2>Search results</H2>\r\n";
  const std::string end = "</BODY>\r\n</HTML>\r\n";

  if (found.empty) {
    page +=
        "<P>There is nothing to search for. Type one or more words in the search box: the "
        "pages that hold them are listed here, best first. Put words in double quotes to find "
        "them as a phrase.</P>\r\n";
    return page + end;
  }
  const std::string quoted = "<B>" + Escaped(inCodePage(shownQuery)) + "</B>";
  if (found.results.empty()) {
    page += "<P>No page matches " + quoted + ".</P>\r\n";
    page += "<P>Check the spelling, or search with fewer or other words.</P>\r\n";
  } else {
    page += "<P>" + Plural(found.matched, "page matches", "pages match") + " " + quoted +
            ", best first.</P>\r\n";
  }
  if (found.truncated) {
    page += "<P>Only the first " + std::to_string(MaxQueryTerms) +
            " different words were searched for.</P>\r\n";
  }
  if (found.pagesLeftOut > 0) {
    page += "<P>" + Plural(found.pagesLeftOut, "page of the help was", "pages of the help were") +
            " left out of the search.</P>\r\n";
  }

  std::size_t listed = 0;
  for (const HelpSearchResult& r : found.results) {
    const std::string title =
        Shown(r.title.empty() ? CodePageToUtf8(r.codePage, r.fileName) : r.title, kTitleShown);
    std::string entry = "<P>" + std::to_string(listed + 1) + ". <A HREF=\"" + Escaped(r.Link()) +
                        "\">" + Escaped(inCodePage(title)) + "</A>";
    if (!r.heading.empty() && !SameTextIn(codePage, inCodePage(r.heading), inCodePage(r.title)))
      entry += "<BR>\r\n<I>" + Escaped(inCodePage(r.heading)) + "</I>";
    if (!r.excerpt.empty()) entry += "<BR>\r\n" + inCodePage(BoldedExcerpt(r));
    entry += "</P>\r\n";
    if (page.size() + entry.size() + end.size() + 200 > kResultsPageBudget) break;
    page += entry;
    ++listed;
  }
  if (listed < found.matched && listed > 0) {
    page += "<P>" + Plural(found.matched - listed, "more page is", "more pages are") +
            " not listed. Add words to the search to narrow it down.</P>\r\n";
  }
  return page + end;
}

}  // namespace kiv
