#include "layout/image_obj.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "layout/fonts.h"
#include "layout/layout_limits.h"
#include "layout/section_list.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/resources.h"
#include "platform/win_types.h"
#include "reader/bitmap_routines.h"
#include "reader/map_item.h"
#include "reader/string_routines.h"

namespace kiv {

namespace {

// Widest room beside a float.
constexpr int MaxHSpace = 20;

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

int ClampSide(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, 0, MaxImageSide));
}

}  // namespace

TImageObj::TImageObj(int pos, const TAttributeList& attributes) : Pos(pos) {
  for (const auto& a : attributes) {
    switch (a->Id) {
      case SrcSy:
        Source = a->Text;
        break;
      case AltSy:
        Alt = a->Text;
        break;
      case AlignSy: {
        std::string v = Upper(a->Text);
        if (v == "TOP")
          Align = AlignTop;
        else if (v == "MIDDLE")
          Align = AlignMiddle;
        else if (v == "LEFT")
          Align = AlignFloatLeft;
        else if (v == "RIGHT")
          Align = AlignFloatRight;
        else
          Align = AlignBottom;
        break;
      }
      case BorderSy:
        NoBorder = a->Value == 0;
        break;
      case WidthSy:
        // Percentages are not supported: the picture's own width is used.
        if (a->Text.find('%') == std::string::npos) SpecWidth = ClampSide(a->Value);
        break;
      case HeightSy:
        SpecHeight = ClampSide(a->Value);
        break;
      case TranspSy:
        Transparency = TransparencyFromImage;
        break;
      case IsMapSy:
        IsMap = true;
        break;
      case UseMapSy: {
        UseMap = true;
        MapName = Upper(TrimWhite(a->Text));
        if (MapName.size() > 1 && MapName[0] == '#') MapName.erase(0, 1);
        break;
      }
      case HSpaceSy:
        HSpace = static_cast<int>(
            std::min<std::int64_t>(MaxHSpace, std::llabs(static_cast<std::int64_t>(a->Value))));
        break;
      default:
        break;
    }
  }
}

std::unique_ptr<TImageObj> TImageObj::CreateClone(const TImageObj& source) {
  std::unique_ptr<TImageObj> c(new TImageObj());
  c->Pos = source.Pos;
  c->ImageHeight = source.ImageHeight;
  c->ImageWidth = source.ImageWidth;
  c->SpecHeight = source.SpecHeight;
  c->SpecWidth = source.SpecWidth;
  c->Align = source.Align;
  c->NoBorder = source.NoBorder;
  c->HSpace = source.HSpace;
  c->Source = source.Source;
  c->Alt = source.Alt;
  c->Bitmap = source.Bitmap;
  c->Mask = source.Mask;
  c->Transparency = source.Transparency;
  c->IsMap = source.IsMap;
  return c;
}

bool TImageObj::ShowsPlaceholder() const {
  return !Owner || !Owner->ShowImages || Bitmap == BrokenImagePicture();
}

void TImageObj::Measure(TSectionList* owner, Canvas& canvas, const TFontObj& run) {
  Owner = owner;
  const bool off = !owner || !owner->ShowImages;
  if (!off && !Bitmap) {
    int transparency = Transparency;
    kiv::Mask* mask = nullptr;
    Bitmap = owner->FetchImage(Source, transparency, mask);
    Transparency = static_cast<std::uint8_t>(transparency);
    Mask = mask;
    if (!Bitmap) {
      Bitmap = BrokenImagePicture();
      Mask = nullptr;
    }
  }
  const kiv::Bitmap* picture = off ? ImagesOffPicture() : Bitmap;
  const int pw = picture ? picture->Width() : 0;
  const int ph = picture ? picture->Height() : 0;
  const bool placeholder = off || picture == BrokenImagePicture();

  if (placeholder || (SpecWidth == 0 && SpecHeight == 0) || pw <= 0 || ph <= 0) {
    ObjWidth = pw;
    ObjHeight = ph;
  } else if (SpecWidth != 0 && SpecHeight != 0) {
    ObjWidth = SpecWidth;
    ObjHeight = SpecHeight;
  } else if (SpecWidth != 0) {
    ObjWidth = SpecWidth;
    ObjHeight = MulDiv(SpecWidth, ph, pw);
  } else {
    ObjHeight = SpecHeight;
    ObjWidth = MulDiv(SpecHeight, pw, ph);
  }
  ObjWidth = ClampSide(ObjWidth);
  ObjHeight = ClampSide(ObjHeight);
  ImageHeight = ObjHeight;
  ImageWidth = ObjWidth;

  Bordered = (run.IsLink() && !NoBorder) || (placeholder && Alt.has_value());
  if (Bordered) {
    ImageWidth += 2;
    ImageHeight += 2;
  }
  if (Alt && placeholder) {
    canvas.SelectFont(*run.Font);
    const TSize ext = canvas.TextExtent(Alt->data(), static_cast<int>(Alt->size()));
    ImageWidth = ClampSide(static_cast<std::int64_t>(ImageWidth) + ext.cx + 4);
    ImageHeight = std::max(ImageHeight, ext.cy);
  }
}

