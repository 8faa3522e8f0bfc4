// The table of common symbols: which symbols the body, list and cell readers
// hand to it, and what preformatted text does with them.
#include "builder/common_symbols.h"

#include <gtest/gtest.h>

namespace kiv {
namespace {

TEST(CommonSymbolsTest, SymbolsTheReadersHandleThemselvesAreNotCommon) {
  // The body, list and table readers act on these before or instead of the
  // common symbols; a table entry would take them away from those readers.
  for (Symbol s : {BodySy,
                   TitleSy,
                   BaseSy,
                   HRSy,
                   LISy,
                   DDSy,
                   DTSy,
                   OLSy,
                   ULSy,
                   DirSy,
                   MenuSy,
                   DLSy,
                   BlockQuoteSy,
                   OLEndSy,
                   ULEndSy,
                   DirEndSy,
                   MenuEndSy,
                   DLEndSy,
                   BlockQuoteEndSy,
                   TRSy,
                   TDSy,
                   THSy,
                   TDEndSy,
                   THEndSy,
                   CaptionSy,
                   CaptionEndSy,
                   TableEndSy,
                   PreEndSy,
                   BodyEndSy,
                   OptionSy,
                   AreaSy,
                   MapEndSy,
                   EndOfInputSymbol,
                   UnknownTagSymbol,
                   StrayCharSymbol,
                   HrefSy,
                   UnknownAttributeSymbol})
    EXPECT_FALSE(IsCommonSymbol(s)) << static_cast<int>(s);
  EXPECT_FALSE(IsCommonSymbol(SymbolCount));
}

TEST(CommonSymbolsTest, EachTagOfAPairEndsWhatItsStartBegan) {
  // A style or font started by a tag is ended by its end tag, in the same
  // way outside and inside preformatted text.
  for (const CommonSymbol& start : kCommonSymbolList) {
    if (!HasEndSymbol(start.Sym)) continue;
    const CommonSymbol& end = CommonSymbolOf(EndSymbolOf(start.Sym));
    switch (start.Action) {
      case CommonAction::StyleOn:
        EXPECT_EQ(end.Action, CommonAction::StyleOff) << static_cast<int>(start.Sym);
        EXPECT_EQ(end.Arg, start.Arg);
        EXPECT_EQ(end.InPre, start.InPre);
        break;
      case CommonAction::FixedPitch:
      case CommonAction::SizeStep:
        EXPECT_EQ(end.Action, CommonAction::FontEnd) << static_cast<int>(start.Sym);
        break;
      case CommonAction::FontChange:
        EXPECT_EQ(end.Action, CommonAction::FontEnd);
        EXPECT_EQ(end.InPre, PreformattedUse::AfterFlush);
        break;
      case CommonAction::Shift:
        EXPECT_EQ(end.Action, CommonAction::Shift);
        EXPECT_EQ(end.Arg, ShiftNone);
        break;
      default:
        break;
    }
  }
}

TEST(CommonSymbolsTest, PreformattedTextKeepsItsLinesAndFontsButTakesNoBlocks) {
  EXPECT_EQ(CommonSymbolOf(PSy).InPre, PreformattedUse::LineEnd);
  EXPECT_EQ(CommonSymbolOf(BRSy).InPre, PreformattedUse::LineEnd);
  EXPECT_EQ(CommonSymbolOf(TextSymbol).InPre, PreformattedUse::Text);
  // Nothing that opens a block or changes the size reads inside it.
  for (Symbol s : {HSy, TableSy, PreSy, CenterSy, AddressSy, PageSy, BigSy, SmallSy, TtSy, SubSy})
    EXPECT_EQ(CommonSymbolOf(s).InPre, PreformattedUse::Dropped) << static_cast<int>(s);
}

}  // namespace
}  // namespace kiv
