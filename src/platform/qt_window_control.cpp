// Form control windows over the toolkit's widgets.
#include "platform/qt_window_control.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

#include "platform/cp1252.h"
#include "platform/font_device.h"
#include "platform/font_face.h"

namespace kiv {

namespace {

QString ToQString(std::string_view text) {
  return QString::fromStdU16String(Cp1252ToUtf16(text));
}

std::string FromQString(const QString& text) {
  return Utf16ToCp1252(text.toStdU16String());
}

int ClampSide(int side) {
  return std::clamp(side, 0, MaxWindowControlSide);
}

int WindowKeyOf(const QKeyEvent& e) {
  const int key = e.key();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return WindowKey::Return;
    case Qt::Key_PageUp:
      return WindowKey::PageUp;
    case Qt::Key_PageDown:
      return WindowKey::PageDown;
    case Qt::Key_End:
      return WindowKey::End;
    case Qt::Key_Home:
      return WindowKey::Home;
    default:
      break;
  }
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) return key;
  return 0;
}

Qt::Key QtKeyOf(int windowKey) {
  switch (windowKey) {
    case WindowKey::Return:
      return Qt::Key_Return;
    case WindowKey::PageUp:
      return Qt::Key_PageUp;
    case WindowKey::PageDown:
      return Qt::Key_PageDown;
    case WindowKey::End:
      return Qt::Key_End;
    case WindowKey::Home:
      return Qt::Key_Home;
    default:
      return Qt::Key_unknown;
  }
}

// A radio button that a click checks but never unchecks: only the form's
// grouping clears it.
class FormRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override { setChecked(true); }
};

// List rows of one fixed height.
class RowHeightDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  int rowHeight = 0;  // 0: the style's own

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (rowHeight > 0) size.setHeight(rowHeight);
    return size;
  }
};

class QtWindowControl;

// Passes the key-down events of a control's input widget to OnKeyDown,
// letting the widget handle them as well.
class KeyWatcher : public QObject {
 public:
  explicit KeyWatcher(QtWindowControl* owner) : owner_(owner) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtWindowControl* owner_;
};

