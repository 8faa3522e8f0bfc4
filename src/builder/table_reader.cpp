// The table reader of the document builder: rows, cells and captions read
// into the cells of a table section, stray text placed before the table.
#include <algorithm>
#include <string>
#include <unordered_set>

#include "builder/document_builder.h"
#include "layout/cell.h"
#include "layout/section_list.h"
#include "layout/table.h"
#include "layout/text_section.h"
#include "reader/string_routines.h"

namespace kiv {

namespace {

const std::vector<Symbol>& CellTerminators() {
  static const std::vector<Symbol> set = {TableEndSy, TDSy,    TDEndSy,   TRSy,
                                          THSy,       THEndSy, CaptionSy, CaptionEndSy};
  return set;
}

std::string LowerTrimmed(std::string_view text) {
  std::string a = TrimWhite(text);
  for (char& c : a) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return a;
}

// "ALIGN" of a row or a cell as a Justify code, 0 when none.
int AlignOf(const TAttributeList& attributes) {
  const TAttribute* a = attributes.Find(AlignSy);
  if (!a) return 0;
  const std::string v = LowerTrimmed(a->Text);
  return v == "left"     ? TSection::JustifyLeft
         : v == "center" ? TSection::JustifyCenter
         : v == "right"  ? TSection::JustifyRight
                         : 0;
}

// "VALIGN" of a row or a cell: 0 top, 1 middle, 2 bottom, else fallback.
std::uint8_t VAlignOf(const TAttributeList& attributes, std::uint8_t fallback) {
  const TAttribute* a = attributes.Find(VAlignSy);
  if (!a) return fallback;
  const std::string v = LowerTrimmed(a->Text);
  return v == "top"      ? VAlignTop
         : v == "middle" ? VAlignMiddle
         : v == "bottom" ? VAlignBottom
                         : fallback;
}

// Every section of cell, those of the tables in it included.
void CollectSections(const TCell& cell, std::unordered_set<const TSectionBase*>& out) {
  for (const auto& section : cell) {
    out.insert(section.get());
    if (const auto* table = dynamic_cast<const ThtmlTable*>(section.get()))
      table->ForEachContainer([&out](const TCell& inner) { CollectSections(inner, out); });
  }
}

}  // namespace

// Tables: the cells are read with the cell terminating set into the cells of
// a table section, which joins the enclosing cell once "/TABLE" (or the end
// of input) is reached. Tables nested deeper than MaxTableNesting are not
// started: their rows and cells continue the deepest table.
void THtmlBuilder::ReadTable() {
  if (tableNesting_ >= MaxTableNesting) {
    Reader.Next();
    return;
  }
  CloseSection();
  TCell* const outerCell = currentCell_;
  const std::uint8_t outerAlignment = runAlignment_;
  const std::uint8_t outerStyle = styleFlags_;
  const std::size_t firstAnchor = anchorNames_.size();
  currentCell_ = nullptr;
  ++tableNesting_;

  auto table = std::make_unique<ThtmlTable>(&document_, Reader.Attributes, runAlignment_);
  auto row = std::make_unique<TCellList>();
  std::unique_ptr<TCellObj> cell;  // the cell being read, until it joins the row
  bool firstRow = true;
  int rowAlign = 0;
  std::uint8_t rowVAlign = VAlignMiddle;

  auto finishCell = [&] {
    if (!currentCell_) return;
    CloseSection();
    if (cell && currentCell_ == cell->Content.get()) row->Add(std::move(cell));
    currentCell_ = nullptr;
  };
  auto restore = [&] {
    --tableNesting_;
    currentCell_ = outerCell;
    styleFlags_ = outerStyle;
    runAlignment_ = outerAlignment;
  };
  // The table joins the enclosing cell. One whose columns its layout will
  // refuse is dropped there with all it holds, so anchors inside it must not
  // name its sections; the outermost table checks for all nested in it.
  auto addTable = [&] {
    finishCell();
    table->Rows.Add(std::move(row));
    currentCell_ = outerCell;
    if (!outerCell || (tableNesting_ == 1 && !table->ColumnsFit()))
      table->ForEachContainer([&](const TCell& c) { ForgetAnchorsIn(c, firstAnchor); });
    AddToCell(std::move(table));
  };

  try {
    Reader.Next();
    while (Reader.Sym != TableEndSy && Reader.Sym != EndOfInputSymbol) {
      const Symbol sym = Reader.Sym;
      if (sym == TextSymbol) {
        // Stray text between cells stands before the table.
        TCell* const open = currentCell_;
        currentCell_ = outerCell;
        ReadBody(CellTerminators());
        CloseSection();
        currentCell_ = open;
      } else if (sym == TDSy || sym == THSy) {
        finishCell();
        runAlignment_ = static_cast<std::uint8_t>(
            rowAlign != 0 ? rowAlign
                          : (sym == THSy ? TSection::JustifyCenter : TSection::JustifyLeft));
        if (sym == THSy) {
          styleFlags_ |= fsBold;
        } else {
          styleFlags_ &= static_cast<std::uint8_t>(~fsBold);
        }
        if (const int align = AlignOf(Reader.Attributes); align != 0)
          runAlignment_ = static_cast<std::uint8_t>(align);
        cell = std::make_unique<TCellObj>(&document_, &Reader.Attributes,
                                          VAlignOf(Reader.Attributes, rowVAlign));
        currentCell_ = cell->Content.get();
        Reader.Next();
        ReadBody(CellTerminators());
        firstRow = false;
      } else if (sym == TDEndSy || sym == THEndSy) {
        finishCell();
        Reader.Next();
      } else if (sym == TRSy) {
        if (firstRow) {
          firstRow = false;
        } else {
          finishCell();
          const int cellsBefore = row->Count();
          table->Rows.Add(std::move(row));
          row = std::make_unique<TCellList>();
          // Rows mostly hold as many cells as the one before.
          row->Reserve(cellsBefore);
        }
        rowAlign = AlignOf(Reader.Attributes);
        rowVAlign = VAlignOf(Reader.Attributes, VAlignMiddle);
        Reader.Next();
      } else if (sym == CaptionSy) {
        finishCell();
        if (const TAttribute* a = Reader.Attributes.Find(AlignSy))
          table->CaptionOnTop = LowerTrimmed(a->Text) != "bottom";
        currentCell_ = table->Caption->Content.get();
        runAlignment_ = 2;
        Reader.Next();
        ReadBody(CellTerminators());
        CloseSection();
        currentCell_ = nullptr;
        if (Reader.Sym == CaptionEndSy) Reader.Next();
      } else {
        Reader.Next();
      }
    }
    addTable();
  } catch (...) {
    // A parse error inside the table: the table ends with what was read, as
    // at the end of input, and the builder is left as the table found it.
    try {
      if (table) addTable();
    } catch (...) {
    }
    restore();
    throw;
  }
  restore();
  Reader.Next();
}

// Anchors name sections by address: those named from index first on that
// name a section of cell (or of a table in it) lose their section before the
// cell is let go, as for any section dropped.
void THtmlBuilder::ForgetAnchorsIn(const TCell& cell, std::size_t first) {
  std::unordered_set<const TSectionBase*> inside;
  CollectSections(cell, inside);
  for (std::size_t i = first; i < anchorNames_.size(); ++i)
    if (inside.count(anchorNames_[i].second)) anchorNames_[i].second = nullptr;
}

}  // namespace kiv
