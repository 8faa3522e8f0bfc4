#include "app/search_terms.h"

#include <algorithm>

#include "platform/ansi_case.h"

namespace kiv {

namespace {

SearchFolding AnsiFolding() {
  SearchFolding f;
  for (int i = 0; i < 256; ++i) {
    const char c = static_cast<char>(i);
    f.lower[static_cast<std::size_t>(i)] = AnsiLower(c);
    const bool digit = i >= '0' && i <= '9';
    // Letters have a case partner; the few without one are listed.
    const bool letter = AnsiLower(c) != AnsiUpper(c) || i == 0xDF || i == 0xAA || i == 0xBA;
    f.inWord[static_cast<std::size_t>(i)] = digit || letter;
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

const SearchFolding& FoldingFor(int /*codePage*/) {
  // Every page folds as the ANSI code page until pages carry a code page of
  // their own; this is the one place that chooses.
  static const SearchFolding ansi = AnsiFolding();
  return ansi;
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

std::string SearchTerm(std::string_view word, const SearchFolding& folding) {
  std::string term = FoldWord(word, folding);
  StemWord(term);
  return term;
}

}  // namespace kiv
