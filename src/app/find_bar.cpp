#include "app/find_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "platform/code_page.h"
#include "viewer/html_viewer.h"

namespace kiv {

namespace {

constexpr int kFindBarHeight = 27;
const char* const kWrappedToTop = "Reached the end of the page, continued from the top";
const char* const kWrappedToBottom = "Reached the top of the page, continued from the bottom";

// The button's text is a symbol: readers hear its name instead.
QToolButton* BarButton(QWidget* parent, const QString& text, const QString& name,
                       const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setAutoRaise(true);
  b->setText(text);
  b->setAccessibleName(name);
  b->setToolTip(tip);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

TFindBar::TFindBar(THTMLViewer* viewer, QWidget* parent)
    : QWidget(parent),
      viewer_(viewer),
      finder_([viewer](int from, const std::string& text, bool matchCase) {
        return viewer->FindText(from, text, matchCase);
      }) {
  setFixedHeight(kFindBarHeight);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 4, 2);
  layout->setSpacing(4);
  auto* label = label_ = new QLabel("Find:", this);
  edit_ = new QLineEdit(this);
  edit_->setMaxLength(MaxFindTextLength);
  edit_->setFixedWidth(170);
  edit_->setToolTip("Text to find on this page (Enter: next, Shift+Enter: previous)");
  edit_->setAccessibleName("Find");
  label->setBuddy(edit_);
  previous_ =
      BarButton(this, QString(QChar(0x25B2)), "Previous match", "Previous match (Shift+F3)");
  next_ = BarButton(this, QString(QChar(0x25BC)), "Next match", "Next match (F3)");
  // Alt+C toggles it: the box never takes the focus from the text.
  matchCase_ = new QCheckBox("Match &case", this);
  matchCase_->setFocusPolicy(Qt::NoFocus);
  count_ = new QLabel(this);
  message_ = new QLabel(this);
  close_ = BarButton(this, QString(QChar(0x00D7)), "Close", "Close the find bar (Esc)");
  layout->addWidget(label);
  layout->addWidget(edit_);
  layout->addWidget(previous_);
  layout->addWidget(next_);
  layout->addWidget(matchCase_);
  layout->addWidget(count_);
  layout->addWidget(message_, 1);
  layout->addWidget(close_);
  hide();

  edit_->installEventFilter(this);
  connect(edit_, &QLineEdit::textEdited, this, [this] { Refind(); });
  connect(matchCase_, &QCheckBox::toggled, this, [this] { Refind(); });
  connect(previous_, &QToolButton::clicked, this, [this] { FindPrevious(); });
  connect(next_, &QToolButton::clicked, this, [this] { FindNext(); });
  connect(close_, &QToolButton::clicked, this, [this] { Close(); });
}

bool TFindBar::TakeQuery() {
  if (!words_.empty() && edit_->text() != wordsText_) {
    words_.clear();
    label_->setText("Find:");
  }
  if (!words_.empty()) {
    unmatchable_ = false;
    finder_.SetWords(words_, matchCase_->isChecked());
    return true;
  }
  bool lossless = true;
  // The query is looked for in the code page of the page's text.
  const std::string text =
      Utf16ToCodePage(viewer_->TextCodePage(), edit_->text().toStdU16String(), &lossless);
  bool control = false;
  for (const char c : text) control = control || static_cast<unsigned char>(c) < ' ';
  unmatchable_ = !text.empty() && (!lossless || control);
  finder_.SetQuery(unmatchable_ ? std::string() : text, matchCase_->isChecked());
  return !unmatchable_;
}

void TFindBar::Open() {
  const bool wasHidden = isHidden();
  show();
  edit_->setFocus(Qt::ShortcutFocusReason);
  edit_->selectAll();
  if (wasHidden && !edit_->text().isEmpty()) {
    TakeQuery();
    finder_.CountMatches();
  }
  UpdateLabels();
  Changed();
}

void TFindBar::Close() {
  if (isHidden()) return;
  message_->clear();
  hide();
  if (viewer_->isVisible()) viewer_->setFocus();
  Changed();
}

void TFindBar::FindText(const std::string& pageText, int fromIndex) {
  edit_->setText(QString::fromStdU16String(
      CodePageToUtf16(viewer_->TextCodePage(), pageText.substr(0, MaxFindTextLength))));
  show();
  if (TakeQuery())
    ShowStep(finder_.FindFrom(fromIndex));
  else
    ShowStep({});
}

void TFindBar::FindWords(const std::vector<std::string>& pageWords, int ordinal) {
  words_.clear();
  std::string text;
  for (const std::string& w : pageWords) {
    bool control = false;
    for (const char c : w) control = control || static_cast<unsigned char>(c) < ' ';
    if (w.empty() || control || text.size() + w.size() + 1 > MaxFindTextLength) continue;
    words_.push_back(w);
    text += (text.empty() ? "" : " ") + w;
  }
  if (words_.empty()) {
    label_->setText("Find:");
    FindText(text, 0);
    return;
  }
  // The words are the page's bytes: they show in its code page.
  wordsText_ = QString::fromStdU16String(CodePageToUtf16(viewer_->TextCodePage(), text));
  label_->setText("Find any:");
  edit_->setText(wordsText_);
  show();
  TakeQuery();
  ShowStep(finder_.FindOrdinal(ordinal));
}

void TFindBar::Refind() {
  if (isHidden()) show();
  // Typing more keeps the match where it starts; else from the selection.
  int from = finder_.Current().Start;
  if (from < 0) from = viewer_->Document().SelStart;
  if (edit_->text().isEmpty()) {
    // Nothing to find: the page stays as it is, the count goes.
    TakeQuery();
    message_->clear();
    UpdateLabels();
    Changed();
    return;
  }
  if (!TakeQuery()) {
    ShowStep({});
    return;
  }
  ShowStep(finder_.FindFrom(from));
}

void TFindBar::FindNext() {
  Step(true);
}

void TFindBar::FindPrevious() {
  Step(false);
}

void TFindBar::Step(bool forward) {
  if (edit_->text().isEmpty()) {
    Open();
    return;
  }
  if (isHidden()) show();
  if (!TakeQuery()) {
    ShowStep({});
    return;
  }
  ShowStep(forward ? finder_.Next() : finder_.Previous());
}

void TFindBar::DocumentChanged() {
  finder_.Reset();
  message_->clear();
  if (!isHidden() && TakeQuery()) finder_.CountMatches();
  UpdateLabels();
  Changed();
}

void TFindBar::ShowStep(const TFindStep& step) {
  if (step.Start >= 0) {
    viewer_->SelectRange(step.Start, step.Length);
  } else if (viewer_->Document().SelStart != viewer_->Document().SelEnd) {
    viewer_->CollapseSelection();
  }
  switch (step.Wrapped) {
    case TFindWrap::ToTop:
      message_->setText(kWrappedToTop);
      break;
    case TFindWrap::ToBottom:
      message_->setText(kWrappedToBottom);
      break;
    case TFindWrap::None:
      message_->clear();
      break;
  }
  UpdateLabels();
  Changed();
}

QString TFindBar::CountText() const {
  if (edit_->text().isEmpty()) return {};
  if (unmatchable_) return "No matches";
  return QString::fromStdString(finder_.CountText());
}

QString TFindBar::Message() const {
  return message_->text();
}

void TFindBar::UpdateLabels() {
  count_->setText(CountText());
}

void TFindBar::Changed() {
  if (OnChange) OnChange();
}

bool TFindBar::eventFilter(QObject* watched, QEvent* e) {
  if (watched == edit_ && e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (key->modifiers() & Qt::ShiftModifier)
        FindPrevious();
      else
        FindNext();
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

}  // namespace kiv
