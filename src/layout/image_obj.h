// An "IMG" inside a text section (TImageObj) and a section's images in text
// order (TImageList). An image gets its bitmap through the document root's
// image fetch, works out the room it takes in a line (border and alternative
// text included), draws itself inline or floating, and answers hit tests,
// including server-side and client-side image maps.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "reader/attributes.h"
#include "reader/free_list.h"
#include "reader/object_pool.h"

namespace kiv {

class Bitmap;
class Canvas;
class Mask;
class TFontObj;
class TMapItem;
class TSectionList;

class TImageObj : public TPooledObject {
 public:
  // Alignment codes: inline top, middle and bottom, or floating at a side.
  enum : std::uint8_t {
    AlignTop = 0,
    AlignMiddle = 1,
    AlignBottom = 2,
    AlignFloatLeft = 3,
    AlignFloatRight = 4,
  };

  // Reads the tag's attributes; pos is the offset of the placeholder.
  TImageObj(int pos, const TAttributeList& attributes);
  virtual ~TImageObj() = default;
  TImageObj(const TImageObj&) = delete;
  TImageObj& operator=(const TImageObj&) = delete;

  // A copy for a cloned section: same picture and sizes, no client-side map.
  static std::unique_ptr<TImageObj> CreateClone(const TImageObj& source);

  bool Floats() const { return Align == AlignFloatLeft || Align == AlignFloatRight; }

  // Fetches the bitmap on the first measure with images on and works out
  // the drawn size and the room taken. run is the font run at the image.
  void Measure(TSectionList* owner, Canvas& canvas, const TFontObj& run);
  // Draws at window X; baselineY and topY are document Y values.
  void Draw(Canvas& canvas, int x, const TFontObj& run, int baselineY, int topY);

  int Pos = 0;
  int ImageHeight = 0, ImageWidth = 0;  // room in the line, border and text included
  int SpecHeight = 0, SpecWidth = 0;    // HEIGHT and WIDTH in pixels; 0 when not given
  int ObjHeight = 0, ObjWidth = 0;      // size at which the bitmap is drawn
  std::string Source;                   // SRC; empty when none
  std::optional<std::string> Alt;       // ALT, when given
  std::uint8_t Align = AlignBottom;
  bool NoBorder = false;          // BORDER was 0
  kiv::Bitmap* Bitmap = nullptr;  // not owned: the image cache's or a resource picture
  kiv::Mask* Mask = nullptr;      // not owned: the cache's mask, or none
  TSectionList* Owner = nullptr;  // not owned: set by Measure
  std::uint8_t Transparency = 0;  // 0 none, 1 TRANSP asks a mask, 2 the image's own colour
  bool IsMap = false;             // ISMAP: server-side map
  bool UseMap = false;            // USEMAP: client-side map
  bool Bordered = false;          // a one-pixel frame is drawn; set by Measure
  int PaintX = 0;                 // window X of the bitmap at the last paint
  int FloatX = 0;                 // X of a float relative to the cell's left edge
  int PaintDocY = 0;              // document Y of the bitmap at the last paint
  std::string MapName;            // client-side map name in upper case
  int HSpace = 5;                 // room beside a float

 private:
  TImageObj() = default;
  // Images are off, or the fetch failed: the picture shown is a placeholder.
  bool ShowsPlaceholder() const;
};

class TImageList : public TFreeList<TImageObj, PoolAllocator> {
 public:
  TImageList() = default;
  static std::unique_ptr<TImageList> CreateClone(const TImageList& source);

  // The image whose placeholder is at offset, or nullptr.
  TImageObj* ImageAt(int offset) const;
  // ImageHeight / ImageWidth of the image at offset with its alignment; -1
  // when there is none there.
  int HeightAt(int offset, int& align) const;
  int WidthAt(int offset, int& align) const;
  // Characters from offset to the next image at or after it; NoNextObject
  // when none follows.
  int DistanceToNext(int offset) const;

  // The image painted under window X and document Y, with the point inside
  // it, its position, its ISMAP flag and the client-side map it names
  // (mapItem stays untouched when none matches).
  bool HitTest(int x, int y, int& inX, int& inY, int& pos, bool& isMap, bool& mapFound,
               const TMapItem*& mapItem) const;
};

}  // namespace kiv
