// The window controls that form fields show: single-line and password edits,
// push buttons, radio buttons (each in a panel of its own), check boxes, list
// boxes, drop-down lists and multi-line edits. Each is a child window of the
// viewer's painting panel. The engine owns them through this narrow
// interface: position and size, visibility, font, text, check state, items
// and their selection, lines, and the key-down and click notifications.
//
// A process without a widget toolkit (the dump tool, benchmarks, fuzzers)
// gets windowless controls that keep the same state without a window, so
// pages with forms build, lay out and submit the same way everywhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font.h"

namespace kiv {

enum class WindowKind : std::uint8_t {
  Edit,      // single-line edit
  Password,  // single-line edit showing every character as "*"
  PushButton,
  RadioButton,  // a borderless panel in the parent's colour holding the radio button
  CheckBox,
  ListBox,
  ComboBox,  // drop-down list, no typing
  Memo,      // multi-line edit with both scroll bars
};

// Key codes of the key-down notification (the window system's virtual keys).
namespace WindowKey {
constexpr int Return = 13;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
}  // namespace WindowKey

// Largest width or height a control window is given.
constexpr int MaxWindowControlSide = 16384;

class WindowControl {
 public:
  // A control of kind in the painting panel parent (a handle made by
  // ControlParentHandle; null for none). It starts hidden.
  static std::unique_ptr<WindowControl> Create(WindowKind kind, void* parent);
  // True when Create makes real windows (a widget application is running).
  static bool MakesWindows();

  WindowControl(const WindowControl&) = delete;
  WindowControl& operator=(const WindowControl&) = delete;
  virtual ~WindowControl();

  WindowKind Kind() const { return kind_; }

  // --- place and size, in the parent's coordinates -------------------------
  virtual void Move(int left, int top) = 0;
  virtual void SetSize(int width, int height) = 0;
  // Sizes the window so that the area inside its border (and its scroll
  // bars) is width x height; a negative value keeps that side as it is.
  virtual void SetClientSize(int width, int height) = 0;
  virtual int Left() const = 0;
  virtual int Top() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  // Redraws the window.
  virtual void Repaint() = 0;

  // --- font -------------------------------------------------------------------
  // Gives the window a font of its own.
  virtual void SetFont(const Font& font) = 0;
  // The font the window shows: its own, or the one it inherits from its parent.
  virtual Font ShownFont() const = 0;

  // --- text (Windows-1252) ------------------------------------------------------
  // Edit contents or button caption; a memo's whole text, lines joined by CR LF.
  virtual void SetText(std::string_view text) = 0;
  virtual std::string Text() const = 0;
  // Longest text an edit takes; 0 or less: no limit of its own.
  virtual void SetMaxLength(int length) = 0;

  // --- check boxes and radio buttons --------------------------------------------
  virtual void SetChecked(bool checked) = 0;
  virtual bool Checked() const = 0;

  // --- list boxes and drop-down lists ---------------------------------------------
  // Multiple and extended selection (list boxes only).
  virtual void SetMultiSelect(bool multi) = 0;
  virtual bool MultiSelect() const = 0;
  virtual void ClearItems() = 0;
  virtual void AddItem(std::string_view text) = 0;
  virtual int ItemCount() const = 0;
  virtual std::string ItemText(int index) const = 0;
  virtual void SetItemSelected(int index, bool selected) = 0;
  virtual bool ItemSelected(int index) const = 0;
  // The current item (-1 none). In a single-selection list it is the
  // selected item; in a multiple-selection list setting it moves the focus
  // mark only.
  virtual void SetItemIndex(int index) = 0;
  virtual int ItemIndex() const = 0;
  // Scrolls the list so that index is its first visible row.
  virtual void SetTopIndex(int index) = 0;
  virtual int TopIndex() const = 0;
  // Height of one row of a list box.
  virtual void SetItemHeight(int height) = 0;

  // --- memos --------------------------------------------------------------------------
  virtual void SetLines(const std::vector<std::string>& lines) = 0;
  // Lines of the text; a last line that is empty is not counted.
  virtual int LineCount() const = 0;
  virtual std::string Line(int index) const = 0;
  // Caret to the start of the text, nothing selected.
  virtual void SetCaretToStart() = 0;

  // --- notifications ----------------------------------------------------------------
  // A key went down in the window (key: WindowKey codes, letters and digits
  // as their upper-case character, other keys 0). The window still gets it.
  std::function<void(int& key)> OnKeyDown;
  // A button or radio button was clicked.
  std::function<void()> OnClick;

 protected:
  explicit WindowControl(WindowKind kind) : kind_(kind) {}

 private:
  WindowKind kind_;
};

// Posts a key-down of key (a WindowKey code) to the viewer that owns the
// painting panel parent, to be handled after the current event.
void PostKeyDownToViewer(void* parent, int key);

// The windowless control (used when no widget application runs; tests use
// it to compare with real windows).
std::unique_ptr<WindowControl> CreateWindowlessControl(WindowKind kind);

}  // namespace kiv
