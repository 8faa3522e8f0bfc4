#include "builder/document_builder.h"

#include "builder/common_symbols.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <fstream>

#include "layout/cell.h"
#include "layout/form_content.h"
#include "layout/form_control.h"
#include "layout/html_form.h"
#include "layout/heading_space.h"
#include "layout/horz_line.h"
#include "layout/list_items.h"
#include "layout/page.h"
#include "layout/paragraph_space.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "reader/color_from_string.h"

namespace kiv {

namespace {

// Scaled sizes (twelfths of the base size) of HTML sizes 1..7.
constexpr std::array<int, 8> kNormalSizes = {0, 8, 10, 12, 14, 18, 24, 36};
constexpr std::array<int, 8> kPreSizes = {0, 7, 8, 10, 12, 15, 20, 30};
// Scaled sizes of heading levels 0..6.
constexpr std::array<int, 7> kHeadingSizes = {12, 24, 18, 15, 12, 10, 8};
constexpr int kFixedPitchSize = 10;
constexpr int kBaseSize = 12;
// Pending preformatted text is handed to the section in pieces of this size.
constexpr std::size_t kPreFlushLength = 200;
constexpr std::size_t kMaxFaceLength = 50;

bool IsListStart(Symbol s) {
  return s == OLSy || s == ULSy || s == DirSy || s == MenuSy || s == DLSy || s == BlockQuoteSy;
}

bool IsListEnd(Symbol s) {
  return s == OLEndSy || s == ULEndSy || s == DirEndSy || s == MenuEndSy || s == DLEndSy ||
         s == BlockQuoteEndSy;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

}  // namespace

THtmlBuilder::THtmlBuilder(TSectionList& document, TAnchorList& anchorNames)
    : document_(document), anchorNames_(anchorNames), currentCell_(&document) {}

THtmlBuilder::~THtmlBuilder() = default;

bool THtmlBuilder::Contains(const SymbolSet& set, Symbol s) {
  return std::find(set.begin(), set.end(), s) != set.end();
}

// --- shared steps -------------------------------------------------------------

void THtmlBuilder::AddToCell(std::unique_ptr<TSectionBase> section) {
  if (currentCell_) {
    currentCell_->Add(std::move(section));
    return;
  }
  // Outside any cell (between the cells of a table) there is nowhere for a
  // section to go; drop it, moving anchors that named it to the document.
  if (section) {
    for (auto& anchor : anchorNames_) {
      if (anchor.second == section.get()) anchor.second = nullptr;
    }
  }
}

void THtmlBuilder::CloseSection() { AddToCell(std::move(currentSection_)); }

void THtmlBuilder::NewSection(int level, int justify) {
  CloseSection();
  currentSection_ = std::make_unique<TSection>(level, justify, &linkTarget_, TopFont(), styleFlags_);
  verticalShift_ = ShiftNone;
  PlaceElementIds();
}

void THtmlBuilder::EnsureSection(int level) {
  if (!currentSection_) NewSection(level, runAlignment_);
}

void THtmlBuilder::PlaceElementIds() {
  // The IDs of the tags read so far name the section their content starts
  // in: the one just opened for a block (DIV, H2, P, LI ...), or the open
  // one for text and inline tags.
  if (!currentSection_ || Reader.ElementIds.empty()) return;
  for (const std::string& id : Reader.ElementIds)
    anchorNames_.emplace_back(Upper(id), currentSection_.get());
  Reader.ElementIds.clear();
}

TFormControlObj* THtmlBuilder::AddControl(Symbol tag) {
  if (!currentSection_) return nullptr;
  return currentSection_->AddControl(tag, document_, Reader.Attributes, currentForm_);
}

bool THtmlBuilder::PushFont() {
  if (fontDepth_ >= FontStackSize) return false;
  fontStack_[static_cast<std::size_t>(fontDepth_)] = TopFont();
  ++fontDepth_;
  return true;
}

void THtmlBuilder::PopFont() {
  if (fontDepth_ <= 1) return;
  --fontDepth_;
}

void THtmlBuilder::ApplyFont() {
  if (currentSection_) currentSection_->ChangeFont(document_, TopFont(), styleFlags_, verticalShift_);
}

void THtmlBuilder::MakeFixedPitch(TMyFont& font) {
  font.Fixed = true;
  font.SetName(document_.PreFontName);
  font.SetScaled(document_, kFixedPitchSize);
}

int THtmlBuilder::ParagraphAlignment() const {
  if (Reader.Sym == PEndSy) return runAlignment_;
  const TAttribute* align = Reader.Attributes.Find(AlignSy);
  if (!align) return runAlignment_;
  std::string a = Lower(align->Text);
  if (a == "left") return TSection::JustifyLeft;
  if (a == "center") return TSection::JustifyCenter;
  if (a == "right") return TSection::JustifyRight;
  return runAlignment_;
}

// --- a parse --------------------------------------------------------------------

void THtmlBuilder::Run(bool plainText) {
  // Start of the parse: the base font, an empty link, the running values.
  TMyFont base;
  base.SetName(document_.FontName);
  base.SetColor(document_.FontColor);
  base.SetCharset(document_.CharSet);
  base.SetScaled(document_, kBaseSize);
  fontStack_[0] = base;
  fontDepth_ = 1;
  currentSection_ =
      std::make_unique<TSection>(0, TSection::JustifyLeft, nullptr, TopFont(), styleFlags_);
  Reader.PreMode = false;
  Reader.ScriptMode = false;

  struct Cleanup {
    THtmlBuilder& b;
    ~Cleanup() {
      // Always: the open section joins its cell and the font stack is emptied,
      // so the document stays valid whatever stopped the parse.
      try {
        b.PlaceElementIds();
        b.CloseSection();
      } catch (...) {
      }
      b.fontDepth_ = 0;
      b.linkTarget_.Clear();
      b.Reader.PreMode = false;
      b.Reader.ScriptMode = false;
    }
  } cleanup{*this};

  Reader.NextChar();
  if (plainText) {
    ReadPlainText();
    return;
  }
  Reader.Next();
  ReadBody({});
}

void THtmlBuilder::ReadBody(const SymbolSet& terminators) {
  while (Reader.Sym != EndOfInputSymbol && Reader.Sym != BodyEndSy) {
    const Symbol sym = Reader.Sym;
    switch (sym) {
      case TitleSy:
        Reader.Next();
        while (Reader.Sym == TextSymbol) {
          Result.DocTitle += Reader.Token();
          Reader.Next();
        }
        break;
      case BodySy:
        if (currentCell_ && currentCell_->Count() == 0) {
          // Text read before the body is dropped; anchors that named it now
          // name the body's first section.
          TSection* dropped = currentSection_.get();
          currentSection_.reset();
          for (const auto& a : Reader.Attributes) {
            TColor color = 0;
            switch (a->Id) {
              case TextSy:
                if (ColorFromString(a->Text, color)) {
                  // The base font takes it too: the body's text starts in it.
                  TopFont().SetColor(PaletteRelative(color));
                  fontStack_[0].SetColor(PaletteRelative(color));
                  document_.FontColor = PaletteRelative(color);
                }
                break;
              case LinkSy:
                if (ColorFromString(a->Text, color)) document_.LinkColor = PaletteRelative(color);
                break;
              case BGColorSy:
                if (ColorFromString(a->Text, color)) document_.SetBackgroundColor(PaletteRelative(color));
                break;
              case BackgroundSy:
                document_.SetBackgroundImageName(a->Text);
                break;
              default:
                break;
            }
          }
          // The body starts in the base font, whatever BASEFONT or FONT pushed before it.
          currentSection_ =
              std::make_unique<TSection>(0, runAlignment_, nullptr, fontStack_[0], styleFlags_);
          verticalShift_ = ShiftNone;
          for (auto& anchor : anchorNames_) {
            if (dropped && anchor.second == dropped) anchor.second = currentSection_.get();
          }
        }
        Reader.Next();
        break;
      case HRSy:
        CloseSection();
        AddToCell(std::make_unique<THorzLine>(Reader.Attributes));
        Reader.Next();
        break;
      case BaseSy:
        for (const auto& a : Reader.Attributes) {
          if (a->Id == HrefSy) Result.DocBase = a->Text;
          if (a->Id == TargetSy) Result.DocBaseTarget = a->Text;
        }
        Reader.Next();
        break;
      default:
        if (IsListStart(sym)) {
          if (sym == BlockQuoteSy) CloseSection();
          if (ReadList(1, sym, terminators)) return;
          Reader.Next();
        } else if (IsCommonSymbol(sym)) {
          DoCommonSymbol(0);
        } else if (Contains(terminators, sym)) {
          return;
        } else {
          Reader.Next();
        }
        break;
    }
  }
  Reader.Next();
}

bool THtmlBuilder::ReadList(int depth, Symbol opening, const SymbolSet& terminators) {
  const bool numbered = opening == OLSy;
  const bool plain = opening == ULSy && Reader.Attributes.Find(PlainSy) != nullptr;
  int counter = 1;
  if (numbered) {
    if (const TAttribute* start = Reader.Attributes.Find(StartSy); start && start->Value >= 0)
      counter = start->Value;
  }
  Reader.Next();
  if (IsListEnd(Reader.Sym)) return false;

  ++listNesting_;
  struct Depth {
    int& n;
    ~Depth() { --n; }
  } nesting{listNesting_};

  int level = depth;
  while (!IsListEnd(Reader.Sym) && Reader.Sym != EndOfInputSymbol) {
    const Symbol sym = Reader.Sym;
    if (IsCommonSymbol(sym)) {
      DoCommonSymbol(level);
    } else if (sym == HRSy) {
      CloseSection();
      AddToCell(std::make_unique<THorzLine>(Reader.Attributes));
      Reader.Next();
    } else if (IsListStart(sym)) {
      if (sym == BlockQuoteSy) CloseSection();
      if (listNesting_ >= MaxListNesting) {
        // Deeper nesting reads its items at this depth.
        Reader.Next();
        continue;
      }
      if (ReadList(depth + 1, sym, terminators)) return true;
      Reader.Next();
    } else if (sym == LISy) {
      CloseSection();
      std::unique_ptr<TSection> item;
      if (numbered) {
        item = std::make_unique<TOListItem>(depth, &linkTarget_, TopFont(), counter++, styleFlags_);
      } else {
        auto bullet = std::make_unique<TUListItem>(depth, &linkTarget_, TopFont(), styleFlags_);
        bullet->Plain = plain;
        item = std::move(bullet);
      }
      currentSection_ = std::move(item);
      verticalShift_ = ShiftNone;
      PlaceElementIds();
      Reader.SkipWhiteSpace();
      Reader.Next();
      if (Reader.Sym == PSy) Reader.Next();
      level = depth;
    } else if (sym == DDSy || sym == DTSy) {
      CloseSection();
      level = sym == DDSy ? depth : depth - 1;
      currentSection_ = std::make_unique<TDListItem>(level, &linkTarget_, TopFont(), styleFlags_);
      verticalShift_ = ShiftNone;
      PlaceElementIds();
      Reader.Next();
    } else if (sym == TableSy) {
      if (currentSection_) currentSection_->EnsureText();
      ReadTable();
    } else if (Contains(terminators, sym)) {
      return true;
    } else {
      Reader.Next();
    }
  }
  CloseSection();
  return false;
}

// --- common symbols ------------------------------------------------------------

void THtmlBuilder::DoCommonSymbol(int level) {
  if (!DoCommonAction(CommonSymbolOf(Reader.Sym), level, false)) Reader.Next();
}

bool THtmlBuilder::DoCommonAction(const CommonSymbol& c, int level, bool preformatted) {
  switch (c.Action) {
    case CommonAction::Paragraph:
      DoParagraph(level);
      return true;
    case CommonAction::LineBreak:
      DoLineBreak(level);
      break;
    case CommonAction::StyleOn:
      styleFlags_ |= c.Arg;
      ApplyFont();
      break;
    case CommonAction::StyleOff:
      styleFlags_ &= static_cast<std::uint8_t>(~c.Arg);
      ApplyFont();
      break;
    case CommonAction::Shift:
      verticalShift_ = c.Arg;
      ApplyFont();
      break;
    case CommonAction::Heading:
      DoHeading(level);
      break;
    case CommonAction::HeadingEnd:
      DoHeadingEnd();
      break;
    case CommonAction::FixedPitch:
      if (PushFont()) {
        MakeFixedPitch(TopFont());
        ApplyFont();
      }
      break;
    case CommonAction::FontEnd:
      PopFont();
      ApplyFont();
      break;
    case CommonAction::Address:
      DoAddress(level);
      break;
    case CommonAction::AddressEnd:
      DoAddressEnd();
      break;
    case CommonAction::Preformatted:
      ReadPreformatted(level);
      return true;
    case CommonAction::Image:
      EnsureSection(level);
      currentSection_->AddImage(Reader.Attributes);
      break;
    case CommonAction::Alignment:
      DoAlignment(level, c.Arg);
      break;
    case CommonAction::LinkStart:
      // Preformatted text joins its section before the link's font change.
      if (preformatted) {
        DoLinkTag(level, true, [this] { FlushPreformatted(); });
      } else {
        DoLinkTag(level, false, {});
      }
      break;
    case CommonAction::LinkEnd:
      DoLinkEnd();
      break;
    case CommonAction::Text:
      EnsureSection(level);
      PlaceElementIds();
      currentSection_->AddText(Reader.Token());
      break;
    case CommonAction::Table:
      ReadTable();
      return true;
    case CommonAction::Input:
      EnsureSection(level);
      AddControl(Reader.Sym);
      break;
    case CommonAction::Select:
      EnsureSection(level);
      ReadOptions(AddControl(Reader.Sym));
      break;
    case CommonAction::TextArea:
      EnsureSection(level);
      ReadTextArea(AddControl(Reader.Sym));
      break;
    case CommonAction::Form:
      currentForm_ = ThtmlForm::Create(document_, &Reader.Attributes);
      break;
    case CommonAction::FormEnd:
      currentForm_ = nullptr;
      break;
    case CommonAction::FontChange:
      if (FontChange(c.Arg != 0, preformatted)) ApplyFont();
      break;
    case CommonAction::SizeStep:
      if (SizeStep(c.Arg != 0)) ApplyFont();
      break;
    case CommonAction::Map:
      ReadMap();
      return true;
    case CommonAction::Page:
      CloseSection();
      AddToCell(std::make_unique<TPage>());
      break;
    case CommonAction::Script:
      ReadScript();
      break;
    case CommonAction::None:
    case CommonAction::Dropped:
      break;
  }
  return false;
}

void THtmlBuilder::DoParagraph(int level) {
  CloseSection();
  AddToCell(std::make_unique<TParagraphSpace>());
  Reader.SkipWhiteSpace();
  int align = ParagraphAlignment();
  Reader.Next();
  while (Reader.Sym == PSy || Reader.Sym == PEndSy) {
    align = ParagraphAlignment();
    Reader.SkipWhiteSpace();
    Reader.Next();
  }
  NewSection(level, align);
}

void THtmlBuilder::DoLineBreak(int level) {
  int align = currentSection_ ? currentSection_->EnsureText() : runAlignment_;
  NewSection(level, align);
  currentSection_->SetClear(Reader.Attributes);
}

void THtmlBuilder::DoHeading(int level) {
  if (fontDepth_ >= FontStackSize) return;
  const int n = Reader.HeadingLevel;
  const int align = ParagraphAlignment();
  CloseSection();
  PushFont();
  const bool known = n >= 1 && n <= 6;
  TopFont().SetScaled(document_, known ? kHeadingSizes[static_cast<std::size_t>(n)] : kBaseSize);
  if (known) TopFont().SetStyle(TopFont().Style() | fsBold);
  AddToCell(std::make_unique<THeadingSpace>(n));
  NewSection(level, align);
}

void THtmlBuilder::DoHeadingEnd() {
  if (fontDepth_ <= 1) return;
  CloseSection();
  AddToCell(std::make_unique<THeadingSpace>(Reader.HeadingLevel));
  PopFont();
}

void THtmlBuilder::DoAddress(int level) {
  CloseSection();
  if (PushFont()) TopFont().SetStyle(TopFont().Style() | fsItalic);
  NewSection(level, runAlignment_);
}

void THtmlBuilder::DoAddressEnd() {
  CloseSection();
  PopFont();
}

void THtmlBuilder::DoAlignment(int level, std::uint8_t justify) {
  CloseSection();
  runAlignment_ = justify;
  NewSection(level, runAlignment_);
}

void THtmlBuilder::DoLinkTag(int level, bool alwaysChangeFont,
                             const std::function<void()>& beforeHref) {
  // An A with an ID names its place as an A NAME does.
  if (!Reader.ElementIds.empty()) {
    EnsureSection(level);
    PlaceElementIds();
  }
  for (const auto& a : Reader.Attributes) {
    if (a->Id == HrefSy) {
      if (beforeHref) beforeHref();
      const TAttribute* target = Reader.Attributes.Find(TargetSy);
      linkTarget_.Assign(a->Text,
                         target ? std::optional<std::string_view>(target->Text) : std::nullopt);
      inLink_ = true;
      PushFont();
      TopFont().SetStyle(TopFont().Style() | fsUnderline);
      TopFont().SetColor(document_.LinkColor);
      if (currentSection_ || alwaysChangeFont) {
        if (!currentSection_) EnsureSection(level);
        currentSection_->ChangeFontAndLink(true, document_, &linkTarget_, TopFont(), styleFlags_,
                                           verticalShift_);
      }
    } else if (a->Id == NameSy) {
      EnsureSection(level);
      anchorNames_.emplace_back(Upper(a->Text), currentSection_.get());
    }
  }
}

void THtmlBuilder::DoLinkEnd() {
  if (inLink_) {
    linkTarget_.Clear();
    inLink_ = false;
    PopFont();
  }
  if (currentSection_) {
    currentSection_->ChangeFontAndLink(false, document_, nullptr, TopFont(), styleFlags_,
                                       verticalShift_);
  }
}

bool THtmlBuilder::FontChange(bool isBaseFont, bool preTable) {
  int size = 0;
  bool haveColor = false, haveFace = false;
  TColor color = 0;
  std::string face;
  for (const auto& a : Reader.Attributes) {
    if (a->Id == SizeSy) {
      size = a->Value;
      if (a->Text.size() > 1 && (a->Text[0] == '+' || a->Text[0] == '-')) size += baseFontIndex_;
      size = std::clamp(size, 1, 7);
      if (isBaseFont) baseFontIndex_ = size;
    } else if (a->Id == ColorSy && !isBaseFont) {
      TColor c = 0;
      if (ColorFromString(a->Text, c)) {
        color = c;
        haveColor = true;
      }
    } else if (a->Id == FaceSy && !isBaseFont) {
      if (!a->Text.empty()) {
        face = a->Text.substr(0, kMaxFaceLength);
        haveFace = true;
      }
    }
  }
  if (isBaseFont && !(currentCell_ == &document_ && document_.Count() == 0)) return false;
  if (!PushFont()) return false;
  if (size == 0 && !haveColor && !haveFace) return false;
  TMyFont& top = TopFont();
  if (haveColor) top.SetColor(color);
  if (size != 0) top.SetScaled(document_, (preTable ? kPreSizes : kNormalSizes)[static_cast<std::size_t>(size)]);
  if (haveFace) top.SetName(face);
  return true;
}

bool THtmlBuilder::SizeStep(bool big) {
  int size = 0;
  for (int i = 1; i <= 7; ++i) {
    if (kNormalSizes[static_cast<std::size_t>(i)] == TopFont().SizeTwelfths) size = i;
  }
  // "BIG" at the largest size leaves it as it is.
  int next = big ? (size >= 1 && size <= 6 ? size + 1 : 0) : (size >= 2 ? size - 1 : 0);
  if (next == 0) return false;
  if (!PushFont()) return false;
  TopFont().SetScaled(document_, kNormalSizes[static_cast<std::size_t>(next)]);
  return true;
}

// --- preformatted text ---------------------------------------------------------------

void THtmlBuilder::FlushPreformatted() {
  if (currentSection_) currentSection_->AddText(prePending_);
  prePending_.clear();
}

void THtmlBuilder::ReadPreformatted(int level) {
  CloseSection();
  PushFont();
  MakeFixedPitch(TopFont());  // even when the stack was full
  auto newLine = [&] {
    CloseSection();
    currentSection_ = std::make_unique<TPreFormated>(level, TSection::JustifyLeft, &linkTarget_,
                                                     TopFont(), styleFlags_);
    verticalShift_ = ShiftNone;
    PlaceElementIds();
  };
  newLine();
  prePending_.clear();
  auto endLine = [&] {
    FlushPreformatted();
    newLine();
  };
  // Appends decoded text, breaking lines where it holds a line end.
  auto appendText = [&](std::string_view text) {
    for (char c : text) {
      if (c == '\r') {
        endLine();
      } else {
        prePending_ += c;
      }
    }
  };
  Reader.PreMode = true;
  bool done = false;
  while (!done) {
    const unsigned char ch = Reader.Ch;
    if (ch == '\r') {
      endLine();
      Reader.NextChar();
    } else if (ch == EndOfInputChar) {
      done = true;
    } else if (ch == '&') {
      Reader.Next();
      appendText(Reader.Token());
    } else if (ch != '<') {
      prePending_ += static_cast<char>(ch);
      // The ordinary bytes after it join at once, up to the end of the piece.
      if (prePending_.size() <= kPreFlushLength)
        prePending_.append(Reader.TakePreformattedText(kPreFlushLength + 1 - prePending_.size()));
      if (prePending_.size() > kPreFlushLength) FlushPreformatted();
      Reader.NextChar();
    } else {
      Reader.Next();
      if (Reader.Sym == PreEndSy) {
        done = true;
        continue;
      }
      const CommonSymbol& c = CommonSymbolOf(Reader.Sym);
      switch (c.InPre) {
        case PreformattedUse::LineEnd:
          endLine();
          if (Reader.Ch == '\r') Reader.NextChar();
          break;
        case PreformattedUse::Text:
          // A "<" that opens no tag reads as text.
          appendText(Reader.Token());
          break;
        case PreformattedUse::AfterFlush:
          FlushPreformatted();
          DoCommonAction(c, level, true);
          break;
        case PreformattedUse::AsIs:
          DoCommonAction(c, level, true);
          break;
        case PreformattedUse::Dropped:
          break;  // every other tag is dropped
      }
    }
  }
  FlushPreformatted();
  CloseSection();
  Reader.PreMode = false;
  PopFont();
  Reader.Next();
}

void THtmlBuilder::ReadPlainText() {
  PushFont();
  MakeFixedPitch(TopFont());
  auto newLine = [&] {
    CloseSection();
    currentSection_ = std::make_unique<TPreFormated>(0, TSection::JustifyLeft, &linkTarget_,
                                                     TopFont(), styleFlags_);
    verticalShift_ = ShiftNone;
  };
  newLine();
  std::string pending;
  Reader.PreMode = true;
  while (Reader.Ch != EndOfInputChar) {
    if (Reader.Ch == '\r') {
      currentSection_->AddText(pending);
      pending.clear();
      newLine();
    } else {
      pending += static_cast<char>(Reader.Ch);
      if (pending.size() > kPreFlushLength) {
        currentSection_->AddText(pending);
        pending.clear();
      }
    }
    Reader.NextChar();
  }
  currentSection_->AddText(pending);
  CloseSection();
  Reader.PreMode = false;
  PopFont();
}

// --- entry points ----------------------------------------------------------------

namespace {

template <class Start>
TParseResult Parse(TSectionList& document, TAnchorList& anchorNames, bool plainText,
                   bool catchParseError, const std::string& baseTarget, Start start) {
  THtmlBuilder builder(document, anchorNames);
  builder.Result.DocBaseTarget = baseTarget;
  start(builder.Reader);
  try {
    builder.Run(plainText);
  } catch (const EParseError&) {
    if (!catchParseError) throw;
  }
  return builder.Result;
}

}  // namespace

TParseResult ParseHtmlFile(TSectionList& document, TAnchorList& anchorNames,
                           const std::string& fileName, const std::string& baseTarget) {
  return Parse(document, anchorNames, false, true, baseTarget,
               [&](ReaderState& r) { r.StartFile(fileName); });
}

TParseResult ParseHtmlBuffer(TSectionList& document, TAnchorList& anchorNames, const char* buffer,
                             std::size_t length, const std::string& baseTarget) {
  return Parse(document, anchorNames, false, false, baseTarget,
               [&](ReaderState& r) { r.StartBuffer(buffer, length); });
}

TParseResult ParseHtmlStrings(TSectionList& document, TAnchorList& anchorNames,
                              const std::vector<std::string>& strings,
                              const std::string& baseTarget) {
  return Parse(document, anchorNames, false, false, baseTarget,
               [&](ReaderState& r) { r.StartStrings(strings); });
}

TParseResult ParseHtmlStream(TSectionList& document, TAnchorList& anchorNames,
                             std::istream& stream, const std::string& baseTarget) {
  return Parse(document, anchorNames, false, false, baseTarget,
               [&](ReaderState& r) { r.StartStream(stream); });
}

TParseResult ParseTextFile(TSectionList& document, TAnchorList& anchorNames,
                           const std::string& fileName) {
  return Parse(document, anchorNames, true, true, {},
               [&](ReaderState& r) { r.StartFile(fileName); });
}

TParseResult ParseTextStrings(TSectionList& document, TAnchorList& anchorNames,
                              const std::vector<std::string>& strings) {
  return Parse(document, anchorNames, true, false, {},
               [&](ReaderState& r) { r.StartStrings(strings); });
}

}  // namespace kiv
