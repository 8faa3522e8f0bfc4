// The common symbols of the document builder: the tags (and text) that read
// the same in the body, in list items and in table cells. One table gives,
// for each, what it does and how preformatted text treats it; the body, list
// and cell readers dispatch on it, and so does the preformatted reader.
#pragma once

#include <array>
#include <cstdint>

#include "layout/fonts.h"
#include "layout/section_base.h"
#include "reader/symbols.h"

namespace kiv {

// What a common symbol does.
enum class CommonAction : std::uint8_t {
  None,          // not a common symbol
  Paragraph,     // "P", "/P": a paragraph spacer and a new section
  LineBreak,     // "BR": a new section in the alignment of the one it ends
  StyleOn,       // a style flag (Arg) set
  StyleOff,      // a style flag (Arg) cleared
  Shift,         // the vertical shift set to Arg (a TextShift)
  Heading,       // "H": spacer, font pushed, scaled and bold
  HeadingEnd,    // "/H": spacer, font popped
  FixedPitch,    // a fixed-pitch font pushed
  FontEnd,       // the top font popped
  Address,       // a new section in a pushed italic font
  AddressEnd,    // the section closed, the font popped
  Preformatted,  // "PRE": read by the preformatted reader
  Image,         // an image in the section
  Alignment,     // "CENTER", "/CENTER": a new section aligned Arg
  LinkStart,     // "A": a link and (or) an anchor
  LinkEnd,       // "/A"
  Text,          // a text run
  Table,         // read by the table reader
  Input,         // a form control
  Select,        // a list control and its options
  TextArea,      // a text area and its content
  Form,          // a form started
  FormEnd,       // the form ended
  FontChange,    // "FONT", "BASEFONT" (Arg 1): size, colour, face
  SizeStep,      // "BIG" (Arg 1), "SMALL": one size up or down
  Map,           // an image map read
  Page,          // a page break
  Script,        // a script read
  Dropped,       // read and dropped
};

// How preformatted text treats a common symbol.
enum class PreformattedUse : std::uint8_t {
  Dropped,     // the tag is dropped
  LineEnd,     // the line ends
  Text,        // its text joins the line, line ends included
  AfterFlush,  // the pending text joins the section first, then the action
  AsIs,        // the action alone (a link flushes before its HREF itself)
};

struct CommonSymbol {
  Symbol Sym = UnknownTagSymbol;
  CommonAction Action = CommonAction::None;
  std::uint8_t Arg = 0;
  PreformattedUse InPre = PreformattedUse::Dropped;
};

// The common symbols, with what each does and its use in preformatted text.
// Arg is the style flag, the shift, the alignment or 1 for the second tag of
// a pair ("BASEFONT", "BIG").
inline constexpr CommonSymbol kCommonSymbolList[] = {
    // clang-format off
    {PSy,          CommonAction::Paragraph,    0,                  PreformattedUse::LineEnd},
    {PEndSy,       CommonAction::Paragraph,    0,                  PreformattedUse::Dropped},
    {BRSy,         CommonAction::LineBreak,    0,                  PreformattedUse::LineEnd},
    {BSy,          CommonAction::StyleOn,      fsBold,             PreformattedUse::AfterFlush},
    {StrongSy,     CommonAction::StyleOn,      fsBold,             PreformattedUse::AfterFlush},
    {BEndSy,       CommonAction::StyleOff,     fsBold,             PreformattedUse::AfterFlush},
    {StrongEndSy,  CommonAction::StyleOff,     fsBold,             PreformattedUse::AfterFlush},
    {ISy,          CommonAction::StyleOn,      fsItalic,           PreformattedUse::AfterFlush},
    {EmSy,         CommonAction::StyleOn,      fsItalic,           PreformattedUse::AfterFlush},
    {CiteSy,       CommonAction::StyleOn,      fsItalic,           PreformattedUse::AfterFlush},
    {VarSy,        CommonAction::StyleOn,      fsItalic,           PreformattedUse::AfterFlush},
    {IEndSy,       CommonAction::StyleOff,     fsItalic,           PreformattedUse::AfterFlush},
    {EmEndSy,      CommonAction::StyleOff,     fsItalic,           PreformattedUse::AfterFlush},
    {CiteEndSy,    CommonAction::StyleOff,     fsItalic,           PreformattedUse::AfterFlush},
    {VarEndSy,     CommonAction::StyleOff,     fsItalic,           PreformattedUse::AfterFlush},
    {USy,          CommonAction::StyleOn,      fsUnderline,        PreformattedUse::AfterFlush},
    {UEndSy,       CommonAction::StyleOff,     fsUnderline,        PreformattedUse::AfterFlush},
    {SubSy,        CommonAction::Shift,        ShiftSubscript,     PreformattedUse::Dropped},
    {SupSy,        CommonAction::Shift,        ShiftSuperscript,   PreformattedUse::Dropped},
    {SubEndSy,     CommonAction::Shift,        ShiftNone,          PreformattedUse::Dropped},
    {SupEndSy,     CommonAction::Shift,        ShiftNone,          PreformattedUse::Dropped},
    {HSy,          CommonAction::Heading,      0,                  PreformattedUse::Dropped},
    {HEndSy,       CommonAction::HeadingEnd,   0,                  PreformattedUse::Dropped},
    {TtSy,         CommonAction::FixedPitch,   0,                  PreformattedUse::Dropped},
    {CodeSy,       CommonAction::FixedPitch,   0,                  PreformattedUse::Dropped},
    {KbdSy,        CommonAction::FixedPitch,   0,                  PreformattedUse::Dropped},
    {SampSy,       CommonAction::FixedPitch,   0,                  PreformattedUse::Dropped},
    {TtEndSy,      CommonAction::FontEnd,      0,                  PreformattedUse::Dropped},
    {CodeEndSy,    CommonAction::FontEnd,      0,                  PreformattedUse::Dropped},
    {KbdEndSy,     CommonAction::FontEnd,      0,                  PreformattedUse::Dropped},
    {SampEndSy,    CommonAction::FontEnd,      0,                  PreformattedUse::Dropped},
    {FontEndSy,    CommonAction::FontEnd,      0,                  PreformattedUse::AfterFlush},
    {BigEndSy,     CommonAction::FontEnd,      0,                  PreformattedUse::Dropped},
    {SmallEndSy,   CommonAction::FontEnd,      0,                  PreformattedUse::Dropped},
    {AddressSy,    CommonAction::Address,      0,                  PreformattedUse::Dropped},
    {AddressEndSy, CommonAction::AddressEnd,   0,                  PreformattedUse::Dropped},
    {PreSy,        CommonAction::Preformatted, 0,                  PreformattedUse::Dropped},
    {ImageSy,      CommonAction::Image,        0,                  PreformattedUse::AfterFlush},
    {CenterSy,     CommonAction::Alignment,    TSectionBase::JustifyCenter, PreformattedUse::Dropped},
    {CenterEndSy,  CommonAction::Alignment,    TSectionBase::JustifyLeft,   PreformattedUse::Dropped},
    {ASy,          CommonAction::LinkStart,    0,                  PreformattedUse::AsIs},
    {AEndSy,       CommonAction::LinkEnd,      0,                  PreformattedUse::AfterFlush},
    {TextSymbol,   CommonAction::Text,         0,                  PreformattedUse::Text},
    {TableSy,      CommonAction::Table,        0,                  PreformattedUse::Dropped},
    {InputSy,      CommonAction::Input,        0,                  PreformattedUse::AfterFlush},
    {SelectSy,     CommonAction::Select,       0,                  PreformattedUse::AfterFlush},
    {TextAreaSy,   CommonAction::TextArea,     0,                  PreformattedUse::AfterFlush},
    {TextAreaEndSy, CommonAction::Dropped,     0,                  PreformattedUse::Dropped},
    {FormSy,       CommonAction::Form,         0,                  PreformattedUse::AsIs},
    {FormEndSy,    CommonAction::FormEnd,      0,                  PreformattedUse::AsIs},
    {FontSy,       CommonAction::FontChange,   0,                  PreformattedUse::AfterFlush},
    {BaseFontSy,   CommonAction::FontChange,   1,                  PreformattedUse::AfterFlush},
    {BigSy,        CommonAction::SizeStep,     1,                  PreformattedUse::Dropped},
    {SmallSy,      CommonAction::SizeStep,     0,                  PreformattedUse::Dropped},
    {MapSy,        CommonAction::Map,          0,                  PreformattedUse::AsIs},
    {PageSy,       CommonAction::Page,         0,                  PreformattedUse::Dropped},
    {ScriptSy,     CommonAction::Script,       0,                  PreformattedUse::AsIs},
    // clang-format on
};

namespace common_symbols_detail {

using Table = std::array<CommonSymbol, SymbolCount>;

constexpr Table MakeTable() {
  Table table{};
  for (const CommonSymbol& c : kCommonSymbolList) table[c.Sym] = c;
  return table;
}

constexpr bool EachSymbolOnce() {
  Table seen{};
  for (const CommonSymbol& c : kCommonSymbolList) {
    if (c.Sym >= SymbolCount || seen[c.Sym].Action != CommonAction::None ||
        c.Action == CommonAction::None)
      return false;
    seen[c.Sym] = c;
  }
  return true;
}
static_assert(EachSymbolOnce(), "a common symbol is listed twice or with no action");

inline constexpr Table kBySymbol = MakeTable();

}  // namespace common_symbols_detail

// What s does when read as a common symbol; Action is None for any other.
constexpr const CommonSymbol& CommonSymbolOf(Symbol s) {
  return common_symbols_detail::kBySymbol[s < SymbolCount ? s : UnknownTagSymbol];
}

constexpr bool IsCommonSymbol(Symbol s) {
  return CommonSymbolOf(s).Action != CommonAction::None;
}

}  // namespace kiv
