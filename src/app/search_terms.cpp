#include "app/search_terms.h"

#include <algorithm>

#include <QChar>

#include "platform/utf8_decoder.h"

namespace kiv {

namespace {

SearchFolding MakeFolding(CodePage page) {
  SearchFolding f;
  f.codePage = page;
  const std::uint8_t* fold = FoldTable(page);
  for (int i = 0; i < 256; ++i) {
    const auto b = static_cast<std::size_t>(i);
    f.lower[b] = static_cast<char>(fold[b]);
    const char32_t cp = ByteToCodePoint(page, static_cast<unsigned char>(i));
    f.inWord[b] = IsSearchWordCodePoint(cp);
    std::string utf8;
    AppendUtf8(utf8, cp);
    f.utf8Length[b] = static_cast<std::uint8_t>(std::min<std::size_t>(utf8.size(), 3));
    for (std::size_t k = 0; k < f.utf8Length[b]; ++k) f.utf8[b][k] = utf8[k];
  }
  return f;
}

bool EndsWith(const std::string& w, std::string_view suffix) {
  if (w.size() < suffix.size()) return false;
  const char* tail = w.data() + (w.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i)
    if (tail[i] != suffix[i]) return false;
  return true;
}

bool IsVowel(char c) {
  return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y';
}

bool HasVowel(std::string_view s) {
  return std::any_of(s.begin(), s.end(), IsVowel);
}

// Plurals whose singular the endings below cannot reach.
struct Irregular {
  std::string_view plural, singular;
};
constexpr Irregular kIrregular[] = {{"indices", "index"},         {"vertices", "vertex"},
                                    {"matrices", "matrix"},       {"appendices", "appendix"},
                                    {"children", "child"},        {"analyses", "analysis"},
                                    {"hypotheses", "hypothesis"}, {"criteria", "criterion"}};

// Strips a verb ending (stem = what is left) when the stem holds a vowel;
// "running" becomes "run", "using" "use".
bool StripVerbEnding(std::string& w, std::size_t endingLength) {
  const std::string_view stem = std::string_view(w).substr(0, w.size() - endingLength);
  if (stem.size() < 2 || !HasVowel(stem)) return false;
  w.resize(stem.size());
  const std::size_t n = w.size();
  if (n == 2) {
    w += 'e';
  } else if (w[n - 1] == w[n - 2] && !IsVowel(w[n - 1]) && w[n - 1] != 'l' && w[n - 1] != 's' &&
             w[n - 1] != 'z') {
    w.pop_back();
  }
  return true;
}

}  // namespace

bool IsSearchWordCodePoint(char32_t cp) {
  if (cp < 0x80) return (cp >= '0' && cp <= '9') || ((cp | 0x20) >= 'a' && (cp | 0x20) <= 'z');
  return QChar::isLetter(cp);
}

const SearchFolding& FoldingFor(CodePage codePage) {
  static const std::array<SearchFolding, std::size(kCodePagesInPackingOrder)> tables = [] {
    std::array<SearchFolding, std::size(kCodePagesInPackingOrder)> t;
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = MakeFolding(kCodePagesInPackingOrder[i]);
    return t;
  }();
  for (const SearchFolding& f : tables)
    if (f.codePage == codePage) return f;
  return tables[0];
}

const SearchFolding& FoldingFor(int codePage) {
  for (CodePage page : kCodePagesInPackingOrder)
    if (static_cast<int>(page) == codePage) return FoldingFor(page);
  return FoldingFor(CodePage::Windows1252);
}

std::string FoldText(std::string_view text, const SearchFolding& folding) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    out[i] = folding.lower[static_cast<unsigned char>(text[i])];
  return out;
}

std::string FoldWord(std::string_view word, const SearchFolding& folding) {
  return FoldText(word.substr(0, MaxSearchWordLength), folding);
}

void StemWord(std::string& w) {
  if (w.size() <= 3) return;
  // Only these endings change a word: most words are left at once.
  const char last = w.back();
  if (last != 's' && last != 'g' && last != 'd' && last != 'e' && last != 'n' && last != 'a')
    return;
  for (char c : w)
    if (c < 'a' || c > 'z') return;
  if (last == 's' || last == 'n' || last == 'a') {
    for (const Irregular& irregular : kIrregular) {
      if (w.size() == irregular.plural.size() && w == irregular.plural) {
        w = irregular.singular;
        return;
      }
    }
  }
  // Plurals.
  if (last == 's') {
    if (EndsWith(w, "ies") && w.size() > 4) {
      w.resize(w.size() - 3);
      w += 'y';
    } else if (EndsWith(w, "sses") || EndsWith(w, "xes") || EndsWith(w, "ches") ||
               EndsWith(w, "shes") || EndsWith(w, "zes")) {
      w.resize(w.size() - 2);
    } else if (!EndsWith(w, "ss") && !EndsWith(w, "us") && !EndsWith(w, "is")) {
      w.pop_back();
    }
  }
  // Verb endings.
  if (EndsWith(w, "ing") && w.size() >= 5) {
    StripVerbEnding(w, 3);
  } else if (EndsWith(w, "ied") && w.size() > 4) {
    w.resize(w.size() - 3);
    w += 'y';
  } else if (EndsWith(w, "ed") && w.size() >= 4) {
    StripVerbEnding(w, 2);
  }
  // A final "e": "table" and "tables", "update" and "updating" meet.
  if (w.size() >= 4 && w.back() == 'e') w.pop_back();
}

void AppendTermText(std::string& out, std::string_view bytes, const SearchFolding& folding) {
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out.append(folding.utf8[b].data(), folding.utf8Length[b]);
  }
}

void MakeSearchTerm(std::string_view word, const SearchFolding& folding, std::string& term) {
  word = word.substr(0, MaxSearchWordLength);
  term.resize(word.size());
  std::size_t wide = 0;  // bytes the UTF-8 form adds
  for (std::size_t i = 0; i < word.size(); ++i) {
    const auto folded =
        static_cast<unsigned char>(folding.lower[static_cast<unsigned char>(word[i])]);
    term[i] = static_cast<char>(folded);
    wide += folding.utf8Length[folded] - 1u;
  }
  if (wide == 0) {
    StemWord(term);
    return;
  }
  // Widened in place from the end: each byte's UTF-8 form lands at or after
  // where the byte stood.
  std::size_t read = word.size(), write = word.size() + wide;
  term.resize(write);
  while (read > 0) {
    const auto b = static_cast<unsigned char>(term[--read]);
    const std::size_t n = folding.utf8Length[b];
    write -= n;
    for (std::size_t k = 0; k < n; ++k) term[write + k] = folding.utf8[b][k];
  }
}

std::string SearchTerm(std::string_view word, const SearchFolding& folding) {
  std::string term;
  MakeSearchTerm(word, folding, term);
  return term;
}

}  // namespace kiv
