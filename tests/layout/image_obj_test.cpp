// Image objects: attributes, measuring against the fetched picture and the
// placeholders, drawing with frame and alternative text, hit tests and the
// image list's look-ups.
#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "layout/fonts.h"
#include "layout/image_obj.h"
#include "layout/layout_limits.h"
#include "layout/section_list.h"
#include "platform/bitmap.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/resources.h"
#include "platform/screen_canvas.h"
#include "reader/attributes.h"
#include "reader/map_item.h"

namespace kiv {
namespace {

class ImageObjTest : public ::testing::Test {
 protected:
  ImageObjTest() {
    // Pictures named "WxH" (or "WxH-red") are supplied at that size; others are missing.
    doc.ImageRequest = [this](THTMLViewer*, const std::string& name,
                              std::unique_ptr<Bitmap>& bitmap, TColor&) {
      ++requests;
      int w = 0, h = 0;
      if (std::sscanf(name.c_str(), "%dx%d", &w, &h) == 2) {
        bitmap = Bitmap::CreateRgb(w, h);
        if (bitmap && name.find("red") != std::string::npos)
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) bitmap->SetPixel(x, y, clRed);
      }
    };
    run = std::make_unique<TFontObj>(std::make_unique<TMyFont>(), 0);
  }

  std::unique_ptr<TImageObj> Image(std::initializer_list<std::pair<Symbol, std::string>> attrs) {
    TAttributeList list;
    for (const auto& [id, text] : attrs) {
      std::int32_t value = 0;
      std::sscanf(text.c_str(), "%d", &value);
      list.Emplace(id, text, value);
    }
    return std::make_unique<TImageObj>(7, list);
  }

