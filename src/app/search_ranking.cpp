#include "app/search_ranking.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kiv {

namespace {

// Terms a word being typed expands to.
constexpr std::size_t kMaxPrefixTerms = 30;
constexpr std::size_t kMinPrefixLength = 3;
// Pages scored again with positions (adjacency, phrases, sections): the best
// of the first pass.
constexpr std::size_t kRescored = 200;
// The window, in words, in which the best hit gathers the query's words.
constexpr std::uint32_t kHitWindow = 10;

// The positions of a term's ids on one page, ascending.
void PagePositions(const SearchIndex& index, const ResolvedTerm& term, std::uint32_t page,
                   std::vector<std::uint32_t>& out) {
  out.clear();
  for (std::uint32_t id : term.ids) {
    const SearchPosting* begin = index.PostingsBegin(id);
    const SearchPosting* end = index.PostingsEnd(id);
    const SearchPosting* at = std::lower_bound(
        begin, end, page, [](const SearchPosting& p, std::uint32_t v) { return p.page < v; });
    if (at == end || at->page != page) continue;
    out.insert(out.end(), index.PositionsBegin(at), index.PositionsEnd(at));
  }
  if (term.ids.size() > 1) std::sort(out.begin(), out.end());
}

// Where the phrase starts on the page, given each term's positions: one walk
// over the lists, which are ascending.
// Appends the starts to starts; with firstOnly, stops at the first.
void PhraseStarts(const std::vector<std::size_t>& phrase,
                  const std::vector<std::vector<std::uint32_t>>& positions,
                  std::vector<std::uint32_t>& starts, bool firstOnly = false) {
  std::size_t next[4 * MaxQueryTerms] = {};
  for (std::uint32_t p : positions[phrase[0]]) {
    bool all = true;
    for (std::size_t k = 1; k < phrase.size() && all; ++k) {
      const std::vector<std::uint32_t>& list = positions[phrase[k]];
      const std::uint32_t want = p + static_cast<std::uint32_t>(k);
      std::size_t& j = next[k];
      while (j < list.size() && list[j] < want) ++j;
      all = j < list.size() && list[j] == want;
    }
    if (!all) continue;
    starts.push_back(p);
    if (firstOnly) return;
  }
}

// Whether ascending positions stand in a heading: one walk over the page's
// headings, which are in order and do not overlap.
class HeadingWalk {
 public:
  explicit HeadingWalk(const SearchPage& page) : headings_(page.headings) {}
  bool InHeading(std::uint32_t p) {
    while (at_ < headings_.size() && headings_[at_].wordEnd <= p) ++at_;
    return at_ < headings_.size() && headings_[at_].wordBegin <= p;
  }
  // The heading whose section holds p, -1 before the first.
  int Section(std::uint32_t p) {
    while (section_ + 1 < static_cast<int>(headings_.size()) &&
           headings_[static_cast<std::size_t>(section_ + 1)].wordBegin <= p)
      ++section_;
    return section_;
  }

 private:
  const std::vector<SearchHeading>& headings_;
  std::size_t at_ = 0;
  int section_ = -1;
};

// The heading whose section holds position p, -1 before the first.
int SectionOf(const SearchPage& page, std::uint32_t p) {
  const auto at =
      std::upper_bound(page.headings.begin(), page.headings.end(), p,
                       [](std::uint32_t v, const SearchHeading& h) { return v < h.wordBegin; });
  return static_cast<int>(at - page.headings.begin()) - 1;
}

void AddId(std::vector<std::uint32_t>& ids, std::uint32_t id) {
  if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
}

struct Hit {
  std::uint32_t position;
  std::size_t term;
};

}  // namespace

std::vector<ResolvedTerm> ResolveTerms(const SearchIndex& index, const SearchQuery& query,
                                       const SearchWeights& weights) {
  const double n = static_cast<double>(index.PageCount());
  std::vector<ResolvedTerm> resolved;
  for (const SearchQueryTerm& t : query.terms) {
    ResolvedTerm r;
    // The word's term in each code page that holds it; while it is being
    // typed, the terms that begin with it.
    for (const std::string& term : t.terms)
      if (const std::int64_t id = index.Find(term); id >= 0)
        AddId(r.ids, static_cast<std::uint32_t>(id));
    if (r.ids.empty() && t.letters >= kMinPrefixLength) {
      for (const std::vector<std::string>* forms : {&t.words, &t.terms}) {
        for (const std::string& form : *forms)
          for (std::uint32_t id : index.FindPrefix(form, kMaxPrefixTerms))
            if (r.ids.size() < kMaxPrefixTerms) AddId(r.ids, id);
        if (!r.ids.empty()) break;
      }
      r.prefix = true;
    }
    double df = 0;
    for (std::uint32_t id : r.ids)
      df += static_cast<double>(index.PostingsEnd(id) - index.PostingsBegin(id));
    df = std::min(df, n);
    r.weight = std::log(1.0 + (n - df + 0.5) / (df + 0.5));
    if (r.prefix) r.weight *= weights.prefix;
    if (t.letters < 2) r.weight *= weights.shortWord;
    if (df > n / 2) r.weight *= weights.commonWord;
    resolved.push_back(std::move(r));
  }
  return resolved;
}

