// THTMLViewer: the windowed control that owns one HTML document. It loads the
// document (buffer, stream, strings or file), lays it out for its own width,
// scrolls it with a 32-bit vertical bar and an ordinary horizontal bar, paints
// it through an off-screen image on its inner painting panel, tracks the
// pointer over links, selects and copies text, keeps a history of the files
// it showed and prints. The owner hears of it through the On... events.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <istream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "builder/document_builder.h"
#include "layout/section_list.h"
#include "platform/color.h"
#include "reader/free_list.h"
#include "viewer/page_stops.h"
#include "viewer/viewer_event.h"

class QScrollBar;

namespace kiv {

class TAccessibleDocument;
class Canvas;
class TPaintPanel;
class T32ScrollBar;
class TSectionBase;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum THTMLBorderStyle { htFocused, htNone, htSingle };

// CurrentFileType values.
constexpr std::uint8_t HTMLType = 0;
constexpr std::uint8_t TextType = 1;
constexpr std::uint8_t ImgType = 2;

// Initial values of the published properties.
constexpr int DefaultViewerFontSize = 12;
constexpr int MinViewerFontSize = 6;
constexpr int DefaultImageCacheCount = 5;
constexpr int MaxImageCacheCount = 20;
constexpr double DefaultPrintMargin = 2.0;  // centimetres
constexpr int DefaultViewerSize = 150;
// The line step of the vertical bar and of the arrow keys, and of the
// horizontal bar.
constexpr int VScrollSmallChange = 16;
constexpr int HScrollSmallChange = 15;
// An anchor name after "#" is cut to this length.
constexpr std::size_t MaxAnchorLength = 255;
// Pause between two auto-scroll steps of a selection drag, in milliseconds.
constexpr int AutoScrollInterval = 100;

// The private messages the viewer posts to itself, so that their work runs
// after the current event: the deferred form submission, the border redrawn
// after a paint and the selection auto-scroll.
constexpr int WM_USER = 0x400;
constexpr int WmFormSubmit = WM_USER + 100;
constexpr int WmDrawBorder = WM_USER + 101;
constexpr int WmAutoScroll = WM_USER + 102;

// A saved position and the type of the file it belongs to (history entries).
class PositionObj {
 public:
  PositionObj(std::int32_t scrollPos, std::uint8_t docType)
      : ScrollPos(scrollPos), DocType(docType) {}
  std::int32_t ScrollPos = 0;
  std::uint8_t DocType = HTMLType;
};

// Event signatures.
using TNotifyEvent = void(THTMLViewer* Sender);
using THotSpotEvent = void(THTMLViewer* Sender, const std::string& SRC);
using THotSpotClickEvent = void(THTMLViewer* Sender, const std::string& SRC, bool& Handled);
// OnBitmapRequest: Bitmap is null on entry, Color NoTransparentColor (-1);
// a bitmap handed back belongs to the viewer's image cache.
using TBitmapRequestEvent = void(THTMLViewer* Sender, const std::string& SRC,
                                 std::unique_ptr<Bitmap>& Bitmap, TColor& Color);
// Script is the zero-terminated text of the script.
using TScriptEvent = void(THTMLViewer* Sender, const std::string& Language, const char* Script);
using TFormSubmitEvent = void(THTMLViewer* Sender, const std::string& Action,
                              const std::string& Method, const std::vector<std::string>& Results);
using TProcessingEvent = void(THTMLViewer* Sender, bool ProcessingOn);
using TViewerMouseEvent = void(THTMLViewer* Sender, Qt::MouseButton Button,
                               Qt::KeyboardModifiers Shift, int X, int Y);
using TViewerMouseMoveEvent = void(THTMLViewer* Sender, Qt::KeyboardModifiers Shift, int X, int Y);
using TViewerKeyEvent = void(THTMLViewer* Sender, int& Key, Qt::KeyboardModifiers Shift);
using TViewerKeyPressEvent = void(THTMLViewer* Sender, QChar& Key);

class THTMLViewer : public QWidget {
 public:
  explicit THTMLViewer(QWidget* parent = nullptr);
  ~THTMLViewer() override;
  THTMLViewer(const THTMLViewer&) = delete;
  THTMLViewer& operator=(const THTMLViewer&) = delete;