void TImageObj::Draw(Canvas& canvas, int x, const TFontObj& run, int baselineY, int topY) {
  const bool on = Owner && Owner->ShowImages;
  kiv::Bitmap* picture = ImagesOffPicture();
  kiv::Mask* mask = nullptr;
  if (on && Bitmap) {
    picture = Bitmap;
    mask = Mask;
  }
  const int scrollY = Owner ? Owner->ScrollY : 0;
  const bool printing = (Owner && Owner->Printing) || canvas.IsPrinter();
  canvas.SetBrush(canvas.BrushColor(), BrushStyle::Clear);
  canvas.SetTextColor(clBlack);
  baselineY -= scrollY;
  topY -= scrollY;

  int top;
  switch (Align) {
    case AlignMiddle:
      top = baselineY + run.Descent - run.TextHeight / 2 - ImageHeight / 2;
      break;
    case AlignBottom:
      top = baselineY - ImageHeight;
      break;
    default:
      top = topY;
      break;
  }

  if (picture) {
    const int inset = Bordered ? 1 : 0;
    const int bx = x + inset;
    const int by = top + inset;
    PaintX = bx;
    PaintDocY = by + scrollY;
    const TRect dest{bx, by, bx + ObjWidth, by + ObjHeight};
    try {
      if (printing) {
        canvas.StretchBitmap(dest, *picture, RasterOp::Copy);
        // Transparent parts come out white on paper.
        if (Transparency != 0 && mask) canvas.StretchMask(dest, *mask, RasterOp::Or);
      } else if (Transparency != 0 && mask) {
        DrawTransparent(canvas, *picture, *mask, bx, by, ObjWidth, ObjHeight);
      } else {
        canvas.StretchBitmap(dest, *picture, RasterOp::Copy);
      }
    } catch (...) {
      // A picture that cannot be drawn leaves its place empty; the line goes on.
    }
  }

  const bool placeholderPicture = !on || picture == BrokenImagePicture();
  const TColor color = run.Font->Color();
  if (!Alt || !placeholderPicture) {
    if (!run.IsLink() || !Bordered) return;
    canvas.SetPen(color);
    canvas.SetTextColor(color);
    canvas.Rectangle(x, top, x + ImageWidth, top + ImageHeight);
    return;
  }

  canvas.SetPen(color);
  canvas.SetTextColor(color);
  const int k = ImageHeight / 2 + run.Descent - run.TextHeight / 2;
  const int pictureWidth = picture ? picture->Width() : 0;
  const TextAlign align = canvas.GetTextAlign();
  const BkMode mode = canvas.GetBkMode();
  canvas.SelectFont(*run.Font);
  canvas.SetTextColor(color);
  canvas.SetTextAlign(TA_BASELINE);
  canvas.SetBkMode(BkMode::Transparent);
  canvas.TextOut(x + pictureWidth + 2, top + ImageHeight - k, Alt->data(),
                 static_cast<int>(Alt->size()));
  canvas.SetTextAlign(align);
  canvas.SetBkMode(mode);
  if (Align == AlignBottom)
    canvas.Rectangle(x, baselineY - ImageHeight + 1, x + ImageWidth, baselineY + 1);
  else
    canvas.Rectangle(x, top, x + ImageWidth, top + ImageHeight);
}

// --- TImageList ----------------------------------------------------------------

std::unique_ptr<TImageList> TImageList::CreateClone(const TImageList& source) {
  auto list = std::make_unique<TImageList>();
  for (const auto& image : source) list->Add(TImageObj::CreateClone(*image));
  return list;
}

TImageObj* TImageList::ImageAt(int offset) const {
  for (const auto& image : *this) {
    if (image->Pos == offset) return image.get();
    if (image->Pos > offset) break;
  }
  return nullptr;
}

int TImageList::HeightAt(int offset, int& align) const {
  const TImageObj* image = ImageAt(offset);
  if (!image) return -1;
  align = image->Align;
  return image->ImageHeight;
}

int TImageList::WidthAt(int offset, int& align) const {
  const TImageObj* image = ImageAt(offset);
  if (!image) return -1;
  align = image->Align;
  return image->ImageWidth;
}

int TImageList::DistanceToNext(int offset) const {
  for (const auto& image : *this)
    if (image->Pos >= offset) return image->Pos - offset;
  return NoNextObject;
}

bool TImageList::HitTest(int x, int y, int& inX, int& inY, int& pos, bool& isMap, bool& mapFound,
                         const TMapItem*& mapItem) const {
  for (const auto& image : *this) {
    inX = x - image->PaintX;
    inY = y - image->PaintDocY;
    const int inset = image->Bordered ? 2 : 0;
    if (inX >= 0 && inX < image->ImageWidth - inset && inY >= 0 &&
        inY < image->ImageHeight - inset) {
      pos = image->Pos;
      isMap = image->IsMap;
      mapFound = false;
      if (image->UseMap && image->Owner) {
        for (const auto& map : image->Owner->ImageMaps) {
          if (map->Name == image->MapName) {
            mapItem = map.get();
            mapFound = true;
            break;
          }
        }
      }
      return true;
    }
  }
  return false;
}

}  // namespace kiv
