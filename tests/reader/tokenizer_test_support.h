// Runs the tokenizer over text and records every symbol.
#pragma once

#include <string>
#include <vector>

#include "reader/tokenizer.h"

namespace kiv::testing {

struct Sym {
  Symbol sym;
  std::string token;
  int level;
  std::vector<TAttribute> attrs;  // for tags that take attributes
};

// Symbols up to and including EndOfInputSymbol (at most limit of them).
inline std::vector<Sym> Tokenize(ReaderState& r, std::size_t limit = 100000) {
  std::vector<Sym> out;
  r.NextChar();
  do {
    r.Next();
    Sym s{r.Sym, std::string(r.Token()), r.HeadingLevel, {}};
    if (TakesAttributes(r.Sym))
      for (const auto& a : r.Attributes) s.attrs.push_back(*a);
    out.push_back(std::move(s));
  } while (r.Sym != EndOfInputSymbol && out.size() < limit);
  return out;
}

inline std::vector<Sym> Tokenize(const std::string& html, bool preMode = false) {
  ReaderState r;
  r.StartBuffer(html.data(), html.size());
  r.PreMode = preMode;
  return Tokenize(r);
}

// "Name:token" per symbol, e.g. "B:B", "Text:abc", "EndOfInput:".
inline std::vector<std::string> Brief(const std::vector<Sym>& syms) {
  std::vector<std::string> out;
  for (const Sym& s : syms) out.push_back(std::string(SymbolName(s.sym)) + ":" + s.token);
  return out;
}

inline std::vector<std::string> Brief(const std::string& html, bool preMode = false) {
  return Brief(Tokenize(html, preMode));
}

}  // namespace kiv::testing
