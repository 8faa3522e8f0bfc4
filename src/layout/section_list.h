// TSectionList: the document root. It is the cell the viewer owns, holding
// the document-wide state (default fonts and colours, background, selection,
// scroll offset, forms, image maps, the image cache) and driving the layout
// and paint passes of the whole document.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "layout/cell.h"
#include "layout/html_form_base.h"
#include "platform/bitmap.h"
#include "platform/code_page.h"
#include "platform/color.h"
#include "platform/font.h"
#include "reader/free_list.h"
#include "reader/image_cache.h"
#include "reader/map_item.h"
#include "reader/text_sink.h"

namespace kiv {

class THTMLViewer;

// Longest default font name kept.
constexpr int MaxFontNameLength = 33;

// Image fetch transparency codes (in and out of FetchImage).
constexpr int NoTransparencyRequested = 0;
constexpr int TransparencyFromImage = 1;  // "TRANSP": mask from the image itself
constexpr int TransparencyOwnColor = 2;   // the image carries its transparent colour

// No transparent colour returned by an image request.
constexpr TColor NoTransparentColor = static_cast<TColor>(-1);

// The viewer's OnBitmapRequest: the host may supply the bitmap for a name
// (the cache then owns it) and a transparent colour (NoTransparentColor for
// none).
using TGetBitmapEvent = std::function<void(THTMLViewer* sender, const std::string& name,
                                           std::unique_ptr<Bitmap>& bitmap, TColor& transparent)>;

class TSectionList : public TCell {
 public:
  explicit TSectionList(THTMLViewer* viewer = nullptr, void* paintPanel = nullptr);
  // The copy made for printing: clones the sections and the display state;
  // no image cache or background image of its own, empty forms and maps.
  explicit TSectionList(const TSectionList& source);
  ~TSectionList() override;
  static std::unique_ptr<TSectionList> CreateCopy(const TSectionList& source);

  // Forgets the page (sections, forms, maps, background image, selection);
  // the image cache is kept.
  void Clear();
  void SetScrollY(int y);
  void SetDefaults(const std::string& fontName, const std::string& preFontName, int fontSize,
                   TColor fontColor, TColor linkColor, TColor background);
  void SetBackgroundColor(TColor color);
  void SetBackgroundImageName(const std::string& name);
  // The background picture, fetched once per page when images are shown.
  Bitmap* BackgroundImageFetched();
  // The picture for an image name (cache, then ImageRequest, then a file);
  // null when it cannot be had. transparency: in 0 or 1 (mask wanted), out 2
  // when the image carries its own colour. Bitmap and mask belong to the cache.
  Bitmap* FetchImage(const std::string& name, int& transparency, Mask*& mask);
  int SelectedTextLength();
  void CopySelectionToClipboard();
  // Sum of the heights of the sections before index (at most Count - 1 of them).
  int TopOfSection(int index) const;
  // The section at y; top becomes the top of its text line holding y.
  TSectionBase* LineTopAt(int y, int& top, int& index) const;
  void DrawEtchedRect(Canvas& canvas, int left, int top, int right, int bottom, bool raised) const;
  // The light colour of etched frames and rules.
  TColor EtchedHighlightColor() const;

  int Layout(Canvas& canvas, int y, int width, int& maxWidth, int& charIndex) override;
  int Paint(Canvas& canvas, const TRect& clipRect, int clipWidth, int x, int y) override;

  bool ShowImages = true;
  bool Printing = false;
  int ScrollY = 0;
  bool ControlsNeedPlacing = false;
  int SelStart = 0;
  int SelEnd = 0;
  std::string FontName = "Times New Roman";
  std::string PreFontName = "Courier New";
  TColor FontColor = clBtnText;
  TColor LinkColor = clBlue;
  std::uint8_t CharSet = DEFAULT_CHARSET;
  THTMLViewer* Viewer;  // not owned
  void* PaintPanel;     // not owned: the viewer's painting panel
  TGetBitmapEvent ImageRequest;
  TColor Background = clBtnFace;
  std::unique_ptr<TStringBitmapList> ImageCache;  // null in a print copy
  std::function<void(TSectionList& document)> BackgroundChanged;
  Bitmap* BackgroundImage = nullptr;  // not owned: the cache holds it
  std::string BackgroundImageName;    // empty: none
  TFreeList<ThtmlFormBase> Forms;
  // A form's submission: the viewer, the form's action, its name=value
  // entries in document order and its method. Installed by the viewer while
  // it has a submit event; unset, forms submit nothing.
  std::function<void(THTMLViewer* viewer, const std::string& action,
                     std::vector<std::string> results, const std::string& method)>
      FormSubmitHandler;
  // The viewer's OnScript: receives the document, the script's LANGUAGE and
  // its text (lines ended by CR LF). Unset, scripts are skipped.
  std::function<void(TSectionList& document, const std::string& language,
                     const std::string& script)>
      ScriptHandler;
  TTextSink* ClipText = nullptr;  // not owned; set only while selected text is walked
  int PageBottom = 0;
  TFreeList<TMapItem> ImageMaps;

  // Turns an image name into a file name when there is no ImageRequest (the
  // viewer resolves it against the current document; NativePath otherwise).
  std::function<std::string(const std::string& name)> ImageFileName;
  // The collectors used by SelectedTextLength and CopySelectionToClipboard.
  TextSinkFactory CountingSinkFactory = NewCountingSink;
  // Unset, copying puts the text on the clipboard from the document's code page.
  TextSinkFactory ClipboardSinkFactory;
  // The code page of the page's text: the one its CharSet stands for.
  CodePage TextCodePage() const { return CodePageOfCharset(CharSet); }

 private:
  // Runs the selection walk with sink as ClipText; returns its Terminate.
  int WalkSelection(std::unique_ptr<TTextSink> sink);
};

}  // namespace kiv