  FixedMetricsCanvas canvas;
  ScopedScreenCanvas screen{&canvas};
  TSectionList doc;
  std::unique_ptr<TFontObj> run;  // 12 points: advance 8, height 20, descent 4
  int requests = 0;
};

TEST_F(ImageObjTest, AttributesAreReadAsTheTagGivesThem) {
  auto a = Image({{SrcSy, "pic.gif"},
                  {AltSy, "Logo"},
                  {AlignSy, "middle"},
                  {BorderSy, "0"},
                  {WidthSy, "50%"},
                  {HeightSy, "30"},
                  {TranspSy, ""},
                  {IsMapSy, ""},
                  {UseMapSy, " #nav "},
                  {HSpaceSy, "-30"}});
  EXPECT_EQ(a->Pos, 7);
  EXPECT_EQ(a->Source, "pic.gif");
  ASSERT_TRUE(a->Alt.has_value());
  EXPECT_EQ(*a->Alt, "Logo");
  EXPECT_EQ(a->Align, TImageObj::AlignMiddle);
  EXPECT_TRUE(a->NoBorder);
  EXPECT_EQ(a->SpecWidth, 0);  // percentages are ignored
  EXPECT_EQ(a->SpecHeight, 30);
  EXPECT_EQ(a->Transparency, 1);
  EXPECT_TRUE(a->IsMap);
  EXPECT_TRUE(a->UseMap);
  EXPECT_EQ(a->MapName, "NAV");
  EXPECT_EQ(a->HSpace, 20);

  auto b = Image({{AlignSy, "LEFT"}, {UseMapSy, "#"}, {BorderSy, "2"}});
  EXPECT_EQ(b->Align, TImageObj::AlignFloatLeft);
  EXPECT_EQ(b->MapName, "#");
  EXPECT_FALSE(b->NoBorder);
  EXPECT_FALSE(b->Alt.has_value());
  EXPECT_EQ(b->HSpace, 5);
  EXPECT_EQ(Image({{AlignSy, "right"}})->Align, TImageObj::AlignFloatRight);
  EXPECT_EQ(Image({{AlignSy, "TOP"}})->Align, TImageObj::AlignTop);
  EXPECT_EQ(Image({{AlignSy, "baseline"}})->Align, TImageObj::AlignBottom);
  EXPECT_EQ(Image({})->Align, TImageObj::AlignBottom);
}

TEST_F(ImageObjTest, DrawnSizeFollowsTheGivenDimensionsAndKeepsTheAspect) {
  auto onlyWidth = Image({{SrcSy, "50x25"}, {WidthSy, "100"}});
  onlyWidth->Measure(&doc, canvas, *run);
  EXPECT_EQ(onlyWidth->ObjWidth, 100);
  EXPECT_EQ(onlyWidth->ObjHeight, 50);
  EXPECT_EQ(onlyWidth->ImageWidth, 100);
  EXPECT_FALSE(onlyWidth->Bordered);

  auto onlyHeight = Image({{SrcSy, "50x25"}, {HeightSy, "10"}});
  onlyHeight->Measure(&doc, canvas, *run);
  EXPECT_EQ(onlyHeight->ObjWidth, 20);
  EXPECT_EQ(onlyHeight->ObjHeight, 10);

  auto both = Image({{SrcSy, "50x25"}, {WidthSy, "7"}, {HeightSy, "9"}});
  both->Measure(&doc, canvas, *run);
  EXPECT_EQ(both->ObjWidth, 7);
  EXPECT_EQ(both->ObjHeight, 9);

  // Declared 0 x 0 means not given; a huge declaration is held at the limit.
  auto zero = Image({{SrcSy, "50x25"}, {WidthSy, "0"}, {HeightSy, "0"}});
  zero->Measure(&doc, canvas, *run);
  EXPECT_EQ(zero->ObjWidth, 50);
  EXPECT_EQ(zero->ObjHeight, 25);
  auto big = Image({{SrcSy, "50x25"}, {WidthSy, "10000"}, {HeightSy, "10000"}});
  big->Measure(&doc, canvas, *run);
  EXPECT_EQ(big->ImageWidth, 10000);
  EXPECT_EQ(big->ImageHeight, 10000);
  auto huge = Image({{SrcSy, "50x25"}, {WidthSy, "2000000000"}});
  huge->Measure(&doc, canvas, *run);
  EXPECT_EQ(huge->ObjWidth, MaxImageSide);
  EXPECT_EQ(huge->ObjHeight, MaxImageSide / 2);  // the aspect of the held width
}

TEST_F(ImageObjTest, APictureIsFetchedOnceAndALinkFramesIt) {
  auto image = Image({{SrcSy, "40x30"}});
  run->Link.Url = "next.htm";
  image->Measure(&doc, canvas, *run);
  image->Measure(&doc, canvas, *run);
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(image->Bordered);
  EXPECT_EQ(image->ImageWidth, 42);
  EXPECT_EQ(image->ImageHeight, 32);
  EXPECT_EQ(image->ObjWidth, 40);

  auto noBorder = Image({{SrcSy, "40x30"}, {BorderSy, "0"}});
  noBorder->Measure(&doc, canvas, *run);
  EXPECT_FALSE(noBorder->Bordered);
  EXPECT_EQ(noBorder->ImageWidth, 40);
}

TEST_F(ImageObjTest, MissingPictureShowsTheBrokenImageWithItsAlternativeText) {
  auto image = Image({{SrcSy, "missing.gif"}, {AltSy, "Home"}, {WidthSy, "300"}});
  image->Measure(&doc, canvas, *run);
  EXPECT_EQ(image->Bitmap, BrokenImagePicture());
  EXPECT_EQ(image->ObjWidth, BrokenImageWidth);  // the declared size does not apply
  EXPECT_TRUE(image->Bordered);
  EXPECT_EQ(image->ImageWidth, BrokenImageWidth + 2 + 4 * 8 + 4);
  EXPECT_EQ(image->ImageHeight, BrokenImageHeight + 2);

  auto bare = Image({{SrcSy, "missing.gif"}});
  bare->Measure(&doc, canvas, *run);
  EXPECT_FALSE(bare->Bordered);
  EXPECT_EQ(bare->ImageWidth, BrokenImageWidth);
}

TEST_F(ImageObjTest, ImagesOffShowThePlaceholderWithoutFetching) {
  doc.ShowImages = false;
  auto image = Image({{SrcSy, "40x30"}, {AltSy, "A long caption"}});
  image->Measure(&doc, canvas, *run);
  EXPECT_EQ(requests, 0);
  EXPECT_EQ(image->ObjWidth, ImagesOffSize);
  EXPECT_EQ(image->ImageWidth, ImagesOffSize + 2 + 14 * 8 + 4);
  EXPECT_EQ(image->ImageHeight, ImagesOffSize + 2);

  // Alternative text taller than the picture sets the height.
  run->Font->SetSize(48);  // 64 pixels, height 80
  image->Measure(&doc, canvas, *run);
  EXPECT_EQ(image->ImageHeight, 80);
}

TEST_F(ImageObjTest, DrawPlacesABottomAlignedFramedPictureOnTheBaselineAndHitTestsInside) {
  auto owned = Image({{SrcSy, "10x10-red"}});
  run->Link.Url = "x.htm";
  run->Font->SetColor(clBlue);
  owned->Measure(&doc, canvas, *run);
  TImageList list;
  TImageObj* image = list.Add(std::move(owned)) >= 0 ? list.First() : nullptr;
  doc.ScrollY = 100;

  QImage target(80, 80, QImage::Format_RGB32);
  target.fill(Qt::white);
  {
    FixedMetricsCanvas paint(&target);
    image->Draw(paint, 20, *run, 150, 0);  // baseline at window Y 50
  }
  EXPECT_EQ(image->PaintX, 21);
  EXPECT_EQ(image->PaintDocY, 139);
  EXPECT_EQ(target.pixel(21, 39), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(30, 48), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(20, 38), qRgb(0, 0, 255));  // frame in the run's colour
  EXPECT_EQ(target.pixel(31, 49), qRgb(0, 0, 255));
  EXPECT_EQ(target.pixel(32, 45), qRgb(255, 255, 255));

  int inX = -1, inY = -1, pos = -1;
  bool isMap = true, found = true;
  const TMapItem* map = nullptr;
  EXPECT_TRUE(list.HitTest(30, 148, inX, inY, pos, isMap, found, map));
  EXPECT_EQ(inX, 9);
  EXPECT_EQ(inY, 9);
  EXPECT_EQ(pos, 7);
  EXPECT_FALSE(isMap);
  EXPECT_FALSE(found);
  // The one-pixel frame is not the image.
  EXPECT_FALSE(list.HitTest(20, 145, inX, inY, pos, isMap, found, map));
  EXPECT_FALSE(list.HitTest(31, 145, inX, inY, pos, isMap, found, map));
  EXPECT_FALSE(list.HitTest(25, 149, inX, inY, pos, isMap, found, map));
}

TEST_F(ImageObjTest, MiddleAndTopAlignmentAndAlternativeTextPlacement) {
  auto middle = Image({{SrcSy, "10x30"}, {AlignSy, "middle"}});
  middle->Measure(&doc, canvas, *run);
  auto top = Image({{SrcSy, "10x30"}, {AlignSy, "top"}});
  top->Measure(&doc, canvas, *run);
  QImage target(100, 100, QImage::Format_RGB32);
  {
    FixedMetricsCanvas paint(&target);
    // Centred on the middle of the font: 60 + 4 - 10 - 15.
    middle->Draw(paint, 0, *run, 60, 40);
    top->Draw(paint, 0, *run, 60, 40);
  }
  EXPECT_EQ(middle->PaintDocY, 39);
  EXPECT_EQ(top->PaintDocY, 40);

  // With images off the alternative text follows the picture, centred in its box.
  doc.ShowImages = false;
  auto alt = Image({{SrcSy, "10x10"}, {AltSy, "ab"}});
  alt->Measure(&doc, canvas, *run);
  ASSERT_EQ(alt->ImageHeight, 34);
  QImage text(100, 100, QImage::Format_RGB32);
  text.fill(Qt::white);
  {
    FixedMetricsCanvas paint(&text);
    alt->Draw(paint, 0, *run, 60, 0);
  }
  // Bottom: frame from 60 - 34 + 1 to 61; text baseline 60 - (17 + 4 - 10) = 49,
  // starting right of the 32-pixel picture plus 2.
  EXPECT_EQ(text.pixel(0, 27), qRgb(0, 0, 0));
  EXPECT_EQ(text.pixel(0, 60), qRgb(0, 0, 0));
  EXPECT_EQ(text.pixel(40, 45), qRgb(0, 0, 0));        // a glyph block of "a"
  EXPECT_EQ(text.pixel(40, 52), qRgb(255, 255, 255));  // below the baseline
}

TEST_F(ImageObjTest, ClientSideMapIsFoundByUpperCaseNameAndCloneDropsIt) {
  auto map = std::make_unique<TMapItem>();
  map->Name = "NAV";
  const TMapItem* navMap = map.get();
  doc.ImageMaps.Add(std::make_unique<TMapItem>());
  doc.ImageMaps.Add(std::move(map));

  TImageList list;
  list.Add(Image({{SrcSy, "10x10"}, {UseMapSy, "nav"}, {IsMapSy, ""}}));
  list.First()->Measure(&doc, canvas, *run);
  list.First()->PaintX = 5;
  list.First()->PaintDocY = 5;
  int inX, inY, pos;
  bool isMap = false, found = false;
  const TMapItem* item = nullptr;
  ASSERT_TRUE(list.HitTest(6, 7, inX, inY, pos, isMap, found, item));
  EXPECT_TRUE(isMap);
  EXPECT_TRUE(found);
  EXPECT_EQ(item, navMap);

  auto copy = TImageList::CreateClone(list);
  const TImageObj* c = copy->First();
  EXPECT_FALSE(c->UseMap);
  EXPECT_TRUE(c->MapName.empty());
  EXPECT_TRUE(c->IsMap);
  EXPECT_EQ(c->Bitmap, list.First()->Bitmap);
  EXPECT_EQ(c->ImageWidth, 10);
}

TEST(ImageList, LookUpsByPositionAndTheNoNextSentinel) {
  TImageList list;
  TAttributeList none;
  for (int pos : {3, 10}) list.Emplace(pos, none)->ImageWidth = pos;
  int align = -1;
  EXPECT_EQ(list.WidthAt(10, align), 10);
  EXPECT_EQ(list.HeightAt(4, align), -1);
  EXPECT_EQ(list.DistanceToNext(4), 6);
  EXPECT_EQ(list.DistanceToNext(11), NoNextObject);
}

}  // namespace
}  // namespace kiv
