// Every fixed capacity of the viewer at, below and above its limit, reached
// through the entry points a page, a package or a user reaches: the tokenizer
// and builder, the document root, the viewer control and the help package.
// Below and at the limit nothing is lost; above it the excess is refused or
// cut as designed, and what follows still shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/help_package.h"
#include "builder/document_builder.h"
#include "layout/heading_space.h"
#include "layout/section_list.h"
#include "layout/table.h"
#include "layout/text_section.h"
#include "platform/clipboard.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/screen_canvas.h"
#include "reader/sel_text.h"
#include "reader/tokenizer.h"
#include "support/test_files.h"
#include "viewer/html_viewer.h"

namespace kiv {
namespace {

struct Built {
  std::unique_ptr<TSectionList> doc = std::make_unique<TSectionList>();
  std::vector<std::string> boxes;
};

Built Build(const std::string& page) {
  Built b;
  b.doc->SetDefaults("Times New Roman", "Courier New", 12, clBtnText, clBlue, clWhite);
  TAnchorList anchors;
  ParseHtmlBuffer(*b.doc, anchors, page.data(), page.size());
  FixedMetricsCanvas canvas;
  int maxWidth = 0, charIndex = 0;
  b.doc->Layout(canvas, 0, 600, maxWidth, charIndex);
  b.boxes = testing::TakeMessageBoxes();
  return b;
}

template <typename T>
int CountOf(const TSectionList& doc) {
  int n = 0;
  for (int i = 0; i < doc.Count(); ++i) n += dynamic_cast<const T*>(doc.Items(i)) != nullptr;
  return n;
}

// The text of every text section, in order.
std::string AllText(const TSectionList& doc) {
  std::string text;
  for (int i = 0; i < doc.Count(); ++i) {
    if (const auto* s = dynamic_cast<const TSection*>(doc.Items(i))) text += s->Buffer.c_str();
  }
  return text;
}

std::string Repeat(const std::string& unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

TEST(CapacitiesTest, FontStackHoldsTwentyFiveFonts) {
  // The base font is the first of the 25 and each "TT" pushes one: 23 leave
  // room for a heading's font, 24 fill the stack and the heading is not
  // started; deeper nesting changes nothing more, and closing it all frees
  // the stack again.
  EXPECT_EQ(CountOf<THeadingSpace>(*Build(Repeat("<TT>", 23) + "<H2>h").doc), 1);
  EXPECT_EQ(CountOf<THeadingSpace>(*Build(Repeat("<TT>", 24) + "<H2>h").doc), 0);
  const Built over = Build(Repeat("<TT>", 60) + "<H2>h<P>deep");
  EXPECT_EQ(CountOf<THeadingSpace>(*over.doc), 0);
  EXPECT_NE(AllText(*over.doc).find("deep"), std::string::npos);
  EXPECT_EQ(CountOf<THeadingSpace>(*Build(Repeat("<TT>", 60) + Repeat("</TT>", 60) + "<H2>h").doc),
            1);
}

TEST(CapacitiesTest, TokenKeepsOneHundredFiftyCharacters) {
  for (const int n : {149, 150, 151, 1000}) {
    const std::string name(static_cast<std::size_t>(n), 'Q');
    const std::string page = "<" + name + " x=1>after";
    ReaderState reader;
    reader.StartBuffer(page.data(), page.size());
    reader.NextChar();
    reader.Next();
    EXPECT_EQ(reader.Sym, UnknownTagSymbol) << n;
    EXPECT_EQ(reader.Token().size(), static_cast<std::size_t>(std::min(n, TokenCapacity))) << n;
    EXPECT_EQ(reader.Token().find_first_not_of('Q'), std::string_view::npos) << n;
    // The letters past the capacity are read and dropped, not left as text.
    reader.Next();
    EXPECT_EQ(reader.Sym, TextSymbol) << n;
    EXPECT_EQ(reader.Token(), "after") << n;
  }
}

TEST(CapacitiesTest, TextSectionTakesTwentyThousandCharacters) {
  // Words of ten characters; a paragraph after them starts a new section.
  for (const int words : {1999, 2000, 2001, 5000}) {
    const std::string page = Repeat("abcdefghi ", words) + "<P>next";
    const Built b = Build(page);
    ASSERT_GE(b.doc->Count(), 2) << words;
    const auto* first = dynamic_cast<const TSection*>(b.doc->Items(0));
    ASSERT_NE(first, nullptr);
    if (words * 10 <= MaxSectionText) {
      EXPECT_EQ(first->Length, words * 10) << "nothing lost below or at the limit";
    } else {
      // The piece that reaches the limit is the last taken.
      EXPECT_GE(first->Length, MaxSectionText);
      EXPECT_LE(first->Length, MaxSectionText + TextRunLength);
    }
    EXPECT_EQ(static_cast<int>(std::string(first->Buffer.c_str()).size()), first->Length);
    EXPECT_NE(AllText(*b.doc).find("next"), std::string::npos) << words;
  }
}

TEST(CapacitiesTest, TableTakesThirtyColumns) {
  for (const int columns : {29, 30, 31, 40}) {
    const std::string page =
        "<TABLE><TR>" + Repeat("<TD>c", columns) + "</TABLE><P>after the table";
    const Built b = Build(page);
    if (columns <= 30) {
      EXPECT_EQ(CountOf<ThtmlTable>(*b.doc), 1) << columns;
      EXPECT_TRUE(b.boxes.empty()) << columns;
    } else {
      // Laying it out fails: the user is told and the table is left out.
      EXPECT_EQ(CountOf<ThtmlTable>(*b.doc), 0) << columns;
      ASSERT_EQ(b.boxes.size(), 1u) << columns;
      EXPECT_NE(b.boxes[0].find(TooManyColumnsMessage), std::string::npos);
    }
    EXPECT_NE(AllText(*b.doc).find("after the table"), std::string::npos) << columns;
  }
}

class ViewerCapacitiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    viewer.SetDefBackground(clWhite);
    viewer.resize(400, 300);
  }
  void Load(const std::string& page) { viewer.LoadDocumentBuffer(page.data(), page.size()); }

