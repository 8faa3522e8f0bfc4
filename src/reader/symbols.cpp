#include "reader/symbols.h"

#include <array>

#include "reader/name_table.h"

namespace kiv {

namespace {

struct TagRow {
  std::string_view name;
  Symbol start;
  bool takesAttributes;
};

// The tag table in its fixed order; the first 44 rows have end symbols.
constexpr std::array<TagRow, TagCount> kTags{{
    {"HTML", HtmlSy, false},
    {"TITLE", TitleSy, false},
    {"BODY", BodySy, true},
    {"HEAD", HeadSy, false},
    {"B", BSy, false},
    {"I", ISy, false},
    {"H", HSy, true},
    {"EM", EmSy, false},
    {"STRONG", StrongSy, false},
    {"U", USy, false},
    {"CITE", CiteSy, false},
    {"VAR", VarSy, false},
    {"TT", TtSy, false},
    {"CODE", CodeSy, false},
    {"KBD", KbdSy, false},
    {"SAMP", SampSy, false},
    {"OL", OLSy, true},
    {"UL", ULSy, true},
    {"DIR", DirSy, false},
    {"MENU", MenuSy, false},
    {"DL", DLSy, false},
    {"A", ASy, true},
    {"ADDRESS", AddressSy, false},
    {"BLOCKQUOTE", BlockQuoteSy, false},
    {"PRE", PreSy, false},
    {"CENTER", CenterSy, false},
    {"TABLE", TableSy, true},
    {"TD", TDSy, true},
    {"TH", THSy, true},
    {"CAPTION", CaptionSy, true},
    {"FORM", FormSy, true},
    {"TEXTAREA", TextAreaSy, true},
    {"SELECT", SelectSy, true},
    {"OPTION", OptionSy, true},
    {"FONT", FontSy, true},
    {"SUB", SubSy, false},
    {"SUP", SupSy, false},
    {"BIG", BigSy, false},
    {"SMALL", SmallSy, false},
    {"P", PSy, true},
    {"MAP", MapSy, true},
    {"FRAMESET", FrameSetSy, true},
    {"NOFRAMES", NoFramesSy, false},
    {"SCRIPT", ScriptSy, true},
    {"LI", LISy, false},
    {"BR", BRSy, true},
    {"HR", HRSy, true},
    {"DD", DDSy, false},
    {"DT", DTSy, false},
    {"IMG", ImageSy, true},
    {"BASE", BaseSy, true},
    {"TR", TRSy, true},
    {"BUTTON", ButtonSy, false},
    {"INPUT", InputSy, true},
    {"SELECTED", SelectedSy, false},
    {"BASEFONT", BaseFontSy, true},
    {"AREA", AreaSy, true},
    {"FRAME", FrameSy, true},
    {"PAGE", PageSy, false},
}};

// The attribute table: 48 names, "VALUE" twice with one symbol.
constexpr std::array<std::string_view, AttributeNameCount> kAttributeNames{
    "HREF",     "NAME",        "SRC",      "ALT",       "ALIGN",     "TEXT",        "BGCOLOR",
    "LINK",     "BACKGROUND",  "COLSPAN",  "ROWSPAN",   "BORDER",    "CELLPADDING", "CELLSPACING",
    "VALIGN",   "WIDTH",       "START",    "VALUE",     "TYPE",      "CHECKBOX",    "RADIO",
    "METHOD",   "ACTION",      "CHECKED",  "SIZE",      "MAXLENGTH", "COLS",        "ROWS",
    "MULTIPLE", "VALUE",       "SELECTED", "FACE",      "COLOR",     "TRANSP",      "CLEAR",
    "ISMAP",    "BORDERCOLOR", "USEMAP",   "SHAPE",     "COORDS",    "NOHREF",      "HEIGHT",
    "PLAIN",    "TARGET",      "NORESIZE", "SCROLLING", "HSPACE",    "LANGUAGE"};

struct Tables {
  NameTable<256, Symbol> tags;
  NameTable<256, Symbol> attributes;
  std::array<bool, SymbolCount> takesAttributes{};
  std::array<std::string_view, SymbolCount> names{};
  std::array<char, EndSymbolOffset * 16> endNames{};  // "/" + name, 16 bytes each

  Tables() {
    // Attributes first, so the tag "SELECTED" shares the attribute's symbol.
    int next = HrefSy;
    for (std::string_view name : kAttributeNames) {
      Symbol known;
      if (attributes.Find(name, known)) continue;
      Symbol s = static_cast<Symbol>(next++);
      attributes.Add(name, s);
      names[s] = name;
    }
    for (int i = 0; i < TagCount; ++i) {
      const TagRow& row = kTags[i];
      tags.Add(row.name, row.start);
      takesAttributes[row.start] = row.takesAttributes;
      names[row.start] = row.name;
      if (i < TagsWithEndSymbol) {
        char* slot = &endNames[static_cast<std::size_t>(i) * 16];
        slot[0] = '/';
        row.name.copy(slot + 1, 15);
        names[EndSymbolOf(row.start)] = std::string_view(slot, row.name.size() + 1);
      }
    }
    names[TextSymbol] = "Text";
    names[EndOfInputSymbol] = "EndOfInput";
    names[UnknownTagSymbol] = "UnknownTag";
    names[StrayCharSymbol] = "StrayChar";
    names[UnknownAttributeSymbol] = "UnknownAttribute";
    names[LineEndSymbol] = "LineEnd";
  }
};

// Built before main: the lookups run for every tag and need no guard.
const Tables kTables;

const Tables& GetTables() {
  return kTables;
}

}  // namespace

Symbol LookupTag(std::string_view upperName) {
  Symbol s = UnknownTagSymbol;
  return GetTables().tags.Find(upperName, s) ? s : UnknownTagSymbol;
}

Symbol LookupAttribute(std::string_view upperName) {
  Symbol s = UnknownAttributeSymbol;
  return GetTables().attributes.Find(upperName, s) ? s : UnknownAttributeSymbol;
}

bool TakesAttributes(Symbol s) {
  return s < SymbolCount && GetTables().takesAttributes[s];
}

std::string_view SymbolName(Symbol s) {
  return s < SymbolCount ? GetTables().names[s] : std::string_view();
}

}  // namespace kiv
