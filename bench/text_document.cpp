#include "text_document.h"

#include <string>

#include "layout/fonts.h"
#include "layout/text_section.h"
#include "platform/bitmap.h"
#include "reader/attributes.h"

namespace kiv::bench {

namespace {

constexpr int kSections = 2000;
constexpr int kWords = 60;

}  // namespace

std::unique_ptr<TSectionList> MakeTextDocument() {
  auto doc = std::make_unique<TSectionList>();
  doc->ImageRequest = [](THTMLViewer*, const std::string&, std::unique_ptr<Bitmap>& bitmap,
                         TColor&) { bitmap = Bitmap::CreateRgb(40, 30); };
  doc->SetDefaults("Times New Roman", "Courier New", 12, clBlack, clBlue, clWhite);

  TMyFont plain;
  plain.SetName(doc->FontName);
  TMyFont bold = plain;
  bold.SetStyle(fsBold);
  TMyFont italic = plain;
  italic.SetStyle(fsItalic);
  TMyFont big = plain;
  big.SetScaled(*doc, 18);
  const TMyFont* fonts[] = {&plain, &bold, &italic, &big};
  TUrlTarget link("topic.htm", "");

  static const char* const kWordList[] = {"the",    "viewer", "shows",  "help",     "pages",
                                          "with",   "links",  "and",    "pictures", "a",
                                          "window", "of",     "text",   "layout",   "breaks",
                                          "lines",  "at",     "spaces", "between",  "floats"};
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7fff;
  };
  for (int i = 0; i < kSections; ++i) {
    auto s = std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, plain);
    for (int w = 0; w < kWords; ++w) {
      if (w % 10 == 9) {
        int kind = static_cast<int>(next() % 5);
        if (kind == 4)
          s->ChangeFontAndLink(true, *doc, &link, plain);
        else
          s->ChangeFontAndLink(false, *doc, nullptr, *fonts[kind]);
      }
      if (w == 30 && i % 50 == 0) {
        TAttributeList attrs;
        attrs.Emplace(SrcSy, "pic.gif", 0);
        if (i % 200 == 0) attrs.Emplace(AlignSy, "left", 0);
        s->AddImage(attrs);
      }
      s->AddText(kWordList[next() % 20]);
      s->AddText(" ");
    }
    doc->Add(std::move(s));
  }
  return doc;
}

}  // namespace kiv::bench
