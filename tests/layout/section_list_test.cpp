// The document root and its cells: layout and paint passes, hit bands,
// pagination at page breaks, scrolling, image fetching, etched frames and the
// selection walk, on sections of fixed height.
#include <QImage>

#include <gtest/gtest.h>

#include <climits>

#include <algorithm>
#include <string>
#include <vector>

#include "layout/indent_manager.h"
#include "layout/page.h"
#include "layout/process_error.h"
#include "layout/section_list.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/message_box.h"
#include "reader/url_target.h"
#include "support/test_files.h"

namespace kiv {
namespace {

// A section of fixed height and character count. It may hang a float below
// itself, answer links, raise a layout limit and write its text to ClipText.
class FixedSection : public TSectionBase {
 public:
  FixedSection(int height, int length = 0, std::string text = {}) : text_(std::move(text)) {
    Height = height;
    Length = length;
  }
  FixedSection(TSectionList* owner, const FixedSection& source)
      : TSectionBase(owner, source), text_(source.text_) {
    Length = source.Length;
  }
  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override {
    return std::make_unique<FixedSection>(owner, *this);
  }

  int Layout(Canvas& canvas, int y, IndentManager& indents, int& maxWidth,
             int& charIndex) override {
    if (raiseLimit) throw EProcessError("Table has too many Columns");
    Top = y;
    TSectionBase::Layout(canvas, y, indents, maxWidth, charIndex);
    charIndex += Length;
    maxWidth = width;
    if (floatHeight > 0) {
      indents.LeftFloats.Add(std::make_unique<IndentRec>(50, y, y + floatHeight, 0));
      DrawHeight = floatHeight;
    }
    ++layouts;
    return Height;
  }
  bool LinkAt(Canvas&, int, int y, TUrlTarget& target) override {
    askedY.push_back(y);
    if (link.empty()) return false;
    target.Url = link;
    return true;
  }
  int CharIndexAt(Canvas&, int, int y, int& caretX, int& caretY, int& caretHeight,
                  TCell*&) override {
    if (Length == 0) return -1;
    caretX = 0;
    caretY = y;
    caretHeight = 10;
    return StartIndex + y / 10;
  }
  int FindText(int fromIndex, std::string_view text, bool) override {
    const std::size_t at =
        text_.find(text, static_cast<std::size_t>(std::max(0, fromIndex - StartIndex)));
    return at == std::string::npos ? -1 : StartIndex + static_cast<int>(at);
  }
  void MeasureWidths(Canvas&, int& minWidth, int& maxWidth) override {
    minWidth = width / 2;
    maxWidth = width;
  }
  void CopySelectedText() override {
    if (Owner && Owner->ClipText) Owner->ClipText->AddChars(text_.data(), Length);
  }
  int LineCount() const override { return static_cast<int>(lines.size()); }
  int LineDrawHeight(int index) const override { return lines[static_cast<std::size_t>(index)]; }

  int width = 100;
  int floatHeight = 0;
  bool raiseLimit = false;
  std::string link;
  std::vector<int> lines;
  std::vector<int> askedY;
  int layouts = 0;