  // --- loading ---------------------------------------------------------------
  // Each load replaces the document; a load that arrives while another one
  // (or a relayout) runs returns at once. Buffer, stream and string loads
  // scroll to the top and empty CurrentFile; they never touch the history.
  void LoadDocumentBuffer(const char* buffer, std::size_t length);
  void LoadDocumentStream(std::istream& stream);
  void LoadDocumentStrings(const std::vector<std::string>& strings, bool asText = false);
  // File loads: name may end in "#" and an anchor. A missing file raises
  // EInOutError "Can't locate file: " + name and keeps the old document.
  // A change of file or type is recorded in the history.
  void LoadHtmlFile(const std::string& name);
  void LoadTextFile(const std::string& name);
  void LoadImageFile(const std::string& name);
  // Sets Base only while it is empty.
  void SetDefaultBase(const std::string& name);
  virtual void ClearDocument();

  // --- layout and scrolling ----------------------------------------------------
  void DoLayout();
  // Lays out again keeping the reading position (fonts, images changed).
  void Relayout();
  void ArrangeScrollBars();
  void ScrollToY(int y);
  // The section at the top of the view in the high 16 bits, the offset into
  // it in the low 16 bits.
  std::int32_t SavePosition() const;
  void RestorePosition(std::int32_t saved);
  // "#Name" or "Name", any case; false (and nothing moves) when unknown.
  bool ScrollToAnchor(const std::string& name);
  // Horizontal scroll position in pixels.
  int HScrollPosition() const;
  void SetHScrollPosition(int x);

  // --- history -------------------------------------------------------------------
  void AddToHistory(const std::string& file, const std::string& title, int type,
                    std::int32_t position);
  void ClearHistory();
  // Newest entry at index 0; entries before HistoryIndex are "forward" ones.
  const std::vector<std::string>& HistoryFiles() const { return historyFiles_; }
  const std::vector<std::string>& HistoryTitles() const { return historyTitles_; }
  const TFreeList<PositionObj>& HistoryPositions() const { return historyPositions_; }
  int HistoryIndex() const { return historyIndex_; }

  // --- state -------------------------------------------------------------------
  void SetProcessing(bool on);
  bool Processing() const { return processing_; }
  bool LayingOut() const { return layingOut_; }
  void DrawBorder();

  const std::string& Title() const { return title_; }
  // The code page of the page's text (its Title and SelectedText too): the
  // one the document's CharSet stands for.
  CodePage TextCodePage() const;
  const std::string& Base() const { return base_; }
  void SetBase(const std::string& base) { base_ = base; }
  const std::string& BaseTarget() const { return baseTarget_; }
  const std::string& CurrentFile() const { return currentFile_; }
  std::uint8_t CurrentFileType() const { return currentFileType_; }
  const std::string& HoverUrl() const { return hoverUrl_; }
  const std::string& HoverTarget() const { return hoverTarget_; }
  int DocHeight() const { return docHeight_; }
  int MaxWidth() const { return maxWidth_; }
  int ScrollBarWidth() const { return scrollBarWidth_; }
  int LastWidth() const { return lastWidth_; }
  int SelAnchor() const { return selAnchor_; }
  int SelCaret() const { return selCaret_; }
  bool AutoScrolling() const { return autoScrolling_; }

  // The document root and the children.
  TSectionList& Document() { return *document_; }
  const TSectionList& Document() const { return *document_; }
  TPaintPanel* PaintPanel() const { return paintPanel_; }
  T32ScrollBar* VScrollBar() const { return vScrollBar_; }
  QScrollBar* HScrollBar() const { return hScrollBar_; }
  QWidget* BorderBox() const { return borderBox_; }