  FixedMetricsCanvas fixed;
  ScopedScreenCanvas screen{&fixed};
  testing::TempDir dir;
  THTMLViewer viewer;
};

TEST_F(ViewerCapacitiesTest, ClipboardTakesThirtyTwoThousandFourHundredNinetyNine) {
  // Two paragraphs of words; the second one's length moves the whole
  // selection across the limit one character at a time.
  auto page = [](int extra) {
    return "<P>" + Repeat("abcdefghi ", 1500) + "<P>" + Repeat("jklmnopqr ", 1300) +
           std::string(static_cast<std::size_t>(extra), 'z');
  };
  // The base is taken with a long word of z already there, so that every
  // case below lays out the same lines.
  Load(page(1000));
  viewer.SelectAllText();
  const int base = viewer.SelectedTextLength() - 1000;
  ASSERT_LT(base, ClipBufferSize - 1000);
  const int toLimit = ClipBufferSize - 1 - base;
  for (const int extra : {toLimit - 1, toLimit, toLimit + 1, toLimit + 2000}) {
    Load(page(extra));
    viewer.SelectAllText();
    const int selected = viewer.SelectedTextLength();
    EXPECT_EQ(selected, base + extra);
    SetClipboardText("");
    viewer.CopySelection();
    const std::string copied = ClipboardText();
    EXPECT_EQ(static_cast<int>(copied.size()), std::min(selected, ClipBufferSize - 1)) << extra;
    EXPECT_EQ(copied.substr(0, 9), "abcdefghi");
    // The second paragraph is there, and the copy ends inside or after the
    // long word: nothing but its letters and line ends follow its start.
    EXPECT_NE(copied.find("jklmnopqr"), std::string::npos) << extra;
    const std::size_t z = copied.find('z');
    ASSERT_NE(z, std::string::npos) << extra;
    EXPECT_EQ(copied.find_first_not_of("z\r\n", z), std::string::npos) << extra;
  }
}

TEST_F(ViewerCapacitiesTest, HistoryKeepsTenFiles) {
  viewer.SetHistoryMaxCount(10);
  std::vector<std::string> files;
  for (int i = 0; i < 12; ++i) {
    const std::string number = std::to_string(i);
    files.push_back(dir.Write("p" + number + ".html", "<p>page " + number));
    viewer.LoadHtmlFile(files.back());
    const std::size_t expected = std::min(i + 1, 10);
    ASSERT_EQ(viewer.HistoryFiles().size(), expected) << i;
    EXPECT_EQ(viewer.HistoryFiles().front(), files.back());
    EXPECT_EQ(viewer.HistoryFiles().back(), files[files.size() - expected]);
  }
}

TEST_F(ViewerCapacitiesTest, ImageCacheKeepsImagesForZeroToTwentyLoads) {
  int requests = 0;
  viewer.SetViewImages(true);
  viewer.OnBitmapRequest = [&](THTMLViewer*, const std::string&, std::unique_ptr<Bitmap>& bitmap,
                               TColor&) {
    ++requests;
    bitmap = Bitmap::CreateIndexed(4, 4, {clRed, clBlue});
  };
  // Whether the picture is asked for again when its page comes back after
  // `between` other pages.
  auto refetched = [&](int between) {
    Load("<IMG SRC=\"pic.gif\">");
    for (int i = 0; i < between; ++i) Load("<P>no picture " + std::to_string(i));
    const int before = requests;
    Load("<IMG SRC=\"pic.gif\">");
    return requests > before;
  };
  struct Case {
    int set, kept;
  };
  for (const Case c : {Case{-1, 0}, Case{0, 0}, Case{1, 1}, Case{19, 19}, Case{20, 20},
                       Case{21, 20}, Case{1000, 20}}) {
    viewer.SetImageCacheCount(c.set);
    EXPECT_EQ(viewer.ImageCacheCount(), c.kept);
    if (c.kept > 0) {
      EXPECT_FALSE(refetched(c.kept - 1)) << "set " << c.set;
    }
    EXPECT_TRUE(refetched(c.kept)) << "set " << c.set;
  }
}

TEST(PackageCapacitiesTest, PageBufferTakesOneHundredTwentyEightThousandBytes) {
  testing::TempDir dir;
  std::vector<std::pair<std::string, std::string>> pages;
  for (const int size : {127999, 128000, 128001, 300000}) {
    std::string bytes(static_cast<std::size_t>(size), 'p');
    bytes.front() = '<';
    bytes.back() = '>';
    const std::string number = std::to_string(size);
    pages.emplace_back("p" + number + ".html", bytes);
  }
  const std::string package = testing::MakePackage(pages);

  THelpPackage help(dir.Write("kivmap.hpm", package));
  for (const auto& [name, bytes] : pages) {
    help.LoadPage(name);
    const std::size_t kept = std::min<std::size_t>(bytes.size(), PageBufferSize);
    ASSERT_EQ(static_cast<std::size_t>(help.PageLength()), kept) << name;
    EXPECT_EQ(std::string(help.PageBuffer(), kept), bytes.substr(0, kept)) << name;
  }
}

}  // namespace
}  // namespace kiv
