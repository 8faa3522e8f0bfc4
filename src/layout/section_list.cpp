#include "layout/section_list.h"

#include <algorithm>

#include "platform/canvas.h"
#include "platform/paths.h"
#include "reader/bitmap_routines.h"
#include "reader/image_file.h"

namespace kiv {

namespace {

// Makes sink the document's ClipText for a scope, also when the walk raises.
class ClipTextScope {
 public:
  ClipTextScope(TSectionList& document, TTextSink* sink) : document_(document) {
    document_.ClipText = sink;
  }
  ~ClipTextScope() { document_.ClipText = nullptr; }
  ClipTextScope(const ClipTextScope&) = delete;
  ClipTextScope& operator=(const ClipTextScope&) = delete;

 private:
  TSectionList& document_;
};

std::string CutFontName(const std::string& name) {
  return name.substr(0, std::min<std::size_t>(name.size(), MaxFontNameLength));
}

}  // namespace

TSectionList::TSectionList(THTMLViewer* viewer, void* paintPanel)
    : TCell(this),
      Viewer(viewer),
      PaintPanel(paintPanel),
      ImageCache(std::make_unique<TStringBitmapList>()) {}

TSectionList::TSectionList(const TSectionList& source)
    : TCell(this),
      ShowImages(source.ShowImages),
      Printing(source.Printing),
      ScrollY(source.ScrollY),
      ControlsNeedPlacing(source.ControlsNeedPlacing),
      SelStart(source.SelStart),
      SelEnd(source.SelEnd),
      FontName(source.FontName),
      PreFontName(source.PreFontName),
      FontColor(source.FontColor),
      LinkColor(source.LinkColor),
      CharSet(source.CharSet),
      Viewer(source.Viewer),
      PaintPanel(source.PaintPanel),
      ImageRequest(source.ImageRequest),
      Background(source.Background),
      ImageFileName(source.ImageFileName),
      CountingSinkFactory(source.CountingSinkFactory),
      ClipboardSinkFactory(source.ClipboardSinkFactory) {
  BaseFontSize = source.BaseFontSize;
  // The sections are cloned once the document state they may consult is set.
  CloneSectionsFrom(source, this);
}

std::unique_ptr<TSectionList> TSectionList::CreateCopy(const TSectionList& source) {
  return std::make_unique<TSectionList>(source);
}

TSectionList::~TSectionList() {
  Clear();
}

void TSectionList::Clear() {
  BackgroundImage = nullptr;
  BackgroundImageName.clear();
  Forms.ClearAndFree();
  SelStart = 0;
  SelEnd = 0;
  ImageMaps.ClearAndFree();
  ClearAndFree();
  // The floats of the last layout point at images just freed.
  Indents->Clear();
}

void TSectionList::SetScrollY(int y) {
  if (y == ScrollY) return;
  ScrollY = y;
  ControlsNeedPlacing = true;
  for (const auto& form : Forms) form->ClearPlacedMarks();
}

void TSectionList::SetDefaults(const std::string& fontName, const std::string& preFontName,
                               int fontSize, TColor fontColor, TColor linkColor,
                               TColor background) {
  FontName = CutFontName(fontName);
  PreFontName = CutFontName(preFontName);
  BaseFontSize = fontSize;
  FontColor = fontColor;
  LinkColor = linkColor;
  SetBackgroundColor(background);
  FontsChanged();
}

void TSectionList::SetBackgroundColor(TColor color) {
  Background = color;
  if (BackgroundChanged) BackgroundChanged(*this);
}

void TSectionList::SetBackgroundImageName(const std::string& name) {
  BackgroundImage = nullptr;
  BackgroundImageName = name;
}

Bitmap* TSectionList::BackgroundImageFetched() {
  if (ShowImages && !BackgroundImageName.empty() && !BackgroundImage) {
    int transparency = NoTransparencyRequested;
    Mask* mask = nullptr;
    BackgroundImage = FetchImage(BackgroundImageName, transparency, mask);
    // Tried once: a name that could not be fetched is not asked for again.
    BackgroundImageName.clear();
  }
  return BackgroundImage;
}

Bitmap* TSectionList::FetchImage(const std::string& name, int& transparency, Mask*& mask) {
  mask = nullptr;
  // A print copy has no cache and never fetches: its images already hold
  // the source document's pictures.
  if (name.empty() || !ImageCache) return nullptr;
  const std::string key = ImageCacheKey(name);
  if (key.empty()) return nullptr;

  int index = 0;
  if (ImageCache->Find(key, index)) {
    Bitmap* bitmap = ImageCache->BitmapAt(index);
    TBitmapItem* item = ImageCache->Objects(index);
    if (item->TransparencyKind == TransparentGivenColor) {
      transparency = TransparencyOwnColor;
    } else if (transparency == TransparencyFromImage && !item->Mask) {
      item->Mask = MakeMask(*bitmap, false, 0);
      if (item->Mask) item->TransparencyKind = TransparentBottomLeft;
    }
    mask = item->Mask.get();
    return bitmap;
  }

  std::unique_ptr<Bitmap> bitmap;
  std::unique_ptr<Mask> newMask;
  // The picture may take what the page's and the cache's pictures leave of
  // the budget: a decoder refuses one beyond it before doing any work.
  PictureAllowanceScope allowance(ImageCache->MakeRoom(PictureBudgetBytes, MaxBitmapPixels));
  if (ImageRequest) {
    TColor color = NoTransparentColor;
    ImageRequest(Viewer, name, bitmap, color);
    if (bitmap) {
      if (color != NoTransparentColor) {
        newMask = MakeMask(*bitmap, true, color);
        transparency = TransparencyOwnColor;
      } else if (transparency == TransparencyFromImage) {
        newMask = MakeMask(*bitmap, false, 0);
      }
    }
  } else {
    const std::string fileName = ImageFileName ? ImageFileName(name) : NativePath(name);
    bitmap = LoadImageWithMask(fileName, transparency, newMask);
  }
  if (!bitmap) return nullptr;

  Mask* maskMade = newMask.get();
  const int kind = newMask ? transparency : NotTransparent;
  Bitmap* result = bitmap.get();
  try {
    auto item = std::make_unique<TBitmapItem>(std::move(bitmap), std::move(newMask), kind);
    if (ImageCache->AddObject(key, std::move(item)) < 0) return nullptr;
  } catch (const std::bad_alloc&) {
    // The picture could not be kept, so it is not handed out either (the
    // image shows the broken-image picture); the failure is not reported.
    return nullptr;
  }
  mask = maskMade;
  return result;
}

int TSectionList::WalkSelection(std::unique_ptr<TTextSink> sink) {
  if (!sink) return 0;
  ClipTextScope scope(*this, sink.get());
  CopySelectedText();
  return sink->Terminate();
}

int TSectionList::SelectedTextLength() {
  if (SelStart >= SelEnd || !CountingSinkFactory) return 0;
  return WalkSelection(CountingSinkFactory());
}

void TSectionList::CopySelectionToClipboard() {
  if (SelStart >= SelEnd) return;
  WalkSelection(ClipboardSinkFactory ? ClipboardSinkFactory() : NewClipboardSink(TextCodePage()));
}

int TSectionList::TopOfSection(int index) const {
  int top = 0;
  const int last = std::min(index, Count() - 1);
  for (int i = 0; i < last; ++i) top += Items(i)->Height;
  return top;
}

TSectionBase* TSectionList::LineTopAt(int y, int& top, int& index) const {
  TSectionBase* section = SectionAtY(y, top, index);
  if (!section) return nullptr;
  const int lines = section->LineCount();
  for (int i = 0; i < lines; ++i) {
    const int lineHeight = section->LineDrawHeight(i);
    if (top + lineHeight > y) break;
    top += lineHeight;
  }
  return section;
}

TColor TSectionList::EtchedHighlightColor() const {
  const bool whitePage = (Background & 0xFFFFFF) == 0xFFFFFF;
  const bool backgroundShown = ShowImages && BackgroundImage;
  return Printing || (whitePage && !backgroundShown) ? clSilver : clBtnHighlight;
}

void TSectionList::DrawEtchedRect(Canvas& canvas, int left, int top, int right, int bottom,
                                  bool raised) const {
  const TColor dark = clBtnShadow;
  const TColor light = EtchedHighlightColor();
  canvas.SetPen(raised ? light : dark);
  canvas.MoveTo(left, bottom);
  canvas.LineTo(left, top);
  canvas.LineTo(right, top);
  canvas.SetPen(raised ? dark : light);
  canvas.LineTo(right, bottom);
  canvas.LineTo(left, bottom);
}

int TSectionList::Layout(Canvas& canvas, int y, int width, int& maxWidth, int& charIndex) {
  for (const auto& form : Forms) form->PrepareControls(canvas);
  return TCell::Layout(canvas, y, width, maxWidth, charIndex);
}

int TSectionList::Paint(Canvas& canvas, const TRect& clipRect, int clipWidth, int x, int y) {
  PageBottom = clipRect.Bottom;
  // Canvases here are true colour: there is no device palette to select for
  // the pictures, so the cell paints directly.
  const int result = TCell::Paint(canvas, clipRect, clipWidth, x, y);
  if (ControlsNeedPlacing) {
    for (const auto& form : Forms) form->HideUnplacedControls();
    ControlsNeedPlacing = false;
  }
  return result;
}

}  // namespace kiv
