#include "reader/entities.h"

#include <array>

#include "reader/name_table.h"

namespace kiv {

namespace {

// Rows 5..100 give the codes 160..255 in order; two rows have no name, so
// codes 215 and 247 have no named entity.
constexpr std::array<std::string_view, 96> kLatin1Names{
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "",       "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "",       "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct EntityTable {
  NameTable<256, unsigned char> names;
  EntityTable() {
    names.Add("amp", '&');
    names.Add("lt", '<');
    names.Add("gt", '>');
    names.Add("quot", '"');
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i)
      if (!kLatin1Names[i].empty()) names.Add(kLatin1Names[i], static_cast<unsigned char>(160 + i));
  }
};

}  // namespace

bool LookupEntity(std::string_view name, unsigned char& ch) {
  static const EntityTable table;
  if (name.size() > MaxEntityNameLength) return false;
  return table.names.Find(name, ch);
}

}  // namespace kiv
