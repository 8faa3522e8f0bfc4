#include "app/help_search.h"

#include <algorithm>
#include <array>
#include <set>
#include <string_view>

#include "app/help_package.h"
#include "app/page_text.h"
#include "app/search_query.h"
#include "app/search_ranking.h"
#include "app/search_terms.h"
#include "app/string_helpers.h"
#include "platform/ansi_case.h"

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

// Fills the result's excerpt, bold ranges and find words from the page's text.
void AddDetails(HelpSearchResult& r, const SearchPage& page, std::uint32_t position,
                const PageText& text, const std::set<std::string, std::less<>>& terms) {
  const SearchFolding& folding = FoldingFor(page.codePage);
  // Stems keep their word's first letter: most words are told apart by it.
  std::array<bool, 256> firsts{};
  for (const std::string& t : terms)
    if (!t.empty()) firsts[static_cast<unsigned char>(t[0])] = true;
  std::string term;
  auto matches = [&](std::string_view word) {
    if (!firsts[static_cast<unsigned char>(folding.lower[static_cast<unsigned char>(word[0])])])
      return false;
    word = word.substr(0, MaxSearchWordLength);
    term.resize(word.size());
    for (std::size_t i = 0; i < word.size(); ++i)
      term[i] = folding.lower[static_cast<unsigned char>(word[i])];
    StemWord(term);
    return terms.count(term) > 0;
  };
  std::size_t hit = 0, hitLength = 0;
  bool haveHit = false;
  std::vector<std::string> forms;
  const std::uint32_t wanted = position == RankedPage::NoPosition || position < page.titleWords
                                   ? RankedPage::NoPosition
                                   : position - page.titleWords;
  std::uint32_t index = 0;
  std::string bestForm;
  ForEachWord(text.text, folding, [&](std::size_t s, std::size_t n) {
    const std::string_view word = std::string_view(text.text).substr(s, n);
    const bool matched = matches(word);
    if (index++ == wanted) {
      hit = s;
      hitLength = n;
      haveHit = true;
      if (matched) bestForm = FoldWord(word, folding);
    }
    if (matched && forms.size() < 4 * kMaxFindWords) {
      std::string form = FoldWord(word, folding);
      if (std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(form);
    }
  });
  r.excerpt = Excerpt(text.text, haveHit ? hit : 0, haveHit ? hitLength : 0);
  ForEachWord(r.excerpt, folding, [&](std::size_t s, std::size_t n) {
    if (matches(std::string_view(r.excerpt).substr(s, n))) r.bold.push_back({s, n});
  });
  // The shortest forms first: a word holding another one is found by it.
  if (!bestForm.empty()) {
    forms.erase(std::remove(forms.begin(), forms.end(), bestForm), forms.end());
    forms.insert(forms.begin(), bestForm);
  }
  std::vector<std::string> kept;
  for (const std::string& f : forms) {
    if (kept.size() == kMaxFindWords) break;
    bool covered = false;
    for (const std::string& k : kept) covered = covered || f.find(k) != std::string::npos;
    if (covered) continue;
    // A kept word holding this one gives way to it.
    kept.erase(std::remove_if(kept.begin(), kept.end(),
                              [&](const std::string& k) { return k.find(f) != std::string::npos; }),
               kept.end());
    kept.push_back(f);
  }
  r.findWords = kept;
  if (haveHit) r.hitOrdinal = MatchesBefore(FoldText(text.text, folding), r.findWords, hit);
}

}  // namespace

HelpSearch::HelpSearch(const SearchIndex& index) : index_(index) {}

HelpSearchResults HelpSearch::Search(const std::string& query, std::size_t limit,
                                     bool details) const {
  HelpSearchResults out;
  out.pagesLeftOut = index_.PagesLeftOut();
  const SearchQuery q = ParseSearchQuery(query, FoldingFor(1252));
  out.truncated = q.truncated;
  out.empty = q.Empty();
  if (q.Empty()) return out;
  const SearchRanking ranking = RankPages(index_, q, limit);
  out.matched = ranking.matched;
  std::vector<std::uint32_t> pages;
  for (const RankedPage& rp : ranking.pages) {
    const SearchPage& page = index_.Page(rp.page);
    HelpSearchResult r;
    r.fileName = page.name;
    r.title = page.title;
    r.score = rp.score;
    if (rp.heading >= 0) {
      const SearchHeading& h = page.headings[static_cast<std::size_t>(rp.heading)];
      r.heading = h.text;
      r.anchor = h.anchor;
    }
    out.results.push_back(std::move(r));
    pages.push_back(rp.page);
  }
  if (!details) return out;

  // The terms the query found, as the page's words are filed.
  std::set<std::string, std::less<>> terms;
  for (const ResolvedTerm& t : ResolveTerms(index_, q))
    for (std::uint32_t id : t.ids) terms.emplace(index_.Term(id));
  const std::vector<PageText> texts = index_.ReadTexts(pages);
  for (std::size_t i = 0; i < out.results.size(); ++i)
    AddDetails(out.results[i], index_.Page(pages[i]), ranking.pages[i].position, texts[i], terms);
  return out;
}

std::string SearchResultsPage(const std::string& query, const HelpSearchResults& found) {
  std::string shownQuery = TrimBlanks(query);
  if (shownQuery.size() > kQueryShown) shownQuery = shownQuery.substr(0, kQueryShown) + "...";

  std::string page =
      "<HTML>\r\n<HEAD>\r\n<TITLE>Search results</TITLE>\r\n</HEAD>\r\n"
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
  const std::string quoted = "<B>" + Escaped(shownQuery) + "</B>";
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
    std::string title = r.title.empty() ? r.fileName : r.title;
    if (title.size() > kTitleShown) title = title.substr(0, kTitleShown) + "...";
    std::string entry = "<P>" + std::to_string(listed + 1) + ". <A HREF=\"" + Escaped(r.Link()) +
                        "\">" + Escaped(title) + "</A>";
    if (!r.heading.empty() && !AnsiSameText(r.heading, r.title))
      entry += "<BR>\r\n<I>" + Escaped(r.heading) + "</I>";
    if (!r.excerpt.empty()) entry += "<BR>\r\n" + BoldedExcerpt(r);
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