SearchRanking RankPages(const SearchIndex& index, const SearchQuery& query, std::size_t limit,
                        const SearchWeights& w) {
  SearchRanking ranking;
  if (query.Empty() || index.PageCount() == 0) return ranking;
  const std::vector<ResolvedTerm> terms = ResolveTerms(index, query, w);
  const std::size_t pages = index.PageCount();

  // First pass: BM25F from the postings' counts.
  std::vector<float> score(pages, 0.0f);
  std::vector<std::uint32_t> mask(pages, 0);
  std::vector<std::uint32_t> touched;
  double totalWeight = 0;
  for (std::size_t qi = 0; qi < terms.size(); ++qi) {
    const ResolvedTerm& t = terms[qi];
    totalWeight += t.weight;
    for (std::uint32_t id : t.ids) {
      for (const SearchPosting* p = index.PostingsBegin(id); p != index.PostingsEnd(id); ++p) {
        const SearchPage& page = index.Page(p->page);
        const double count = static_cast<double>(index.PositionsEnd(p) - index.PositionsBegin(p));
        const double inTitle = p->titleCount, inHeading = p->headingCount;
        const double inBody = count - inTitle;
        const double wtf =
            w.title * inTitle /
                (1 - w.bTitle + w.bTitle * page.titleWords / index.AverageTitleWords()) +
            w.heading * inHeading /
                (1 - w.bHeading + w.bHeading * page.headingWords / index.AverageHeadingWords()) +
            w.body * inBody / (1 - w.bBody + w.bBody * page.bodyWords / index.AverageBodyWords());
        if (mask[p->page] == 0) touched.push_back(p->page);
        score[p->page] += static_cast<float>(t.weight * wtf * (w.k1 + 1) / (w.k1 + wtf));
        mask[p->page] |= 1u << qi;
      }
    }
  }
  // Pages holding more of the query's weight come first: a page missing a
  // rare word of the query falls behind the pages that hold it.
  std::vector<double> termWeight(terms.size());
  for (std::size_t qi = 0; qi < terms.size(); ++qi) termWeight[qi] = terms[qi].weight;
  auto coverage = [&](std::uint32_t m) {
    double held = 0;
    for (std::size_t qi = 0; qi < terms.size(); ++qi)
      if (m & (1u << qi)) held += termWeight[qi];
    const double share = totalWeight > 0 ? held / totalWeight : 1.0;
    return share * share;
  };
  // Phrases need every one of their terms.
  std::uint32_t phraseMask = 0;
  for (const auto& phrase : query.phrases)
    for (std::size_t qi : phrase) phraseMask |= 1u << qi;
  std::vector<std::uint32_t> candidates;
  for (std::uint32_t p : touched) {
    if ((mask[p] & phraseMask) != phraseMask) continue;
    score[p] = static_cast<float>(score[p] * coverage(mask[p]));
    candidates.push_back(p);
  }
  auto better = [&](std::uint32_t a, std::uint32_t b) {
    return score[a] != score[b] ? score[a] > score[b] : a < b;
  };

  // Phrases first, from their own terms' positions: pages without one of
  // them drop out before the second pass.
  std::vector<std::vector<std::uint32_t>> positions(terms.size());
  std::vector<std::uint32_t> starts, phraseStarts;
  if (!query.phrases.empty()) {
    std::vector<std::uint32_t> kept;
    for (std::uint32_t p : candidates) {
      bool held = true;
      for (const auto& phrase : query.phrases) {
        for (std::size_t qi : phrase) PagePositions(index, terms[qi], p, positions[qi]);
        starts.clear();
        PhraseStarts(phrase, positions, starts, true);
        if (starts.empty()) {
          held = false;
          break;
        }
      }
      if (held) kept.push_back(p);
    }
    candidates.swap(kept);
  }

  // Second pass, on the best pages: adjacency and the best section.
  std::vector<RankedPage> ranked;
  const std::size_t rescored = std::min(candidates.size(), kRescored);
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(rescored),
                    candidates.end(), better);
  std::vector<Hit> hits;
  std::vector<std::size_t> heads(terms.size());
  for (std::size_t ci = 0; ci < rescored; ++ci) {
    const std::uint32_t p = candidates[ci];
    const SearchPage& page = index.Page(p);
    for (std::size_t qi = 0; qi < terms.size(); ++qi)
      PagePositions(index, terms[qi], p, positions[qi]);
    phraseStarts.clear();
    for (const auto& phrase : query.phrases) PhraseStarts(phrase, positions, phraseStarts);
    if (query.phrases.size() > 1) std::sort(phraseStarts.begin(), phraseStarts.end());

    double bonus = 0;
    for (std::size_t i = 0; i + 1 < query.sequence.size(); ++i) {
      const std::size_t a = query.sequence[i], b = query.sequence[i + 1];
      if (a == b) continue;
      double inBody = 0, inTitle = 0, inHeading = 0;
      HeadingWalk walk(page);
      std::size_t j = 0;
      const std::vector<std::uint32_t>& following = positions[b];
      for (std::uint32_t pos : positions[a]) {
        while (j < following.size() && following[j] < pos + 1) ++j;
        if (j == following.size()) break;
        if (following[j] != pos + 1) continue;
        if (pos < page.titleWords)
          inTitle = 1;
        else if (walk.InHeading(pos))
          inHeading = 1;
        else
          inBody += 1;
      }
      bonus += w.adjacency * std::min(terms[a].weight, terms[b].weight) *
               (std::log2(1 + inBody) + 2 * inTitle + inHeading);
    }

    // The best hit: the window of kHitWindow words that holds the most of
    // the query's weight (a phrase's start wins), in the body.
    // The terms' positions are ascending each: merged, in page order.
    hits.clear();
    std::fill(heads.begin(), heads.end(), 0);
    for (;;) {
      std::size_t next = terms.size();
      std::uint32_t nextPosition = 0;
      for (std::size_t qi = 0; qi < terms.size(); ++qi) {
        const std::vector<std::uint32_t>& list = positions[qi];
        if (heads[qi] < list.size() && (next == terms.size() || list[heads[qi]] < nextPosition)) {
          next = qi;
          nextPosition = list[heads[qi]];
        }
      }
      if (next == terms.size()) break;
      ++heads[next];
      if (nextPosition >= page.titleWords) hits.push_back({nextPosition, next});
    }
    RankedPage r;
    r.page = p;
    r.position = RankedPage::NoPosition;
    double bestWindow = -1;
    std::size_t j = 0;
    std::vector<int> inWindow(terms.size(), 0);
    double windowWeight = 0;
    // The query's words in each heading that holds some (in page order): a
    // hit under a heading that names what was asked for stands in the
    // section the reader wants, rather than in a list of contents above it.
    std::vector<std::pair<int, std::uint32_t>> headingTerms;
    {
      HeadingWalk inHeading(page);
      for (const Hit& h : hits) {
        if (!inHeading.InHeading(h.position)) continue;
        const int section = inHeading.Section(h.position);
        if (headingTerms.empty() || headingTerms.back().first != section)
          headingTerms.push_back({section, 0});
        headingTerms.back().second |= 1u << h.term;
      }
    }
    std::size_t headingAt = 0;
    HeadingWalk walk(page);
    HeadingWalk sections(page);
    for (std::size_t i = 0; i < hits.size(); ++i) {
      while (j < hits.size() && hits[j].position < hits[i].position + kHitWindow) {
        if (inWindow[hits[j].term]++ == 0) windowWeight += terms[hits[j].term].weight;
        ++j;
      }
      double value = windowWeight;
      const int section = sections.Section(hits[i].position);
      while (headingAt < headingTerms.size() && headingTerms[headingAt].first < section)
        ++headingAt;
      if (headingAt < headingTerms.size() && headingTerms[headingAt].first == section) {
        for (std::size_t qi = 0; qi < terms.size(); ++qi)
          if (headingTerms[headingAt].second & (1u << qi)) value += 0.5 * terms[qi].weight;
      }
      if (std::binary_search(phraseStarts.begin(), phraseStarts.end(), hits[i].position))
        value += totalWeight;
      // A hit in the body beats the same words in a heading by a little:
      // the excerpt shows text.
      if (!walk.InHeading(hits[i].position)) value += 1e-6;
      if (value > bestWindow + 1e-9) {
        bestWindow = value;
        r.position = hits[i].position;
      }
      if (--inWindow[hits[i].term] == 0) windowWeight -= terms[hits[i].term].weight;
    }
    if (r.position != RankedPage::NoPosition) r.heading = SectionOf(page, r.position);
    r.score = score[p] + bonus;
    ranked.push_back(r);
  }
  ranking.matched = candidates.size();
  std::sort(ranked.begin(), ranked.end(), [&](const RankedPage& a, const RankedPage& b) {
    if (a.score != b.score) return a.score > b.score;
    return a.page < b.page;
  });
  if (ranked.size() > limit) ranked.resize(limit);
  // Pages past the rescored ones keep their first score.
  for (std::size_t ci = rescored; ci < candidates.size() && ranked.size() < limit; ++ci) {
    RankedPage r;
    r.page = candidates[ci];
    r.score = score[r.page];
    r.position = RankedPage::NoPosition;
    ranked.push_back(r);
  }
  ranking.pages = std::move(ranked);
  return ranking;
}

}  // namespace kiv