 private:
  std::string text_;
};

template <class T>
T* AddTo(TCell& cell, std::unique_ptr<T> section) {
  T* raw = section.get();
  cell.Add(std::move(section));
  return raw;
}

int LayOut(TSectionList& doc, int width = 600) {
  FixedMetricsCanvas canvas;
  int maxWidth = 0;
  int charIndex = 0;
  return doc.Layout(canvas, 0, width, maxWidth, charIndex);
}

TEST(CellLayoutTest, StacksSectionsAndChainsCharacterIndexes) {
  TSectionList doc;
  auto* a = AddTo(doc, std::make_unique<FixedSection>(10, 5));
  auto* b = AddTo(doc, std::make_unique<FixedSection>(20, 0));
  auto* c = AddTo(doc, std::make_unique<FixedSection>(30, 7));
  a->width = 120;
  c->width = 340;
  FixedMetricsCanvas canvas;
  int maxWidth = -1;
  int charIndex = 3;
  EXPECT_EQ(doc.Layout(canvas, 0, 600, maxWidth, charIndex), 60);
  EXPECT_EQ(maxWidth, 340);
  EXPECT_EQ(charIndex, 15);
  EXPECT_EQ(doc.TextLength, 12);
  EXPECT_EQ(doc.StartIndex, 3);
  EXPECT_EQ(b->Top, 10);
  EXPECT_EQ(c->Top, 30);
  EXPECT_EQ(b->StartIndex, 8);
  EXPECT_EQ(c->StartIndex, 8);
  EXPECT_EQ(doc.Indents->Width, 600);
  EXPECT_EQ(a->Owner, &doc);
}

TEST(CellLayoutTest, FloatsBelowTheLastSectionExtendTheHeight) {
  TSectionList doc;
  AddTo(doc, std::make_unique<FixedSection>(10))->floatHeight = 80;
  AddTo(doc, std::make_unique<FixedSection>(10));
  EXPECT_EQ(LayOut(doc), 80);
  // A second layout starts from cleared indents.
  EXPECT_EQ(LayOut(doc), 80);
  EXPECT_EQ(doc.Indents->LeftFloats.Count(), 1);
  // Clearing the page drops its floats with its sections.
  doc.Clear();
  EXPECT_EQ(doc.Indents->LeftFloats.Count(), 0);
}

TEST(CellLayoutTest, EmptyDocumentHasNoHeightNorSections) {
  TSectionList doc;
  EXPECT_EQ(LayOut(doc), 0);
  int top = -5;
  int index = -5;
  EXPECT_EQ(doc.SectionAtY(0, top, index), nullptr);
  EXPECT_EQ(top, -5);
  EXPECT_EQ(index, -5);
  EXPECT_EQ(doc.TopOfSection(0), 0);
  EXPECT_EQ(doc.TopOfSection(3), 0);
}

TEST(CellLayoutTest, SectionHittingALayoutLimitIsReportedAndRemoved) {
  testing::TakeMessageBoxes();
  TSectionList doc;
  AddTo(doc, std::make_unique<FixedSection>(10, 4));
  AddTo(doc, std::make_unique<FixedSection>(25, 9))->raiseLimit = true;
  auto* last = AddTo(doc, std::make_unique<FixedSection>(15, 2));
  EXPECT_EQ(LayOut(doc), 25);
  EXPECT_EQ(testing::TakeMessageBoxes(), std::vector<std::string>{"Table has too many Columns"});
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(doc[1], last);
  EXPECT_EQ(last->Top, 10);
  EXPECT_EQ(last->StartIndex, 4);
  EXPECT_EQ(doc.TextLength, 6);
  EXPECT_EQ(LayOut(doc), 25);
  EXPECT_TRUE(testing::TakeMessageBoxes().empty());
}

TEST(CellHitTest, SectionBandsAndTops) {
  TSectionList doc;
  AddTo(doc, std::make_unique<FixedSection>(10));
  AddTo(doc, std::make_unique<FixedSection>(0));
  AddTo(doc, std::make_unique<FixedSection>(20));
  AddTo(doc, std::make_unique<FixedSection>(30));
  LayOut(doc);
  int top = 0;
  int index = 0;
  EXPECT_EQ(doc.SectionAtY(10, top, index), doc[2]);  // the empty band holds nothing
  EXPECT_EQ(top, 10);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(doc.SectionAtY(59, top, index), doc[3]);
  EXPECT_EQ(doc.SectionAtY(60, top, index), nullptr);
  EXPECT_EQ(doc.SectionAtY(-1, top, index), nullptr);
  EXPECT_EQ(doc.TopOfSection(3), 30);
  // Never past the top of the last section, whatever the index.
  EXPECT_EQ(doc.TopOfSection(doc.Count()), 30);
  EXPECT_EQ(doc.TopOfSection(99), 30);
  EXPECT_EQ(doc.TopOfSection(-2), 0);
}

TEST(CellHitTest, LinkInTheDrawBandBelowASectionStillAnswers) {
  TSectionList doc;
  auto* first = AddTo(doc, std::make_unique<FixedSection>(20));
  auto* second = AddTo(doc, std::make_unique<FixedSection>(20));
  first->floatHeight = 50;  // DrawHeight 50: hangs over the second section
  first->link = "float.htm";
  LayOut(doc);
  FixedMetricsCanvas canvas;
  TUrlTarget target;
  EXPECT_TRUE(doc.LinkAt(canvas, 5, 30, target));
  EXPECT_EQ(target.Url, "float.htm");
  EXPECT_EQ(first->askedY, std::vector<int>{30});
  EXPECT_TRUE(second->askedY.empty());

  // When the first does not answer, the walk asks the overlapping next one
  // with y relative to its own top.
  first->link.clear();
  second->link = "next.htm";
  EXPECT_TRUE(doc.LinkAt(canvas, 5, 30, target));
  EXPECT_EQ(target.Url, "next.htm");
  EXPECT_EQ(second->askedY, std::vector<int>{10});
  EXPECT_FALSE(doc.LinkAt(canvas, 5, 80, target));
}

TEST(CellHitTest, CharacterUnderAPointAndSearch) {
  TSectionList doc;
  AddTo(doc, std::make_unique<FixedSection>(10, 3, "abc"));
  auto* second = AddTo(doc, std::make_unique<FixedSection>(20, 4, "dbcd"));
  second->width = 300;
  LayOut(doc);
  FixedMetricsCanvas canvas;
  int caretX = -1;
  int caretY = -1;
  int caretHeight = -1;
  TCell* cell = nullptr;
  EXPECT_EQ(doc.CharIndexAt(canvas, 5, 25, caretX, caretY, caretHeight, cell), 4);
  EXPECT_EQ(caretY, 25);  // back in cell coordinates
  EXPECT_EQ(caretHeight, 10);
  EXPECT_EQ(cell, &doc);
  TCell other(&doc);
  cell = &other;
  doc.CharIndexAt(canvas, 5, 5, caretX, caretY, caretHeight, cell);
  EXPECT_EQ(cell, &other);  // a cell found deeper is kept
  cell = nullptr;
  EXPECT_EQ(doc.CharIndexAt(canvas, 5, 90, caretX, caretY, caretHeight, cell), -1);
  EXPECT_EQ(cell, nullptr);

  EXPECT_EQ(doc.FindText(0, "bc", true), 1);
  EXPECT_EQ(doc.FindText(2, "bc", true), 4);
  EXPECT_EQ(doc.FindText(0, "zz", true), -1);
  int minWidth = -1;
  int maxWidth = -1;
  doc.MeasureWidths(canvas, minWidth, maxWidth);
  EXPECT_EQ(minWidth, 150);
  EXPECT_EQ(maxWidth, 300);
}

TEST(CellHitTest, LineTopAtWalksTheTextLines) {
  TSectionList doc;
  AddTo(doc, std::make_unique<FixedSection>(10));
  auto* text = AddTo(doc, std::make_unique<FixedSection>(60));
  text->lines = {20, 20, 20};
  LayOut(doc);
  int top = 0;
  int index = 0;
  EXPECT_EQ(doc.LineTopAt(35, top, index), text);
  EXPECT_EQ(top, 30);
  EXPECT_EQ(doc.LineTopAt(50, top, index), text);
  EXPECT_EQ(top, 50);
  EXPECT_EQ(doc.LineTopAt(5, top, index), doc[0]);
  EXPECT_EQ(top, 0);
}

TEST(CellCloneTest, CopyClonesSectionsOfTheirOwnClassAndTheDisplayState) {
  TSectionList doc;
  doc.SetDefaults("Arial", "Courier New", 16, clBlack, clRed, clWhite);
  doc.ShowImages = false;
  doc.SelStart = 2;
  doc.SelEnd = 7;
  doc.ScrollY = 40;
  int requests = 0;
  doc.ImageRequest = [&](THTMLViewer*, const std::string&, std::unique_ptr<Bitmap>&, TColor&) {
    ++requests;
  };
  AddTo(doc, std::make_unique<FixedSection>(12, 3, "abc"));
  AddTo(doc, std::make_unique<TPage>());
  auto copy = TSectionList::CreateCopy(doc);
  ASSERT_EQ(copy->Count(), 2);
  EXPECT_NE(dynamic_cast<FixedSection*>(copy->Items(0)), nullptr);
  EXPECT_NE(dynamic_cast<TPage*>(copy->Items(1)), nullptr);
  EXPECT_EQ(copy->Items(0)->Height, 12);
  EXPECT_EQ(copy->Items(0)->Owner, copy.get());
  EXPECT_EQ(copy->BaseFontSize, 16);
  EXPECT_EQ(copy->FontName, "Arial");
  EXPECT_EQ(copy->LinkColor, clRed);
  EXPECT_FALSE(copy->ShowImages);
  EXPECT_EQ(copy->SelEnd, 7);
  EXPECT_EQ(copy->ScrollY, 40);
  EXPECT_EQ(copy->ImageCache, nullptr);
  // The copy never fetches.
  int transparency = 0;
  Mask* mask = nullptr;
  EXPECT_EQ(copy->FetchImage("a.gif", transparency, mask), nullptr);
  EXPECT_EQ(requests, 0);
}

TEST(DocumentTest, DefaultsCutFontNamesAndNotifyTheBackground) {
  TSectionList doc;
  int notified = 0;
  doc.BackgroundChanged = [&](TSectionList& d) {
    ++notified;
    EXPECT_EQ(d.Background, clYellow);
  };
  const std::string longName(40, 'F');
  doc.SetDefaults(longName, "Mono", 14, clGreen, clBlue, clYellow);
  EXPECT_EQ(doc.FontName, std::string(MaxFontNameLength, 'F'));
  EXPECT_EQ(doc.PreFontName, "Mono");
  EXPECT_EQ(doc.BaseFontSize, 14);
  EXPECT_EQ(notified, 1);
}

TEST(DocumentTest, ClearForgetsThePageButKeepsTheCache) {
  TSectionList doc;
  doc.ImageRequest = [](THTMLViewer*, const std::string&, std::unique_ptr<Bitmap>& b, TColor&) {
    b = Bitmap::CreateRgb(2, 2);
  };
  int t = 0;
  Mask* mask = nullptr;
  ASSERT_NE(doc.FetchImage("a.bmp", t, mask), nullptr);
  AddTo(doc, std::make_unique<FixedSection>(10));
  doc.ImageMaps.Emplace();
  doc.SelStart = 1;
  doc.SelEnd = 4;
  doc.SetBackgroundImageName("back.gif");
  doc.Clear();
  EXPECT_EQ(doc.Count(), 0);
  EXPECT_EQ(doc.ImageMaps.Count(), 0);
  EXPECT_EQ(doc.SelEnd, 0);
  EXPECT_TRUE(doc.BackgroundImageName.empty());
  EXPECT_EQ(doc.ImageCache->Count(), 1);
}

// A form whose controls are placed by the paint and hidden otherwise.
class CountingForm : public ThtmlFormBase {
 public:
  void PrepareControls(Canvas&) override { ++prepared; }
  void ClearPlacedMarks() override { ++cleared; }
  void HideUnplacedControls() override { ++hidden; }
  int prepared = 0;
  int cleared = 0;
  int hidden = 0;
};

TEST(DocumentTest, ScrollingMarksControlsForPlacingOnlyOnChange) {
  TSectionList doc;
  auto* form = doc.Forms.Emplace<CountingForm>();
  AddTo(doc, std::make_unique<FixedSection>(100));
  LayOut(doc);
  EXPECT_EQ(form->prepared, 1);
  doc.SetScrollY(0);
  EXPECT_FALSE(doc.ControlsNeedPlacing);
  EXPECT_EQ(form->cleared, 0);
  doc.SetScrollY(30);
  EXPECT_TRUE(doc.ControlsNeedPlacing);
  EXPECT_EQ(form->cleared, 1);
  EXPECT_EQ(doc.ScrollY, 30);

  QImage image(100, 100, QImage::Format_RGB32);
  FixedMetricsCanvas canvas(&image);
  doc.Paint(canvas, Rect(0, 0, 100, 100), 1300, 10, 0);
  EXPECT_EQ(form->hidden, 1);
  EXPECT_FALSE(doc.ControlsNeedPlacing);
  doc.Paint(canvas, Rect(0, 0, 100, 100), 1300, 10, 0);
  EXPECT_EQ(form->hidden, 1);
}

TEST(PaintTest, PaintSetsTopsAndSkipsNothingAtTheCellLevel) {
  TSectionList doc;
  auto* a = AddTo(doc, std::make_unique<FixedSection>(40));
  auto* b = AddTo(doc, std::make_unique<FixedSection>(60));
  LayOut(doc, 300);
  doc.SetScrollY(20);
  QImage image(300, 50, QImage::Format_RGB32);
  FixedMetricsCanvas canvas(&image);
  EXPECT_EQ(doc.Paint(canvas, Rect(0, 0, 300, 50), 1300, 10, 0), 100);
  EXPECT_EQ(a->Top, 0);
  EXPECT_EQ(b->Top, 40);
  EXPECT_EQ(doc.Indents->LeftEdge, 10);
  EXPECT_EQ(doc.Indents->RightEdge, 310);
  EXPECT_EQ(doc.Indents->ClipWidth, 1300);
  // The visibility rule sections use: band below the clip, band above it.
  EXPECT_FALSE(a->BandHidden(Rect(0, 0, 300, 50), 0));
  EXPECT_TRUE(b->BandHidden(Rect(0, 0, 300, 50), 80));
  EXPECT_TRUE(a->BandHidden(Rect(0, 30, 300, 50), 0));
}

class PageBreakTest : public ::testing::Test {
 protected:
  // A printed document with a page break at breakY, painted as the page of
  // pageHeight rows starting at document row pageTop (printing paints with
  // no scroll offset and the page rectangle as the clip); returns where the
  // next page starts.
  int PrintedPageBottom(int breakY, int pageTop, int pageHeight, bool printing = true) {
    TSectionList doc;
    AddTo(doc, std::make_unique<FixedSection>(breakY));
    AddTo(doc, std::make_unique<TPage>());
    AddTo(doc, std::make_unique<FixedSection>(3000));
    doc.Printing = printing;
    LayOut(doc);
    QImage image(200, 100, QImage::Format_RGB32);
    FixedMetricsCanvas canvas(&image);
    doc.Paint(canvas, Rect(0, pageTop, 200, pageTop + pageHeight), 1300, 0, 0);
    return doc.PageBottom;
  }
};

TEST_F(PageBreakTest, BreakOnThePageEndsItThere) {
  EXPECT_EQ(PrintedPageBottom(300, 0, 800), 300);
  EXPECT_EQ(PrintedPageBottom(1500, 800, 800), 1500);
}

TEST_F(PageBreakTest, BreakNearTheTopOrOffThePageHasNoEffect) {
  EXPECT_EQ(PrintedPageBottom(805, 800, 800), 1600);  // within 5 pixels of the top
  EXPECT_EQ(PrintedPageBottom(806, 800, 800), 806);
  EXPECT_EQ(PrintedPageBottom(850, 0, 800), 800);         // below the page
  EXPECT_EQ(PrintedPageBottom(300, 0, 800, false), 800);  // not printing
}

TEST(PageBreakCloneTest, ScrolledScreenPaintUsesWindowRows) {
  // On a scrolled view the break's window row decides, the page bottom is a
  // document row.
  TSectionList doc;
  AddTo(doc, std::make_unique<FixedSection>(120));
  AddTo(doc, std::make_unique<TPage>());
  doc.Printing = true;
  LayOut(doc);
  doc.SetScrollY(100);
  QImage image(200, 100, QImage::Format_RGB32);
  FixedMetricsCanvas canvas(&image);
  doc.Paint(canvas, Rect(0, 0, 200, 800), 1300, 0, 0);
  EXPECT_EQ(doc.PageBottom, 120);
  EXPECT_EQ(doc[1]->Top, 120);
}

TEST(EtchedRectTest, LightColourFollowsPageAndPrinting) {
  auto draw = [](TSectionList& doc, bool raised) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
      FixedMetricsCanvas canvas(&image);
      doc.DrawEtchedRect(canvas, 2, 2, 15, 15, raised);
    }
    return image;
  };
  const QRgb silver = qRgb(192, 192, 192);
  const TColor highlightRgb = ColorToRGB(clBtnHighlight);
  const QRgb highlight =
      qRgb(GetRValue(highlightRgb), GetGValue(highlightRgb), GetBValue(highlightRgb));
  const TColor shadowRgb = ColorToRGB(clBtnShadow);
  const QRgb shadow = qRgb(GetRValue(shadowRgb), GetGValue(shadowRgb), GetBValue(shadowRgb));

