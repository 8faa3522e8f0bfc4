// The symbols of the HTML reader: one byte-sized enumeration shared by tag
// start and end symbols, attribute names and the special symbols, with the
// fixed tag and attribute tables.
#pragma once

#include <cstdint>
#include <string_view>

namespace kiv {

// Tags 1..44 of the tag table have an end symbol, at the same distance from
// their start symbol; tags 45..59 have none. The tag "SELECTED" reads as the
// attribute symbol SelectedSy. Attribute symbols follow the tag symbols; the
// attribute "TEXT" is TextSy, not to be mixed up with TextSymbol (a text run).
enum Symbol : std::uint8_t {
  // Start symbols of tags that have an end symbol.
  HtmlSy,
  TitleSy,
  BodySy,
  HeadSy,
  BSy,
  ISy,
  HSy,
  EmSy,
  StrongSy,
  USy,
  CiteSy,
  VarSy,
  TtSy,
  CodeSy,
  KbdSy,
  SampSy,
  OLSy,
  ULSy,
  DirSy,
  MenuSy,
  DLSy,
  ASy,
  AddressSy,
  BlockQuoteSy,
  PreSy,
  CenterSy,
  TableSy,
  TDSy,
  THSy,
  CaptionSy,
  FormSy,
  TextAreaSy,
  SelectSy,
  OptionSy,
  FontSy,
  SubSy,
  SupSy,
  BigSy,
  SmallSy,
  PSy,
  MapSy,
  FrameSetSy,
  NoFramesSy,
  ScriptSy,
  // Their end symbols, in the same order.
  HtmlEndSy,
  TitleEndSy,
  BodyEndSy,
  HeadEndSy,
  BEndSy,
  IEndSy,
  HEndSy,
  EmEndSy,
  StrongEndSy,
  UEndSy,
  CiteEndSy,
  VarEndSy,
  TtEndSy,
  CodeEndSy,
  KbdEndSy,
  SampEndSy,
  OLEndSy,
  ULEndSy,
  DirEndSy,
  MenuEndSy,
  DLEndSy,
  AEndSy,
  AddressEndSy,
  BlockQuoteEndSy,
  PreEndSy,
  CenterEndSy,
  TableEndSy,
  TDEndSy,
  THEndSy,
  CaptionEndSy,
  FormEndSy,
  TextAreaEndSy,
  SelectEndSy,
  OptionEndSy,
  FontEndSy,
  SubEndSy,
  SupEndSy,
  BigEndSy,
  SmallEndSy,
  PEndSy,
  MapEndSy,
  FrameSetEndSy,
  NoFramesEndSy,
  ScriptEndSy,
  // Start symbols of tags without an end symbol ("SELECTED" is SelectedSy).
  LISy,
  BRSy,
  HRSy,
  DDSy,
  DTSy,
  ImageSy,
  BaseSy,
  TRSy,
  ButtonSy,
  InputSy,
  BaseFontSy,
  AreaSy,
  FrameSy,
  PageSy,
  // Attribute symbols, in attribute table order ("VALUE" once).
  HrefSy,
  NameSy,
  SrcSy,
  AltSy,
  AlignSy,
  TextSy,
  BGColorSy,
  LinkSy,
  BackgroundSy,
  ColSpanSy,
  RowSpanSy,
  BorderSy,
  CellPaddingSy,
  CellSpacingSy,
  VAlignSy,
  WidthSy,
  StartSy,
  ValueSy,
  TypeSy,
  CheckBoxSy,
  RadioSy,
  MethodSy,
  ActionSy,
  CheckedSy,
  SizeSy,
  MaxLengthSy,
  ColsSy,
  RowsSy,
  MultipleSy,
  SelectedSy,
  FaceSy,
  ColorSy,
  TranspSy,
  ClearSy,
  IsMapSy,
  BorderColorSy,
  UseMapSy,
  ShapeSy,
  CoordsSy,
  NoHrefSy,
  HeightSy,
  PlainSy,
  TargetSy,
  NoResizeSy,
  ScrollingSy,
  HSpaceSy,
  LanguageSy,
  // Special symbols.
  TextSymbol,              // a run of text or a decoded entity in Token
  EndOfInputSymbol,        // the character 26 was reached
  UnknownTagSymbol,        // a tag not in the table, or the end of a tag without end symbol
  StrayCharSymbol,         // a control character other than CR, or ">"
  UnknownAttributeSymbol,  // an attribute name not in the table
  LineEndSymbol,           // a line end inside "TEXTAREA" or "SCRIPT"
  SymbolCount,
  TextAreaEndSymbol = TextAreaEndSy,
  ScriptEndSymbol = ScriptEndSy,
};

constexpr int TagCount = 59;
constexpr int TagsWithEndSymbol = 44;
constexpr int AttributeNameCount = 48;
constexpr int EndSymbolOffset = HtmlEndSy - HtmlSy;

constexpr bool HasEndSymbol(Symbol start) {
  return start < HtmlEndSy;
}
constexpr bool IsEndSymbol(Symbol s) {
  return s >= HtmlEndSy && s <= ScriptEndSy;
}
constexpr bool IsAttributeSymbol(Symbol s) {
  return (s >= HrefSy && s <= LanguageSy) || s == UnknownAttributeSymbol;
}
// The end symbol of a tag start symbol that has one, else UnknownTagSymbol.
constexpr Symbol EndSymbolOf(Symbol start) {
  return HasEndSymbol(start) ? static_cast<Symbol>(start + EndSymbolOffset) : UnknownTagSymbol;
}

// Looks an upper-case tag name up in the tag table; UnknownTagSymbol when absent.
Symbol LookupTag(std::string_view upperName);
// Looks an upper-case attribute name up; UnknownAttributeSymbol when absent.
Symbol LookupAttribute(std::string_view upperName);

// True for the start symbols of tags whose attributes are kept.
bool TakesAttributes(Symbol s);

// The table name of a symbol: "B" for BSy, "/B" for BEndSy, "HREF" for
// HrefSy, and "Text", "EndOfInput", "UnknownTag", "StrayChar",
// "UnknownAttribute", "LineEnd" for the special symbols.
std::string_view SymbolName(Symbol s);

}  // namespace kiv