class QtWindowControl final : public WindowControl {
 public:
  QtWindowControl(WindowKind kind, QWidget* parent) : WindowControl(kind), watcher_(this) {
    switch (kind) {
      case WindowKind::Edit:
      case WindowKind::Password: {
        auto* edit = new QLineEdit(parent);
        if (kind == WindowKind::Password) {
          edit->setEchoMode(QLineEdit::Password);
          edit->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
        }
        edit_ = edit;
        widget_ = edit;
        break;
      }
      case WindowKind::PushButton: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, [this] { Clicked(); });
        widget_ = button;
        break;
      }
      case WindowKind::RadioButton: {
        auto* panel = new QWidget(parent);
        panel->setAutoFillBackground(false);
        auto* radio = new FormRadioButton(panel);
        radio->setAutoExclusive(false);
        radio->move(0, 0);
        QObject::connect(radio, &QRadioButton::clicked, [this] { Clicked(); });
        button_ = radio;
        input_ = radio;
        widget_ = panel;
        break;
      }
      case WindowKind::CheckBox: {
        auto* box = new QCheckBox(parent);
        button_ = box;
        widget_ = box;
        break;
      }
      case WindowKind::ListBox: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        list->setUniformItemSizes(true);
        delegate_ = new RowHeightDelegate(list);
        list->setItemDelegate(delegate_);
        list_ = list;
        widget_ = list;
        break;
      }
      case WindowKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        combo_ = combo;
        widget_ = combo;
        break;
      }
      case WindowKind::Memo: {
        auto* memo = new QPlainTextEdit(parent);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo_ = memo;
        widget_ = memo;
        break;
      }
    }
    if (!input_) input_ = widget_;
    input_->installEventFilter(&watcher_);
    widget_->hide();
  }

  ~QtWindowControl() override {
    // The panel may have gone first and taken its children with it.
    if (input_) input_->removeEventFilter(&watcher_);
    delete widget_.data();
  }

  QWidget* Widget() const { return widget_; }
  QWidget* Input() const { return input_; }

  void KeyDown(int& key) {
    if (OnKeyDown) OnKeyDown(key);
  }
  void Clicked() {
    if (OnClick) OnClick();
  }

  // --- place and size ------------------------------------------------------------
  void Move(int left, int top) override {
    if (widget_ && widget_->pos() != QPoint(left, top)) widget_->move(left, top);
  }
  void SetSize(int width, int height) override {
    if (!widget_) return;
    widget_->resize(ClampSide(width), ClampSide(height));
    if (button_ && Kind() == WindowKind::RadioButton) button_->resize(widget_->size());
  }
  void SetClientSize(int width, int height) override {
    if (!widget_) return;
    int extraW = 0, extraH = 0;
    if (auto* frame = qobject_cast<QFrame*>(widget_.data()))
      extraW = extraH = 2 * frame->frameWidth();
    if (memo_) {
      const int bar = widget_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget_);
      extraW += bar;
      extraH += bar;
    }
    if (combo_) extraW = 4;
    const int w = width >= 0 ? width + extraW : widget_->width();
    const int h = height >= 0 ? height + extraH : widget_->height();
    widget_->resize(ClampSide(w), ClampSide(h));
  }
  int Left() const override { return widget_ ? widget_->x() : 0; }
  int Top() const override { return widget_ ? widget_->y() : 0; }
  int Width() const override { return widget_ ? widget_->width() : 0; }
  int Height() const override { return widget_ ? widget_->height() : 0; }
  void SetVisible(bool visible) override {
    if (!widget_ || widget_->isHidden() != visible) return;
    widget_->setVisible(visible);
  }
  bool Visible() const override { return widget_ && !widget_->isHidden(); }
  void Repaint() override {
    if (widget_) widget_->update();
    if (button_ && button_ != widget_) button_->update();
  }

  // --- font -------------------------------------------------------------------------
  void SetFont(const Font& font) override {
    if (!widget_) return;
    widget_->setFont(font.Face().GetDevice().font);
  }
  Font ShownFont() const override {
    Font result;
    if (!widget_) return result;
    const QFont& f = widget_->font();
    result.SetName(f.family().toStdString());
    int points = f.pointSize();
    if (points <= 0) points = static_cast<int>(std::lround(f.pixelSize() * 72.0 / 96.0));
    result.SetSize(std::max(1, points));
    return result;
  }

  // --- text ---------------------------------------------------------------------------
  void SetText(std::string_view text) override {
    if (edit_) {
      edit_->setText(ToQString(text));
    } else if (memo_) {
      memo_->setPlainText(ToQString(text));
    } else if (auto* button = qobject_cast<QPushButton*>(widget_.data())) {
      // A caption shows "&" as written.
      QString caption = ToQString(text);
      caption.replace("&", "&&");
      button->setText(caption);
    }
  }
  std::string Text() const override {
    if (edit_) return FromQString(edit_->text());
    if (memo_) {
      QString text = memo_->toPlainText();
      text.replace("\n", "\r\n");
      return FromQString(text);
    }
    if (auto* button = qobject_cast<QPushButton*>(widget_.data())) {
      QString caption = button->text();
      caption.replace("&&", "&");
      return FromQString(caption);
    }
    return {};
  }
  void SetMaxLength(int length) override {
    if (!edit_) return;
    // The toolkit's own limit stands for "no limit".
    constexpr int Unlimited = 32767;
    edit_->setMaxLength(length > 0 && length < Unlimited ? length : Unlimited);
  }

  // --- check boxes and radio buttons -----------------------------------------------------
  void SetChecked(bool checked) override {
    if (button_) button_->setChecked(checked);
  }
  bool Checked() const override { return button_ && button_->isChecked(); }

  // --- lists -------------------------------------------------------------------------------
  void SetMultiSelect(bool multi) override {
    if (list_)
      list_->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                                    : QAbstractItemView::SingleSelection);
  }
  bool MultiSelect() const override {
    return list_ && list_->selectionMode() == QAbstractItemView::ExtendedSelection;
  }
  void ClearItems() override {
    if (list_) list_->clear();
    if (combo_) combo_->clear();
  }
  void AddItem(std::string_view text) override {
    if (list_) list_->addItem(ToQString(text));
    if (combo_) combo_->addItem(ToQString(text));
  }
  int ItemCount() const override {
    if (list_) return list_->count();
    if (combo_) return combo_->count();
    return 0;
  }
  std::string ItemText(int index) const override {
    if (index < 0 || index >= ItemCount()) return {};
    if (list_) return FromQString(list_->item(index)->text());
    return FromQString(combo_->itemText(index));
  }
  void SetItemSelected(int index, bool selected) override {
    if (index < 0 || index >= ItemCount()) return;
    if (combo_) {
      if (selected)
        combo_->setCurrentIndex(index);
      else if (combo_->currentIndex() == index)
        combo_->setCurrentIndex(-1);
      return;
    }
    if (MultiSelect()) {
      list_->item(index)->setSelected(selected);
    } else if (selected) {
      list_->setCurrentRow(index);
    } else {
      list_->item(index)->setSelected(false);
    }
  }
  bool ItemSelected(int index) const override {
    if (index < 0 || index >= ItemCount()) return false;
    if (combo_) return combo_->currentIndex() == index;
    return list_->item(index)->isSelected();
  }
  void SetItemIndex(int index) override {
    if (index < 0 || index >= ItemCount()) index = -1;
    if (combo_) {
      combo_->setCurrentIndex(index);
    } else if (list_) {
      if (MultiSelect())
        list_->setCurrentRow(index, QItemSelectionModel::NoUpdate);
      else
        list_->setCurrentRow(index);
    }
  }
  int ItemIndex() const override {
    if (combo_) return combo_->currentIndex();
    if (!list_) return -1;
    if (MultiSelect()) return list_->currentRow();
    // The selected item is the current one unless the selection was cleared.
    const QListWidgetItem* current = list_->currentItem();
    if (current && current->isSelected()) return list_->currentRow();
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
  }
  void SetTopIndex(int index) override {
    if (!list_ || index < 0 || index >= list_->count()) return;
    list_->scrollToItem(list_->item(index), QAbstractItemView::PositionAtTop);
  }
  int TopIndex() const override { return list_ ? list_->verticalScrollBar()->value() : 0; }
  void SetItemHeight(int height) override {
    if (!delegate_ || delegate_->rowHeight == height) return;
    delegate_->rowHeight = height;
    list_->doItemsLayout();
  }

  // --- memos ----------------------------------------------------------------------------------
  void SetLines(const std::vector<std::string>& lines) override {
    if (!memo_) return;
    std::string all;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i) all += '\n';
      all += lines[i];
    }
    memo_->setPlainText(ToQString(all));
  }
  int LineCount() const override {
    if (!memo_) return 0;
    const QTextDocument* doc = memo_->document();
    int count = doc->blockCount();
    if (count > 0 && doc->lastBlock().text().isEmpty()) --count;
    return count;
  }
  std::string Line(int index) const override {
    if (!memo_ || index < 0) return {};
    const QTextBlock block = memo_->document()->findBlockByNumber(index);
    return block.isValid() ? FromQString(block.text()) : std::string();
  }
  void SetCaretToStart() override {
    if (!memo_) return;
    QTextCursor cursor = memo_->textCursor();
    cursor.movePosition(QTextCursor::Start);
    memo_->setTextCursor(cursor);
    memo_->horizontalScrollBar()->setValue(0);
    memo_->verticalScrollBar()->setValue(0);
  }

 private:
  KeyWatcher watcher_;
  QPointer<QWidget> widget_;
  QPointer<QWidget> input_;
  QLineEdit* edit_ = nullptr;
  QAbstractButton* button_ = nullptr;
  QListWidget* list_ = nullptr;
  RowHeightDelegate* delegate_ = nullptr;
  QComboBox* combo_ = nullptr;
  QPlainTextEdit* memo_ = nullptr;
};