  TSectionList doc;
  doc.SetBackgroundColor(clWhite);
  QImage sunken = draw(doc, false);
  EXPECT_EQ(sunken.pixel(2, 8), shadow);   // left edge
  EXPECT_EQ(sunken.pixel(8, 2), shadow);   // top edge
  EXPECT_EQ(sunken.pixel(15, 8), silver);  // right edge
  EXPECT_EQ(sunken.pixel(8, 15), silver);  // bottom edge
  QImage raised = draw(doc, true);
  EXPECT_EQ(raised.pixel(2, 8), silver);
  EXPECT_EQ(raised.pixel(15, 8), shadow);

  doc.SetBackgroundColor(clSilver);
  EXPECT_EQ(draw(doc, true).pixel(2, 8), highlight);
  doc.Printing = true;
  EXPECT_EQ(draw(doc, true).pixel(2, 8), silver);

  // A white page with a background picture shown uses the highlight colour.
  doc.Printing = false;
  doc.SetBackgroundColor(PaletteRelative(clWhite));
  doc.ImageRequest = [](THTMLViewer*, const std::string&, std::unique_ptr<Bitmap>& b, TColor&) {
    b = Bitmap::CreateRgb(4, 4);
  };
  doc.SetBackgroundImageName("paper.bmp");
  ASSERT_NE(doc.BackgroundImageFetched(), nullptr);
  EXPECT_EQ(doc.EtchedHighlightColor(), clBtnHighlight);
  doc.ShowImages = false;
  EXPECT_EQ(doc.EtchedHighlightColor(), clSilver);
}

