// The document builder: reads the tokenizer's symbols and fills a document
// root with sections as each construct is read. A recursive-descent reader
// without a tree: the body, list and table loops share one state of current
// cell and section, a font stack and running style values. Malformed HTML
// never fails; unclosed elements end where an enclosing loop stops them.
#pragma once

#include <array>
#include <functional>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "layout/fonts.h"
#include "layout/section_base.h"
#include "reader/tokenizer.h"
#include "reader/url_target.h"

namespace kiv {

struct CommonSymbol;
class TCell;
class TFormControlContent;
class TFormControlObj;
class ThtmlForm;
class TSection;
class TSectionList;

// Capacity of the font stack, the base font included.
constexpr int FontStackSize = 25;
// Lists and tables nested deeper than this are read as if they stood at the
// deepest level, so that no page can exhaust the stack.
constexpr int MaxListNesting = 64;
constexpr int MaxTableNesting = 32;

// The anchors of a page: each "NAME" of an "A" tag in upper case, with the
// text section that was being built when the tag was read. The sections
// belong to the document.
using TAnchorList = std::vector<std::pair<std::string, TSectionBase*>>;

// Results of a parse that the viewer reads afterwards.
struct TParseResult {
  std::string DocTitle;
  std::string DocBase;
  std::string DocBaseTarget;
};

// Entry points. Each fills an empty document; the anchors are appended to
// anchorNames. File parses catch EParseError and keep what was built; the
// other sources pass it on. A file that cannot be opened raises EInOutError.
// baseTarget carries the base target from one document to the next: it is
// not cleared by a parse of a document that has none.
TParseResult ParseHtmlFile(TSectionList& document, TAnchorList& anchorNames,
                           const std::string& fileName, const std::string& baseTarget = {});
TParseResult ParseHtmlBuffer(TSectionList& document, TAnchorList& anchorNames, const char* buffer,
                             std::size_t length, const std::string& baseTarget = {});
TParseResult ParseHtmlStrings(TSectionList& document, TAnchorList& anchorNames,
                              const std::vector<std::string>& strings,
                              const std::string& baseTarget = {});
TParseResult ParseHtmlStream(TSectionList& document, TAnchorList& anchorNames,
                             std::istream& stream, const std::string& baseTarget = {});
// Plain text shown as preformatted lines.
TParseResult ParseTextFile(TSectionList& document, TAnchorList& anchorNames,
                           const std::string& fileName);
TParseResult ParseTextStrings(TSectionList& document, TAnchorList& anchorNames,
                              const std::vector<std::string>& strings);

// The builder state of one parse. Exposed for the entry points above and the
// block readers; use the entry points.
class THtmlBuilder {
 public:
  THtmlBuilder(TSectionList& document, TAnchorList& anchorNames);
  ~THtmlBuilder();
  THtmlBuilder(const THtmlBuilder&) = delete;
  THtmlBuilder& operator=(const THtmlBuilder&) = delete;

  // Reads the whole document from the started source (html or plain text).
  void Run(bool plainText);

  ReaderState Reader;
  TParseResult Result;

 private:
  using SymbolSet = std::vector<Symbol>;

  // --- shared steps ---------------------------------------------------------
  void CloseSection();
  void NewSection(int level, int justify);
  void EnsureSection(int level);
  // Names the open section by the element IDs the reader has read.
  void PlaceElementIds();
  // The form control of tag in the open section; null when none is open or
  // it is full.
  TFormControlObj* AddControl(Symbol tag);
  bool PushFont();
  void PopFont();
  void ApplyFont();
  TMyFont& TopFont() { return fontStack_[static_cast<std::size_t>(fontDepth_ - 1)]; }
  void MakeFixedPitch(TMyFont& font);
  void AddToCell(std::unique_ptr<TSectionBase> section);
  int ParagraphAlignment() const;

  // --- readers --------------------------------------------------------------
  // Reads until end of input or "/BODY"; returns early, without consuming
  // it, on a symbol of terminators.
  void ReadBody(const SymbolSet& terminators);
  // True when it returned on a symbol of terminators (left current).
  bool ReadList(int depth, Symbol opening, const SymbolSet& terminators);
  // Handles a symbol that reads the same in the body, lists and cells (one
  // of the common symbols) and reads past it.
  void DoCommonSymbol(int level);
  // What common symbol c does, in preformatted text or elsewhere; true when
  // it read past its symbol itself.
  bool DoCommonAction(const CommonSymbol& c, int level, bool preformatted);
  // The common symbols that take several steps.
  void DoParagraph(int level);
  void DoLineBreak(int level);
  void DoHeading(int level);
  void DoHeadingEnd();
  void DoAddress(int level);
  void DoAddressEnd();
  void DoAlignment(int level, std::uint8_t justify);
  void ReadPreformatted(int level);
  // Hands the pending preformatted text to the open section.
  void FlushPreformatted();
  void ReadPlainText();
  // Font change of "FONT" or "BASEFONT"; true when the top font changed.
  bool FontChange(bool isBaseFont, bool preTable);
  // "BIG" or "SMALL"; true when the top font changed.
  bool SizeStep(bool big);
  void DoLinkTag(int level, bool alwaysChangeFont, const std::function<void()>& beforeHref);
  void DoLinkEnd();

  // --- block readers ----------------------------------------------------------
  void ReadTable();
  // Clears the anchors from index first on that name a section of cell.
  void ForgetAnchorsIn(const TCell& cell, std::size_t first);
  void ReadTextArea(TFormControlContent* control);
  void ReadOptions(TFormControlContent* control);
  void ReadMap();
  void ReadScript();
  // The token reader of text area and script content.
  void NextRawToken(bool script);

  static bool Contains(const SymbolSet& set, Symbol s);

  TSectionList& document_;     // not owned
  TAnchorList& anchorNames_;   // not owned
  TCell* currentCell_;         // not owned: the document root, a table cell or a caption cell
  std::unique_ptr<TSection> currentSection_;
  std::array<TMyFont, FontStackSize> fontStack_;  // the first fontDepth_ are in use
  int fontDepth_ = 0;
  TUrlTarget linkTarget_;
  bool inLink_ = false;
  int baseFontIndex_ = 3;
  std::uint8_t runAlignment_ = TSectionBase::JustifyLeft;
  std::uint8_t styleFlags_ = 0;
  std::uint8_t verticalShift_ = 0;
  ThtmlForm* currentForm_ = nullptr;  // not owned: the document's forms own them
  int listNesting_ = 0;
  int tableNesting_ = 0;
  std::string prePending_;  // preformatted text not yet in its section
};

}  // namespace kiv
