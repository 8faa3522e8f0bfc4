#include "platform/window_control.h"

#include <algorithm>

namespace kiv {

namespace {

// Border of an edit, list or memo window on each side, and the breadth of a
// scroll bar, as the window system draws them.
constexpr int WindowlessBorder = 2;
constexpr int WindowlessScrollBar = 17;

int ClampSide(int side) {
  return std::clamp(side, 0, MaxWindowControlSide);
}

bool HasBorder(WindowKind kind) {
  switch (kind) {
    case WindowKind::Edit:
    case WindowKind::Password:
    case WindowKind::ListBox:
    case WindowKind::ComboBox:
    case WindowKind::Memo:
      return true;
    default:
      return false;
  }
}

// A control that keeps its state without a window.
class WindowlessControl final : public WindowControl {
 public:
  explicit WindowlessControl(WindowKind kind) : WindowControl(kind) {}

  void Move(int left, int top) override {
    left_ = left;
    top_ = top;
  }
  void SetSize(int width, int height) override {
    width_ = ClampSide(width);
    height_ = ClampSide(height);
  }
  void SetClientSize(int width, int height) override {
    int extra = HasBorder(Kind()) ? 2 * WindowlessBorder : 0;
    if (Kind() == WindowKind::Memo) extra += WindowlessScrollBar;
    if (width >= 0) width_ = ClampSide(width + extra);
    if (height >= 0) height_ = ClampSide(height + extra);
  }
  int Left() const override { return left_; }
  int Top() const override { return top_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void Repaint() override {}

  void SetFont(const Font& font) override {
    font_ = font;
    ownFont_ = true;
  }
  Font ShownFont() const override {
    if (ownFont_) return font_;
    // The painting panel's font, which buttons and boxes inherit.
    Font panel;
    panel.SetName("MS Sans Serif");
    panel.SetSize(8);
    return panel;
  }

  void SetText(std::string_view text) override {
    if (Kind() == WindowKind::Memo) {
      lines_.clear();
      std::size_t start = 0;
      while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.emplace_back(line);
        start = end + 1;
      }
      return;
    }
    text_ = std::string(text.substr(0, Limit()));
  }
  std::string Text() const override {
    if (Kind() != WindowKind::Memo) return text_;
    std::string all;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (i) all += "\r\n";
      all += lines_[i];
    }
    return all;
  }
  void SetMaxLength(int length) override {
    maxLength_ = length;
    text_.resize(std::min(text_.size(), Limit()));
  }

  void SetChecked(bool checked) override { checked_ = checked; }
  bool Checked() const override { return checked_; }

  void SetMultiSelect(bool multi) override { multi_ = multi && Kind() == WindowKind::ListBox; }
  bool MultiSelect() const override { return multi_; }
  void ClearItems() override {
    items_.clear();
    selected_.clear();
    itemIndex_ = -1;
    topIndex_ = 0;
  }
  void AddItem(std::string_view text) override {
    items_.emplace_back(text);
    selected_.push_back(false);
  }
  int ItemCount() const override { return static_cast<int>(items_.size()); }
  std::string ItemText(int index) const override {
    return ValidItem(index) ? items_[static_cast<std::size_t>(index)] : std::string();
  }
  void SetItemSelected(int index, bool selected) override {
    if (!ValidItem(index)) return;
    if (multi_) {
      selected_[static_cast<std::size_t>(index)] = selected;
    } else if (selected) {
      itemIndex_ = index;
    } else if (itemIndex_ == index) {
      itemIndex_ = -1;
    }
  }
  bool ItemSelected(int index) const override {
    if (!ValidItem(index)) return false;
    return multi_ ? selected_[static_cast<std::size_t>(index)] : itemIndex_ == index;
  }
  void SetItemIndex(int index) override { itemIndex_ = ValidItem(index) ? index : -1; }
  int ItemIndex() const override { return itemIndex_; }
  void SetTopIndex(int index) override {
    if (ValidItem(index)) topIndex_ = index;
  }
  int TopIndex() const override { return topIndex_; }
  void SetItemHeight(int height) override { itemHeight_ = height; }

  void SetLines(const std::vector<std::string>& lines) override { lines_ = lines; }
  int LineCount() const override {
    int count = static_cast<int>(lines_.size());
    if (count > 0 && lines_.back().empty()) --count;
    return count;
  }
  std::string Line(int index) const override {
    if (index < 0 || index >= static_cast<int>(lines_.size())) return {};
    return lines_[static_cast<std::size_t>(index)];
  }
  void SetCaretToStart() override {}

 private:
  bool ValidItem(int index) const { return index >= 0 && index < ItemCount(); }
  std::size_t Limit() const {
    return maxLength_ > 0 ? static_cast<std::size_t>(maxLength_) : std::string::npos;
  }

  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = false;
  Font font_;
  bool ownFont_ = false;
  std::string text_;
  int maxLength_ = 0;
  bool checked_ = false;
  bool multi_ = false;
  std::vector<std::string> items_;
  std::vector<bool> selected_;
  int itemIndex_ = -1;
  int topIndex_ = 0;
  int itemHeight_ = 0;
  std::vector<std::string> lines_;
};

}  // namespace

WindowControl::~WindowControl() = default;

std::unique_ptr<WindowControl> CreateWindowlessControl(WindowKind kind) {
  return std::make_unique<WindowlessControl>(kind);
}

}  // namespace kiv