// A picture of two colours: red everywhere, blue in the bottom-left pixel.
std::unique_ptr<Bitmap> TwoColourPicture() {
  auto b = Bitmap::CreateRgb(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) b->SetPixel(x, y, clRed);
  b->SetPixel(0, 2, clBlue);
  b->SetPixel(3, 0, clBlue);
  return b;
}

class FetchImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.ImageRequest = [this](THTMLViewer* sender, const std::string& name,
                              std::unique_ptr<Bitmap>& bitmap, TColor& transparent) {
      EXPECT_EQ(sender, doc.Viewer);
      EXPECT_EQ(bitmap, nullptr);
      EXPECT_EQ(transparent, NoTransparentColor);
      names.push_back(name);
      if (name.find("missing") == std::string::npos) bitmap = TwoColourPicture();
      transparent = eventColor;
    };
  }
  Bitmap* Fetch(const std::string& name, int& transparency, Mask*& mask) {
    return doc.FetchImage(name, transparency, mask);
  }

  TSectionList doc;
  std::vector<std::string> names;
  TColor eventColor = NoTransparentColor;
};

TEST_F(FetchImageTest, NamesDifferingInCaseAndBlanksShareOneEntry) {
  int t = 0;
  Mask* mask = nullptr;
  Bitmap* first = Fetch("Images/Logo.gif", t, mask);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(mask, nullptr);
  EXPECT_EQ(Fetch("  IMAGES/LOGO.GIF \t", t, mask), first);
  EXPECT_EQ(names, std::vector<std::string>{"Images/Logo.gif"});  // asked once, as written
  EXPECT_EQ(doc.ImageCache->Count(), 1);
  EXPECT_EQ(doc.ImageCache->Strings(0), "IMAGES/LOGO.GIF");
  EXPECT_EQ(t, 0);
}

