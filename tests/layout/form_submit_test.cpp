// Forms driven through their real windows: typing, clicking, radio grouping,
// check boxes, selection lists, text areas, reset, Enter and the page keys.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "form_test_support.h"
#include "layout/form_control_button.h"
#include "layout/form_control_check_box.h"
#include "layout/form_control_edit.h"
#include "layout/form_control_list_box.h"
#include "layout/form_control_radio.h"
#include "layout/form_control_text_area.h"

namespace kiv {
namespace {

using Entries = std::vector<std::string>;

class FormSubmitTest : public testing::FormTest {};

TEST_F(FormSubmitTest, TypedTextIsSubmittedWithActionAndMethodAsWritten) {
  Parse(
      "<form action='find.cgi?x=1&y' method=post><input name=q value=ab></form>"
      "<form method=Postal><input name=a><input type=password name=p></form>");
  auto* edit = qobject_cast<QLineEdit*>(Input(Control(0)));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), "ab");
  edit->setCursorPosition(2);
  Type(edit, "c d");
  EXPECT_EQ(Submit(), (Entries{"q=abc d"}));
  EXPECT_EQ(submissions.back().action, "find.cgi?x=1&y");
  EXPECT_EQ(submissions.back().method, "post");

  Type(Input(Control(2)), "pw");
  EXPECT_EQ(Submit(1), (Entries{"a=", "p=pw"}));
  EXPECT_EQ(submissions.back().method, "Post");
  EXPECT_EQ(qobject_cast<QLineEdit*>(Input(Control(2)))->echoMode(), QLineEdit::Password);
}

TEST_F(FormSubmitTest, EnterSubmitsOnlyAFormWithOneVisibleField) {
  Parse(
      "<form action=one><input name=a value=1><input type=hidden name=h value=2></form>"
      "<form action=two><input name=b><input type=checkbox name=c></form>");
  Key(Input(Control(0)), Qt::Key_Return);
  ASSERT_EQ(submissions.size(), 1u);
  EXPECT_EQ(submissions[0].action, "one");
  EXPECT_EQ(submissions[0].results, (Entries{"a=1", "h=2"}));
  Key(Input(Control(2)), Qt::Key_Return);
  EXPECT_EQ(submissions.size(), 1u);
}

TEST_F(FormSubmitTest, ButtonsSubmitWithTheirNameOrReset) {
  Parse(
      "<form><input name=t value=x><input type=submit name=go>"
      "<input type=submit><input type=reset></form>");
  auto* named = qobject_cast<QPushButton*>(Input(Control(1)));
  auto* unnamed = qobject_cast<QPushButton*>(Input(Control(2)));
  auto* reset = qobject_cast<QPushButton*>(Input(Control(3)));
  ASSERT_TRUE(named && unnamed && reset);
  EXPECT_EQ(named->text(), "Submit");
  EXPECT_EQ(reset->text(), "");

  Click(named);
  ASSERT_EQ(submissions.size(), 1u);
  EXPECT_EQ(submissions[0].results, (Entries{"t=x", "go=Submit"}));
  EXPECT_EQ(submissions[0].method, "Get");
  Click(unnamed);
  ASSERT_EQ(submissions.size(), 2u);
  EXPECT_EQ(submissions[1].results, (Entries{"t=x"}));

  Type(Input(Control(0)), "yz");
  Click(reset);
  EXPECT_EQ(submissions.size(), 2u);
  EXPECT_EQ(qobject_cast<QLineEdit*>(Input(Control(0)))->text(), "x");
}

TEST_F(FormSubmitTest, RadioButtonsGroupByNameIgnoringCaseWithinTheirForm) {
  Parse(
      "<form><input type=radio name=a value=1 checked><input type=radio name=A value=2>"
      "<input type=radio name=b value=3 checked></form>"
      "<form><input type=radio name=a value=4 checked></form>");
  auto* first = qobject_cast<QRadioButton*>(Input(Control(0)));
  auto* second = qobject_cast<QRadioButton*>(Input(Control(1)));
  ASSERT_TRUE(first && second);
  Click(second);
  EXPECT_FALSE(first->isChecked());
  EXPECT_TRUE(second->isChecked());
  Click(second);  // a click never unchecks
  EXPECT_TRUE(second->isChecked());
  EXPECT_EQ(Submit(0), (Entries{"A=2", "b=3"}));
  EXPECT_EQ(Submit(1), (Entries{"a=4"}));
}

TEST_F(FormSubmitTest, CheckBoxesSubmitTheirValueOrOnOnlyWhenChecked) {
  Parse(
      "<form><input type=checkbox name=c><input type=checkbox name=d value=yes checked>"
      "</form>");
  EXPECT_EQ(Submit(), (Entries{"d=yes"}));
  Click(Input(Control(0)));
  Click(Input(Control(1)));
  EXPECT_EQ(Submit(), (Entries{"c=On"}));
}