  // --- pointer, hot spots and selection ------------------------------------------
  void SelectAllText();
  void CopySelection();
  void CollapseSelection();
  int SelectedTextLength();
  // The selected text as Copy puts it on the clipboard (line breaks as
  // CR LF, no image or control placeholders).
  std::string SelectedText();

  // --- find in page ------------------------------------------------------------------
  // Characters of all text sections: one past the last character index.
  int TextLength() const;
  // The index of the first match of text at or after fromIndex, searched as
  // the sections search (text sections, table cells and captions, in
  // character order); -1 when none or text is empty.
  int FindText(int fromIndex, const std::string& text, bool matchCase);
  // Selects length characters from start (clamped to the document) and
  // scrolls the view so that the first of them shows.
  void SelectRange(int start, int length);
  // Scrolls the view, when needed, so that the line holding charIndex shows;
  // false when the character has no place in the laid-out document.
  bool ScrollCharIntoView(int charIndex);
  // Raises OnHotSpotClick for HoverUrl; true when the owner handled it.
  virtual bool HotSpotClickHandled();
  // Acts on a click on the link in HoverUrl the owner did not handle.
  virtual void FollowHotSpot();
  // A link or image name as a full file name relative to the document.
  virtual std::string ExpandSourceName(const std::string& name);

  // --- the keyboard focus inside the page ----------------------------------------------
  // The page's links, image-map areas and form controls in document order,
  // collected on first use after each load and layout (none while one runs).
  const TPageStops& Stops();
  // The stop with the focus, -1 when none has it (the page as a whole).
  int FocusedStop() const { return focusedStop_; }
  // Gives stop index the focus (-1: none) and scrolls it into view; a form
  // control takes the toolkit's focus itself, a link is framed.
  void FocusStop(int index);
  // Moves the focus to the next or previous stop; false, with no stop
  // focused, past either end (and backwards from none).
  bool FocusNextStop(bool forward);
  // Follows stop index as a click on it would, through OnHotSpotClick;
  // false when it is not a link or an area.
  bool FollowStop(int index);
  // Grows with every load, clear and layout: whatever was collected about
  // the page before (text offsets, stops, rectangles) is stale.
  unsigned PageGeneration() const { return pageGeneration_; }
  // Grows with every load and clear only: the same links stay in the same
  // order across a layout.
  unsigned DocumentGeneration() const { return documentGeneration_; }
  // The focus rectangle's colour against the page's background (at least
  // 3:1 contrast), and the inner line in the other colour.
  TColor FocusRingColor() const;
  // The page's accessible document, made when an assistive technology first
  // asks for it (the toolkit owns it); null before.
  TAccessibleDocument* AccessibleDocument() const { return accessibleDocument_; }
  void SetAccessibleDocument(TAccessibleDocument* document) { accessibleDocument_ = document; }

  // --- printing --------------------------------------------------------------------
  // Prints pages FromPage to ToPage (from 1) of the document.
  void PrintRange(int FromPage, int ToPage);

  // --- published properties ----------------------------------------------------------
  TColor DefBackground() const { return defBackground_; }
  void SetDefBackground(TColor color);
  TColor DefFontColor() const { return defFontColor_; }
  void SetDefFontColor(TColor color);
  TColor DefHotSpotColor() const { return defHotSpotColor_; }
  void SetDefHotSpotColor(TColor color);
  int DefFontSize() const { return defFontSize_; }
  void SetDefFontSize(int size);
  const std::string& DefFontName() const { return defFontName_; }
  void SetDefFontName(const std::string& name);
  const std::string& DefPreFontName() const { return defPreFontName_; }
  void SetDefPreFontName(const std::string& name);
  std::uint8_t CharSet() const { return charSet_; }
  void SetCharSet(std::uint8_t charSet);
  bool ViewImages() const;
  void SetViewImages(bool on);
  int ImageCacheCount() const { return imageCacheCount_; }
  void SetImageCacheCount(int count);
  bool NoSelect() const { return noSelect_; }
  void SetNoSelect(bool on);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle style);
  THTMLBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(THTMLBorderStyle style);
  int HistoryMaxCount() const { return historyMaxCount_; }
  void SetHistoryMaxCount(int count);
  double PrintMarginLeft() const { return printMarginLeft_; }
  void SetPrintMarginLeft(double cm) { printMarginLeft_ = cm; }
  double PrintMarginRight() const { return printMarginRight_; }
  void SetPrintMarginRight(double cm) { printMarginRight_ = cm; }
  double PrintMarginTop() const { return printMarginTop_; }
  void SetPrintMarginTop(double cm) { printMarginTop_ = cm; }
  double PrintMarginBottom() const { return printMarginBottom_; }
  void SetPrintMarginBottom(double cm) { printMarginBottom_ = cm; }