TEST_F(FetchImageTest, TranspMakesTheMaskOnceFromTheBottomLeftPixel) {
  int t = 0;
  Mask* mask = nullptr;
  Bitmap* bitmap = Fetch("a.gif", t, mask);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(mask, nullptr);
  t = TransparencyFromImage;
  Mask* first = nullptr;
  EXPECT_EQ(Fetch("a.gif", t, first), bitmap);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->IsWhite(0, 2));
  EXPECT_TRUE(first->IsWhite(3, 0));
  EXPECT_FALSE(first->IsWhite(1, 1));
  EXPECT_EQ(doc.ImageCache->Objects(0)->TransparencyKind, TransparentBottomLeft);
  t = TransparencyFromImage;
  Mask* second = nullptr;
  Fetch("A.GIF", t, second);
  EXPECT_EQ(second, first);
  EXPECT_EQ(t, TransparencyFromImage);
  EXPECT_EQ(names.size(), 1u);
}

TEST_F(FetchImageTest, ColourFromTheEventMakesTheImageTransparent) {
  eventColor = clRed;
  int t = 0;
  Mask* mask = nullptr;
  ASSERT_NE(Fetch("b.gif", t, mask), nullptr);
  EXPECT_EQ(t, TransparencyOwnColor);
  ASSERT_NE(mask, nullptr);
  EXPECT_TRUE(mask->IsWhite(1, 1));
  EXPECT_FALSE(mask->IsWhite(0, 2));
  // Later uses report the image's own colour without asking again.
  int again = TransparencyFromImage;
  Mask* cached = nullptr;
  Fetch("b.gif", again, cached);
  EXPECT_EQ(again, TransparencyOwnColor);
  EXPECT_EQ(cached, mask);
  EXPECT_EQ(names.size(), 1u);
}