TEST_F(FormSubmitTest, SelectionListsSubmitSelectedOptionsByValueOrText) {
  Parse(
      "<form><select name=one size=1><option>a<option value=B selected>b</select>"
      "<select name=two size=2><option>x<option>  y  <option selected>z</select>"
      "<select name=m multiple><option selected>p<option>q<option value=R selected>r</select>"
      "<select name=none></select></form>");
  EXPECT_NE(qobject_cast<QComboBox*>(Input(Control(0))), nullptr);
  EXPECT_NE(qobject_cast<QListWidget*>(Input(Control(1))), nullptr);
  auto* multi = qobject_cast<QListWidget*>(Input(Control(2)));
  ASSERT_NE(multi, nullptr);
  EXPECT_EQ(multi->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(Control<TListBoxFormControlObj>(1)->Options[1].first, "y");
  EXPECT_EQ(Submit(), (Entries{"one=B", "two=z", "m=p", "m=R"}));

  qobject_cast<QComboBox*>(Input(Control(0)))->setCurrentIndex(0);
  multi->item(1)->setSelected(true);
  multi->item(2)->setSelected(false);
  EXPECT_EQ(Submit(), (Entries{"one=a", "two=z", "m=p", "m=q"}));
}

TEST_F(FormSubmitTest, ListBoxesWithoutSizeShowOneToEightRows) {
  std::string many;
  for (int i = 0; i < 12; ++i) many += "<option>o" + std::to_string(i);
  Parse("<select multiple name=a><option>only</select><select multiple name=b>" + many +
        "</select><select multiple size=3 name=c>" + many + "</select>");
  LayOut();
  // 10-point rows of fixed metrics are 16 pixels high.
  const int one = Control(0)->ControlHeight();
  EXPECT_EQ(Control(1)->ControlHeight() - one, 7 * 16);
  EXPECT_EQ(Control(2)->ControlHeight() - one, 2 * 16);
}

TEST_F(FormSubmitTest, TextAreaLinesAreSeparateEntries) {
  Parse(
      "<form><textarea name=t rows=2>first <b>line</b> &amp;\r\nsecond\r\nthird</textarea>"
      "</form>");
  auto* memo = qobject_cast<QPlainTextEdit*>(Input(Control(0)));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(Submit(), (Entries{"t=first <b>line</b> &amp;", "t=second", "t=third"}));
  memo->moveCursor(QTextCursor::End);
  Type(memo, "\rfourth");
  EXPECT_EQ(Submit().size(), 4u);
  memo->clear();
  EXPECT_EQ(Submit(), (Entries{}));
}

TEST_F(FormSubmitTest, ResetRestoresEveryInitialState) {
  Parse(
      "<form><input name=e value=v><input type=checkbox name=c checked>"
      "<input type=radio name=r value=1 checked><input type=radio name=r value=2>"
      "<select name=s><option>a<option selected>b</select>"
      "<select name=m multiple><option selected>x<option>y</select>"
      "<textarea name=t>one\r\ntwo</textarea></form>");
  const Entries initial = Submit();
  Type(Input(Control(0)), "xx");
  Click(Input(Control(1)));
  Click(Input(Control(3)));
  qobject_cast<QComboBox*>(Input(Control(4)))->setCurrentIndex(0);
  qobject_cast<QListWidget*>(Input(Control(5)))->item(1)->setSelected(true);
  qobject_cast<QPlainTextEdit*>(Input(Control(6)))->setPlainText("changed");
  ASSERT_NE(Submit(), initial);
  Form(0).ResetControls();
  EXPECT_EQ(Submit(), initial);
  EXPECT_EQ(initial, (Entries{"e=v", "c=On", "r=1", "s=b", "m=x", "t=one", "t=two"}));
}

TEST_F(FormSubmitTest, PageKeysInAnEditOrTextAreaGoToTheViewerToo) {
  Parse("<form><input name=a><textarea name=t></textarea></form>");
  Key(Input(Control(0)), Qt::Key_PageDown);
  Key(Input(Control(1)), Qt::Key_Home);
  Key(Input(Control(0)), Qt::Key_A, "a");
  EXPECT_TRUE(viewer_.keys.empty());  // posted: they arrive after the current event
  QApplication::processEvents();
  EXPECT_EQ(viewer_.keys, (std::vector<int>{Qt::Key_PageDown, Qt::Key_Home}));
  EXPECT_EQ(qobject_cast<QLineEdit*>(Input(Control(0)))->text(), "a");
}

TEST_F(FormSubmitTest, ControlsOutsideAFormJoinAFormMadeForThem) {
  Parse(
      "<input name=a value=1><input name=b><form action=x method=put><input name=c>"
      "<form action=y><input name=d></form><input name=e>");
  ASSERT_EQ(doc.Forms.Count(), 4);
  EXPECT_EQ(Form(0).Method, "Get");
  EXPECT_EQ(Form(0).Action, "");
  EXPECT_EQ(Form(0).FormControls.Count(), 2);
  EXPECT_EQ(Form(1).Method, "put");
  EXPECT_EQ(Form(2).Action, "y");  // a nested "FORM" starts a new form
  EXPECT_EQ(Form(3).Action, "");   // after "/FORM" the next control needs a form again
  EXPECT_EQ(Form(3).FormControls[0]->FieldName, "e");
  EXPECT_EQ(Submit(0), (Entries{"a=1", "b="}));
  submissions.clear();
  doc.FormSubmitHandler = nullptr;
  Form(0).SubmitForm(nullptr);
  EXPECT_TRUE(submissions.empty());
}

}  // namespace
}  // namespace kiv