  // --- events ------------------------------------------------------------------------
  TViewerEvent<THotSpotEvent> OnHotSpotCovered;
  TViewerEvent<THotSpotClickEvent> OnHotSpotClick;
  TViewerEvent<TBitmapRequestEvent> OnBitmapRequest;
  TViewerEvent<TScriptEvent> OnScript;
  TViewerEvent<TFormSubmitEvent> OnFormSubmit;
  TViewerEvent<TNotifyEvent> OnHistoryChange;
  TViewerEvent<TProcessingEvent> OnProcessing;
  TViewerEvent<TViewerMouseEvent> OnMouseDown;
  TViewerEvent<TViewerMouseMoveEvent> OnMouseMove;
  TViewerEvent<TViewerMouseEvent> OnMouseUp;
  TViewerEvent<TViewerKeyEvent> OnKeyDown;
  TViewerEvent<TViewerKeyEvent> OnKeyUp;
  TViewerEvent<TViewerKeyPressEvent> OnKeyPress;
  TViewerEvent<TNotifyEvent> OnEnter;

  // --- the painting panel's callbacks (panel coordinates) ---------------------------
  // Paints the document's part in clip onto canvas, in panel coordinates.
  virtual void PaintDocument(Canvas& canvas, const TRect& clip);
  // Paints the background of rect (panel coordinates): the panel colour, or
  // the tiled background picture when one is shown.
  void PaintBackground(Canvas& canvas, const TRect& rect);
  virtual void HTMLMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  virtual void HTMLMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
  virtual void HTMLMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