TEST_F(FetchImageTest, UnobtainableImagesAreNotCachedAndBackgroundIsTriedOnce) {
  int t = 1;
  Mask* mask = nullptr;
  EXPECT_EQ(Fetch("missing.gif", t, mask), nullptr);
  EXPECT_EQ(Fetch("", t, mask), nullptr);
  EXPECT_EQ(Fetch(" ", t, mask), nullptr);
  EXPECT_EQ(doc.ImageCache->Count(), 0);
  EXPECT_EQ(names.size(), 1u);

  doc.SetBackgroundImageName("missing-back.gif");
  EXPECT_EQ(doc.BackgroundImageFetched(), nullptr);
  EXPECT_EQ(doc.BackgroundImageFetched(), nullptr);
  EXPECT_EQ(names.size(), 2u);

  doc.ShowImages = false;
  doc.SetBackgroundImageName("back.gif");
  EXPECT_EQ(doc.BackgroundImageFetched(), nullptr);
  doc.ShowImages = true;
  Bitmap* back = doc.BackgroundImageFetched();
  EXPECT_NE(back, nullptr);
  EXPECT_EQ(doc.BackgroundImageFetched(), back);
  EXPECT_EQ(names.size(), 3u);
}

TEST(FetchImageFileTest, WithoutAnEventTheFileIsLoadedThroughTheResolver) {
  testing::TempDir dir;
  auto picture = TwoColourPicture();
  ASSERT_TRUE(picture->SaveFile(dir.File("pic.bmp")));
  TSectionList doc;
  std::vector<std::string> asked;
  doc.ImageFileName = [&](const std::string& name) {
    asked.push_back(name);
    return dir.Path() + "/" + name;
  };
  int t = TransparencyFromImage;
  Mask* mask = nullptr;
  Bitmap* bitmap = doc.FetchImage("pic.bmp", t, mask);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 4);
  ASSERT_NE(mask, nullptr);
  EXPECT_TRUE(mask->IsWhite(0, 2));
  EXPECT_FALSE(mask->IsWhite(1, 2));
  EXPECT_EQ(doc.FetchImage("nothing.bmp", t, mask), nullptr);
  EXPECT_EQ(asked, (std::vector<std::string>{"pic.bmp", "nothing.bmp"}));
}