bool KeyWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  int key = WindowKeyOf(*static_cast<QKeyEvent*>(event));
  owner_->KeyDown(key);
  // The control handles its keys itself; what it leaves does not travel on
  // to the painting panel and the viewer beneath it (the page keys reach
  // the viewer once, through the form).
  watched->event(event);
  event->accept();
  return true;
}

}  // namespace

bool WindowControl::MakesWindows() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

std::unique_ptr<WindowControl> WindowControl::Create(WindowKind kind, void* parent) {
  std::unique_ptr<WindowControl> control;
  if (MakesWindows())
    control = std::make_unique<QtWindowControl>(kind, ControlParentWidget(parent));
  else
    control = CreateWindowlessControl(kind);
  // Out of sight until a paint places it.
  control->Move(0, -400);
  return control;
}

QWidget* WidgetOf(const WindowControl& control) {
  const auto* qt = dynamic_cast<const QtWindowControl*>(&control);
  return qt ? qt->Widget() : nullptr;
}

QWidget* InputWidgetOf(const WindowControl& control) {
  const auto* qt = dynamic_cast<const QtWindowControl*>(&control);
  return qt ? qt->Input() : nullptr;
}

void PostKeyDownToViewer(void* parent, int key) {
  QWidget* panel = ControlParentWidget(parent);
  const Qt::Key qtKey = QtKeyOf(key);
  if (!panel || qtKey == Qt::Key_unknown) return;
  QWidget* viewer = panel->parentWidget() ? panel->parentWidget() : panel;
  QCoreApplication::postEvent(viewer, new QKeyEvent(QEvent::KeyPress, qtKey, Qt::NoModifier));
}

}  // namespace kiv