 protected:
  bool event(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  // Tab and Shift+Tab walk the page's stops before leaving the page.
  bool focusNextPrevChild(bool next) override;

 private:
  void LoadFile(const std::string& name, std::uint8_t type);
  void PublicFileLoad(const std::string& name, std::uint8_t type);
  // Steps shared by every load: clear the root and give it the defaults.
  void PrepareLoad();
  // declarations: the page's bytes (or its first ones) where its charset is
  // looked for.
  void LoadFromBuilder(const std::function<TParseResult(TAnchorList&)>& build,
                       std::string_view declarations);
  // Makes the code page the page declares the document's CharSet.
  void TakeDeclaredCharSet(std::string_view page);
  void FinishLoad(const TParseResult& result);
  void TakeAnchors(const TAnchorList& anchors);
  int LayoutWidth() const;
  int PanelHeight() const;
  int MaxScrollY() const;
  // Moves the view to y (clamped); a move of exactly one line scrolls the
  // panel's pixels and repaints only the uncovered strip.
  void ScrollVerticallyTo(int y);
  void VScrollChanged(int position);
  void HScrollChanged(int position);
  void ExtendSelection(int x, int y);
  void AutoScrollStep();
  void DeliverFormSubmit();
  void FontsChangedRepaint(bool relayout);
  // The root's submit callback, whichever form it is given in.
  void SubmitFromDocument() {}
  void SubmitFromDocument(THTMLViewer*, const std::string& action, std::vector<std::string> results,
                          const std::string& method) {
    DeferSubmit(action, method, std::move(results));
  }
  // The root's submit callback while OnFormSubmit is assigned: copies the
  // submission and posts it to be raised after the current event.
  void DeferSubmit(const std::string& action, const std::string& method,
                   std::vector<std::string> results);
  void InvalidatePanel();
  // The page's stops and focus are forgotten (a load or clear begins).
  void ForgetStops();
  void ScrollStopIntoView(int index);
  // Draws the focus rectangle of the focused link over the painted page.
  void PaintFocusRing(Canvas& canvas);
  // Page keys (Ctrl+A, Ctrl+C, Enter, Space); true when key was one.
  bool PageKey(QKeyEvent* e);
  // Form controls take the focus by a click or from the page's Tab order,
  // never from the toolkit's own.
  void KeepControlsOutOfTabChain();
  QPoint PanelToViewer(int x, int y) const;
  void StartAutoScroll();
  TColor BorderColor() const;
  friend class TBorderBox;

  std::unique_ptr<TSectionList> document_;
  // Upper-cased anchor names and the sections that hold them (not owned).
  std::map<std::string, TSectionBase*> nameList_;
  std::string title_, base_, baseTarget_, currentFile_;
  std::uint8_t currentFileType_ = HTMLType;
  std::string hoverUrl_, hoverTarget_;
  std::vector<std::string> historyFiles_, historyTitles_;
  TFreeList<PositionObj> historyPositions_;
  int historyIndex_ = 0;
  bool processing_ = false;
  bool layingOut_ = false;
  int docHeight_ = 0;
  int maxWidth_ = 0;
  int scrollBarWidth_ = 16;
  int lastWidth_ = 0;
  int selAnchor_ = -1;
  int selCaret_ = 0;
  bool mouseDownFocused_ = false;
  bool autoScrolling_ = false;
  QPoint lastPointer_;  // viewer client coordinates of the last pointer move
  QTimer autoScrollTimer_;
  QElapsedTimer autoScrollClock_;
  bool autoScrollStepped_ = false;
  struct PendingSubmit {
    std::string Action, Method;
    std::vector<std::string> Results;
  };
  std::vector<PendingSubmit> pendingSubmits_;  // delivered first in, first out
  // The full offset behind the last position SavePosition made, for
  // sections taller than the 16 bits of the saved value.
  mutable std::int32_t lastSaved_ = 0;
  mutable int lastSavedOffset_ = 0;
  int hMaximum_ = 0;  // the horizontal bar's maximum: the widest line + 20
  TColor borderDrawn_ = clNone;

  TColor defBackground_ = clBtnFace;
  TColor defFontColor_ = clBtnText;
  TColor defHotSpotColor_ = clBlue;
  int defFontSize_ = DefaultViewerFontSize;
  std::string defFontName_ = "Times New Roman";
  std::string defPreFontName_ = "Courier New";
  std::uint8_t charSet_ = 1;
  int imageCacheCount_ = DefaultImageCacheCount;
  bool noSelect_ = false;
  TScrollStyle scrollBars_ = ssBoth;
  THTMLBorderStyle borderStyle_ = htFocused;
  int historyMaxCount_ = 0;
  double printMarginLeft_ = DefaultPrintMargin;
  double printMarginRight_ = DefaultPrintMargin;
  double printMarginTop_ = DefaultPrintMargin;
  double printMarginBottom_ = DefaultPrintMargin;

  TPageStops stops_;
  bool stopsBuilt_ = false;
  int focusedStop_ = -1;
  // Where the focused stop is, kept to find it again after a layout (its
  // pointers are only compared, never followed).
  TPageStop focusedPlace_;
  unsigned pageGeneration_ = 0;
  unsigned documentGeneration_ = 0;
  TAccessibleDocument* accessibleDocument_ = nullptr;  // not owned: the toolkit's

  QWidget* borderBox_ = nullptr;  // child widgets, owned by Qt's parent link
  TPaintPanel* paintPanel_ = nullptr;
  T32ScrollBar* vScrollBar_ = nullptr;
  QScrollBar* hScrollBar_ = nullptr;
};

}  // namespace kiv