// Counts what sections write, as the counting collector will.
class RecordingSink : public TTextSink {
 public:
  explicit RecordingSink(std::string& out, int& made) : out_(out) { ++made; }
  void AddChars(const char* text, int count) override { out_.append(text, count); }
  int Terminate() override { return static_cast<int>(out_.size()); }

 private:
  std::string& out_;
};

TEST(SelectionWalkTest, AsksOnlyTheSectionsInTheSelection) {
  TSectionList doc;
  AddTo(doc, std::make_unique<FixedSection>(10, 3, "abc"));
  AddTo(doc, std::make_unique<FixedSection>(10, 0));
  AddTo(doc, std::make_unique<FixedSection>(10, 4, "defg"));
  AddTo(doc, std::make_unique<FixedSection>(10, 2, "hi"));
  LayOut(doc);
  std::string written;
  int made = 0;
  doc.CountingSinkFactory = [&] { return std::make_unique<RecordingSink>(written, made); };
  doc.ClipboardSinkFactory = doc.CountingSinkFactory;
  EXPECT_EQ(doc.SelectedTextLength(), 0);  // empty selection: no collector at all
  EXPECT_EQ(made, 0);
  doc.SelStart = 3;
  doc.SelEnd = 7;
  EXPECT_EQ(doc.SelectedTextLength(), 4);
  EXPECT_EQ(written, "defg");
  EXPECT_EQ(doc.ClipText, nullptr);
  written.clear();
  doc.SelStart = 2;
  doc.SelEnd = 8;
  doc.CopySelectionToClipboard();
  EXPECT_EQ(written, "abcdefghi");
  EXPECT_EQ(made, 2);
}

