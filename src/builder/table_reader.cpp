// The table reader of the document builder: rows, cells and captions read
// into cells of their own, stray text placed before the table.
#include <algorithm>
#include <string>

#include "layout/cell.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "builder/document_builder.h"
#include "reader/string_routines.h"

namespace kiv {

namespace {

const std::vector<Symbol>& CellTerminators() {
  static const std::vector<Symbol> set = {TableEndSy, TDSy,      TDEndSy,  TRSy,
                                          THSy,       THEndSy,   CaptionSy, CaptionEndSy};
  return set;
}

}  // namespace

// Tables: the cells are read with the cell terminating set into cells of
// their own. Until the table sections exist, each cell's content is read
// exactly as it will be and then let go, so that what surrounds a table
// builds the same as it will with the table in place.
void THtmlBuilder::ReadTable() {
  CloseSection();
  TCell* const outerCell = currentCell_;
  const std::uint8_t outerAlignment = runAlignment_;
  const std::uint8_t outerStyle = styleFlags_;
  currentCell_ = nullptr;
  ++tableNesting_;

  std::unique_ptr<TCell> cell;  // the cell or caption being read, once its tag opened it
  std::size_t cellAnchors = 0;  // anchors named before that cell opened
  bool firstRow = true;
  int rowAlign = 0;
  auto alignOf = [](std::string_view text) {
    std::string a = TrimWhite(text);
    for (char& c : a) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return a == "left" ? 1 : a == "center" ? 2 : a == "right" ? 3 : 0;
  };
  auto openCell = [&] {
    cell = std::make_unique<TCell>(&document_);
    currentCell_ = cell.get();
    cellAnchors = anchorNames_.size();
  };
  auto finishCell = [&] {
    if (currentCell_) {
      CloseSection();
      ForgetAnchorsIn(*cell, cellAnchors);
      cell.reset();
      currentCell_ = nullptr;
    }
  };
  auto restore = [&] {
    --tableNesting_;
    currentCell_ = outerCell;
    styleFlags_ = outerStyle;
    runAlignment_ = outerAlignment;
  };

  try {
    Reader.Next();
    while (Reader.Sym != TableEndSy && Reader.Sym != EndOfInputSymbol) {
      const Symbol sym = Reader.Sym;
      if (sym == TextSymbol) {
        // Stray text between cells stands before the table.
        currentCell_ = outerCell;
        ReadBody(CellTerminators());
        CloseSection();
        currentCell_ = cell.get();
      } else if (sym == TDSy || sym == THSy) {
        finishCell();
        runAlignment_ = static_cast<std::uint8_t>(rowAlign != 0 ? rowAlign : (sym == THSy ? 2 : 1));
        if (sym == THSy) {
          styleFlags_ |= fsBold;
        } else {
          styleFlags_ &= static_cast<std::uint8_t>(~fsBold);
        }
        if (const TAttribute* a = Reader.Attributes.Find(AlignSy); a && alignOf(a->Text) != 0)
          runAlignment_ = static_cast<std::uint8_t>(alignOf(a->Text));
        openCell();
        Reader.Next();
        if (tableNesting_ <= MaxTableNesting) {
          ReadBody(CellTerminators());
        }
        firstRow = false;
      } else if (sym == TDEndSy || sym == THEndSy) {
        finishCell();
        Reader.Next();
      } else if (sym == TRSy) {
        if (firstRow) {
          firstRow = false;
        } else {
          finishCell();
        }
        const TAttribute* a = Reader.Attributes.Find(AlignSy);
        rowAlign = a ? alignOf(a->Text) : 0;
        Reader.Next();
      } else if (sym == CaptionSy) {
        finishCell();
        openCell();
        runAlignment_ = 2;
        Reader.Next();
        ReadBody(CellTerminators());
        finishCell();
        if (Reader.Sym == CaptionEndSy) Reader.Next();
      } else {
        Reader.Next();
      }
    }
    finishCell();
  } catch (...) {
    // A parse error inside the table: the open cell goes with its section as
    // at its end, and the builder is left as the table found it, so the
    // parse's cleanup closes the open section into a live cell.
    if (currentCell_ != cell.get()) CloseSection();
    currentCell_ = cell.get();
    finishCell();
    restore();
    throw;
  }
  restore();
  Reader.Next();
}

// Anchors name sections by address: those named since the cell opened (from
// index first on) that name one of its sections lose their section before the
// cell is let go, as for any section dropped.
void THtmlBuilder::ForgetAnchorsIn(const TCell& cell, std::size_t first) {
  for (std::size_t i = first; i < anchorNames_.size(); ++i) {
    TSectionBase*& section = anchorNames_[i].second;
    if (section &&
        std::any_of(cell.begin(), cell.end(), [&](const auto& s) { return s.get() == section; }))
      section = nullptr;
  }
}

}  // namespace kiv
