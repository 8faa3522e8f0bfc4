// Hostile and malformed form markup: huge forms, options and text areas,
// out-of-range sizes and unknown types give bounded, working controls.
#include <QLineEdit>

#include "form_test_support.h"
#include "layout/form_control_edit.h"
#include "layout/form_control_list_box.h"
#include "layout/form_control_text_area.h"

namespace kiv {
namespace {

class FormBadInputTest : public testing::FormTest {};

TEST_F(FormBadInputTest, OutOfRangeSizesGiveBoundedWindows) {
  Parse(
      "<form><input name=a size=0 maxlength=0><input name=b size=-3 maxlength=-1>"
      "<input name=c size=2147483648 maxlength=2147483648><input name=d size=99999999>"
      "<select multiple size=-5><option>x</select><select multiple size=2147483647>"
      "<option>y</select><textarea rows=-1 cols=0></textarea>"
      "<textarea rows=99999999 cols=99999999></textarea><input type=BOGUS name=e></form>");
  LayOut();
  Paint();
  for (int i = 0; i < 9; ++i) {
    const TFormControlObj* c = Control(i);
    ASSERT_NE(c, nullptr) << i;
    EXPECT_GT(c->ControlWidth(), 0) << i;
    EXPECT_GT(c->ControlHeight(), 0) << i;
    EXPECT_LE(c->ControlWidth(), MaxWindowControlSide) << i;
    EXPECT_LE(c->ControlHeight(), MaxWindowControlSide) << i;
  }
  // Sizes below 1 take the defaults.
  EXPECT_EQ(Control(0)->ControlWidth(), 6 * DefaultEditSize + 5);
  EXPECT_EQ(Control(1)->ControlWidth(), 6 * DefaultEditSize + 5);
  EXPECT_EQ(Control<TTextAreaFormControlObj>(6)->TextRows, DefaultTextRows);
  EXPECT_EQ(Control<TTextAreaFormControlObj>(6)->TextCols, DefaultTextCols);
  // A limit of 0 or less is no limit.
  Type(Input(Control(0)), "abc");
  Type(Input(Control(1)), "abc");
  EXPECT_EQ(Form(0).FormControls.Count(), 9);
  EXPECT_EQ(Control(8)->KindName(), "text");
  const std::vector<std::string> entries = Submit();
  ASSERT_GE(entries.size(), 2u);
  EXPECT_EQ(entries[0], "a=abc");
  EXPECT_EQ(entries[1], "b=abc");
}

TEST_F(FormBadInputTest, HugeOptionsEmptySelectsAndEndlessTextAreas) {
  std::string page = "<form><select name=s><option value=" + std::string(300, 'v') + ">" +
                     std::string(10000, 'o') +
                     "</select><select name=empty></select>"
                     "<textarea name=t>";
  for (int i = 0; i < 100000; ++i) page += "l\r\n";
  page += "</textarea><textarea name=u>open <b";
  Parse(page);
  LayOut();
  auto* list = Control<TListBoxFormControlObj>(0);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->Options.size(), 1u);
  EXPECT_EQ(list->Options[0].first.size(), 80u);
  EXPECT_EQ(list->Options[0].second.OptionValue.size(), 80u);
  EXPECT_EQ(list->LongestOption, 80);
  EXPECT_EQ(Control(1)->Control->ItemIndex(), -1);
  const std::vector<std::string> entries = Submit();
  ASSERT_EQ(entries.size(), 1u + 100000u + 1u);
  EXPECT_EQ(entries[0], "s=" + std::string(80, 'v'));
  EXPECT_EQ(entries[1], "t=l");
  EXPECT_EQ(entries.back(), "u=open <b");
}

TEST_F(FormBadInputTest, AFormOfFiveThousandControls) {
  std::string page = "<form>";
  for (int i = 0; i < 5000; ++i)
    page += "<input name=f" + std::to_string(i) + " value=" + std::to_string(i) + ">";
  Parse(page);
  LayOut();
  Paint();
  const std::vector<std::string> entries = Submit();
  ASSERT_EQ(entries.size(), 5000u);
  EXPECT_EQ(entries[4999], "f4999=4999");
  // Enter in one of many fields submits nothing.
  Key(Input(Control(10)), Qt::Key_Return);
  EXPECT_EQ(submissions.size(), 1u);
}

TEST_F(FormBadInputTest, AFullSectionTakesNoMoreControlsButStillHiddenInputs) {
  Parse("<form>" + std::string(20005, 'x') + "<input name=a><input type=hidden name=h value=1>");
  EXPECT_EQ(Form(0).FormControls.Count(), 1);
  EXPECT_EQ(Submit(), (std::vector<std::string>{"h=1"}));
}

}  // namespace
}  // namespace kiv