TEST(SectionListTest, PicturesOfAPageAndItsCacheShareOneBudget) {
  // Each request gets what the cache leaves of the budget, and supplies a
  // 8192 x 4096 bitmap (32 MB) when that is enough.
  TSectionList doc;
  std::vector<std::int64_t> allowances;
  doc.ImageRequest = [&](THTMLViewer*, const std::string&, std::unique_ptr<Bitmap>& b, TColor&) {
    allowances.push_back(PictureByteAllowance());
    b = Bitmap::CreateIndexed(8192, 4096, {clBlack});
  };
  constexpr std::int64_t kPicture = 8192LL * 4096;
  auto fetch = [&](const std::string& name) {
    int transparency = 0;
    Mask* mask = nullptr;
    return doc.FetchImage(name, transparency, mask) != nullptr;
  };
  int shown = 0;
  for (int i = 0; i < 10; ++i) {
    const std::string number = std::to_string(i);
    shown += fetch("p" + number + ".gif");
  }
  EXPECT_EQ(shown, static_cast<int>(PictureBudgetBytes / kPicture));
  EXPECT_EQ(allowances.front(), PictureBudgetBytes);
  EXPECT_EQ(allowances.back(), 0);
  EXPECT_LE(doc.ImageCache->PictureBytes(), PictureBudgetBytes);
  EXPECT_EQ(PictureByteAllowance(), INT64_MAX) << "the allowance ends with the request";
  // The next page: pictures the old one used make room for the new ones;
  // those the new page uses again stay.
  doc.ImageCache->AgeAll();
  EXPECT_TRUE(fetch("p0.gif"));
  EXPECT_TRUE(fetch("new.gif"));
  EXPECT_EQ(doc.ImageCache->IndexOf("P0.GIF") >= 0, true);
  EXPECT_LE(doc.ImageCache->PictureBytes(), PictureBudgetBytes);
  doc.ImageCache->Clear();
}

}  // namespace
}  // namespace kiv
