#include "kivpack/page_conversion.h"

#include <array>
#include <cstdio>

#include "kivpack/single_byte_charsets.h"
#include "kivpack/transliteration.h"
#include "kivpack/utf8_pages.h"
#include "platform/utf8_decoder.h"
#include "reader/charset_declaration.h"

namespace kiv {

namespace {

// Problems listed for one page; the rest are only counted.
constexpr int kProblemsListed = 10;
constexpr int kCodePages = static_cast<int>(std::size(kCodePagesInPackingOrder));
constexpr std::uint8_t kAllPages = (1u << kCodePages) - 1;

std::string Hex(unsigned value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

std::string Utf8Of(char32_t cp) {
  // The code point may be one no code page holds.
  std::string out;
  AppendUtf8(out, cp);
  return out;
}

std::string Describe(char32_t cp) {
  return "U+" + Hex(static_cast<unsigned>(cp), 4) + " \"" + Utf8Of(cp) + "\"";
}

// For every code point of the Basic Multilingual Plane, one bit per code
// page (in packing order) that holds it.
const std::array<std::uint8_t, 0x10000>& PageMasks() {
  static const auto* masks = [] {
    auto* m = new std::array<std::uint8_t, 0x10000>{};
    for (int i = 0; i < 0x80; ++i) (*m)[i] = kAllPages;
    for (int p = 0; p < kCodePages; ++p) {
      for (int b = 0x80; b < 0x100; ++b) {
        const char32_t cp =
            ByteToCodePoint(kCodePagesInPackingOrder[p], static_cast<unsigned char>(b));
        // The stand-ins of undefined bytes are no characters a page holds.
        if ((cp >= 0x80 && cp < 0xA0) || (cp >= 0xF700 && cp < 0xF800)) continue;
        (*m)[cp] |= static_cast<std::uint8_t>(1u << p);
      }
    }
    return m;
  }();
  return *masks;
}

std::uint8_t MaskOf(char32_t cp) {
  return cp < 0x10000 ? PageMasks()[cp] : 0;
}

std::string PageNames(std::uint8_t mask) {
  std::string out;
  for (int p = 0; p < kCodePages; ++p) {
    if (!(mask & (1u << p))) continue;
    if (!out.empty()) out += ", ";
    out += "Windows-" + std::to_string(static_cast<int>(kCodePagesInPackingOrder[p]));
  }
  return out;
}

// Reads the characters of the source one at a time with their place.
class SourceReader {
 public:
  SourceReader(std::string_view bytes, const SingleByteCharset* charset)
      : bytes_(bytes), charset_(charset), pos_(charset ? 0 : (HasUtf8Bom(bytes) ? 3 : 0)) {}

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  std::size_t Pos() const { return pos_; }
  int Line() const { return line_; }
  int Column() const { return column_; }

  // The next character; valid false for a byte that is no UTF-8.
  char32_t Next(bool& valid) {
    const std::size_t at = pos_;
    char32_t cp = 0;
    std::size_t length = 1;
    valid = true;
    const auto b = static_cast<unsigned char>(bytes_[at]);
    if (b < 0x80) {
      cp = b;
    } else if (charset_) {
      cp = charset_->high[b - 0x80];
      valid = cp != 0xFFFD;
      if (!valid) cp = b;
    } else {
      valid = DecodeUtf8At(bytes_, at, cp, length) != Utf8Sequence::Invalid;
      if (!valid) cp = b;
    }
    // A line ends at LF, at CR LF, or at a CR alone.
    if (b == '\n' || (b == '\r' && (at + 1 == bytes_.size() || bytes_[at + 1] != '\n'))) {
      ++line_;
      column_ = 1;
    } else if (b != '\r') {
      ++column_;
    }
    pos_ += length;
    return cp;
  }
  // Skips the n bytes of ASCII at the current place (a declaration's name).
  void SkipAscii(std::size_t n) {
    pos_ += n;
    column_ += static_cast<int>(n);
  }
  // Place of the character last read, for messages.
  std::string Place(int line, int column) const {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
  }

 private:
  std::string_view bytes_;
  const SingleByteCharset* charset_;
  std::size_t pos_;
  int line_ = 1;
  int column_ = 1;
};

// Where a page without a declaration gets one: after its HEAD (or HTML) start
// tag, else at its start.
std::size_t DeclarationInsertPoint(std::string_view page, std::size_t start) {
  for (std::string_view tag : {std::string_view("<head"), std::string_view("<html")}) {
    for (std::size_t at = page.find('<', start); at != std::string_view::npos;
         at = page.find('<', at + 1)) {
      if (page.size() - at <= tag.size()) break;
      bool same = true;
      for (std::size_t i = 1; i < tag.size() && same; ++i) same = (page[at + i] | 0x20) == tag[i];
      const char after = page[at + tag.size()];
      if (!same ||
          !(after == '>' || after == ' ' || after == '\t' || after == '\r' || after == '\n'))
        continue;
      const std::size_t close = page.find('>', at);
      if (close != std::string_view::npos) return close + 1;
    }
  }
  return start;
}

}  // namespace

PageConversion ConvertPage(std::string_view bytes, const PageConversionOptions& options) {
  PageConversion result;
  const PageEncodingEvidence evidence = InspectPageEncoding(bytes);
  const std::vector<CharsetDeclaration> declarations = FindCharsetDeclarations(bytes);
  const SingleByteCharset* charset = nullptr;
  if (IsUtf8Page(evidence)) {
    result.from = "UTF-8";
  } else if (evidence.declared && !evidence.declaredOther && evidence.multiByte > 0) {
    // Declared and mostly written in UTF-8, with bytes that are not: text
    // damaged by an editor. Read as UTF-8; the stray bytes are problems.
    result.from = "UTF-8";
  } else if (evidence.declared && !evidence.declaredOther) {
    // A declaration over bytes that are not UTF-8 at all is a mistake of the
    // page's editor: its bytes are what the viewer has always shown.
    result.notes.push_back("declares UTF-8 but is not written in it; packed as it is");
    return result;
  } else if (!declarations.empty()) {
    const std::string_view name = declarations.front().name;
    charset = FindSingleByteCharset(name);
    if (!charset) {
      if (const auto page = CodePageOfCharsetName(name)) {
        result.codePage = *page;
      } else {
        result.notes.push_back("declares the character set \"" + std::string(name) +
                               "\", which the viewer does not know; packed as it is and read "
                               "as Windows-1252");
      }
      return result;
    }
    result.from = charset->name;
  } else {
    return result;  // no declaration and no UTF-8: Windows-1252 as it always was
  }

  // First pass: the code page, narrowed by every visible character that some
  // code page holds; a character that would leave none breaks the page.
  std::uint8_t candidates = kAllPages;
  auto problem = [&](const std::string& text) {
    if (result.problemCount++ < kProblemsListed) result.problems.push_back(text);
  };
  {
    SourceReader in(bytes, charset);
    while (!in.AtEnd()) {
      const int line = in.Line(), column = in.Column();
      bool valid = true;
      const char32_t cp = in.Next(valid);
      if (cp < 0x80) continue;
      if (!valid) {
        if (!options.substitute)
          problem(in.Place(line, column) + "byte 0x" + Hex(cp, 2) +
                  (charset ? " is undefined in " + result.from
                           : std::string(" is not valid UTF-8 (a cut-off, overlong or stray "
                                         "sequence)")));
        continue;
      }
      if (IsInvisibleCharacter(cp)) continue;
      const std::uint8_t mask = MaskOf(cp);
      if (mask == 0) {
        if (!options.substitute)
          problem(in.Place(line, column) + "character " + Describe(cp) +
                  " has no form in any code page the viewer reads (--substitute writes the "
                  "closest text for it)");
      } else if ((candidates & mask) == 0) {
        if (!options.substitute)
          problem(in.Place(line, column) + "character " + Describe(cp) + " needs " +
                  PageNames(mask) + ", but the characters before it need " + PageNames(candidates) +
                  ": a page is in one code page (--substitute writes "
                  "the closest text for it)");
      } else {
        candidates &= mask;
      }
    }
  }
  if (result.problemCount > kProblemsListed) {
    result.problems.push_back("and " + std::to_string(result.problemCount - kProblemsListed) +
                              " more");
  }
  if (result.problemCount > 0) return result;
  for (int p = 0; p < kCodePages; ++p) {
    if (candidates & (1u << p)) {
      result.codePage = kCodePagesInPackingOrder[p];
      break;
    }
  }

  // Second pass: the page in that code page, its declarations naming it.
  const CodePage page = result.codePage;
  const std::string name = CodePageName(page);
  std::string& out = result.bytes;
  out.reserve(bytes.size() + 80);
  SourceReader in(bytes, charset);
  // A page without a declaration gets one when it is not in Windows-1252,
  // which the viewer reads any page in that declares nothing.
  std::size_t insertAt = std::string_view::npos;
  if (declarations.empty() && page != CodePage::Windows1252)
    insertAt = DeclarationInsertPoint(bytes, in.Pos());
  std::size_t next = 0;  // the next declaration to rename
  while (!in.AtEnd()) {
    const std::size_t at = in.Pos();
    if (at == insertAt) {
      out += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + name + "\">";
      insertAt = std::string_view::npos;
    }
    while (next < declarations.size() && declarations[next].pos < at) ++next;
    if (next < declarations.size() && declarations[next].pos == at) {
      out += name;
      in.SkipAscii(declarations[next].length);
      ++next;
      continue;
    }
    // Runs of ASCII are copied as they are.
    const auto b = static_cast<unsigned char>(bytes[at]);
    if (b >= 0x20 && b < 0x80) {
      std::size_t end = at + 1;
      const std::size_t stop = next < declarations.size() ? declarations[next].pos : bytes.size();
      const std::size_t limit =
          std::min(stop, insertAt == std::string_view::npos ? bytes.size() : insertAt);
      while (end < limit && static_cast<unsigned char>(bytes[end]) >= 0x20 &&
             static_cast<unsigned char>(bytes[end]) < 0x80)
        ++end;
      out.append(bytes.substr(at, end - at));
      in.SkipAscii(end - at);
      continue;
    }
    const int line = in.Line(), column = in.Column();
    bool valid = true;
    const char32_t cp = in.Next(valid);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    if (valid && IsInvisibleCharacter(cp)) {
      ++result.dropped;
      continue;
    }
    unsigned char byte = 0;
    if (valid && CodePointToByte(page, cp, byte)) {
      out += static_cast<char>(byte);
      continue;
    }
    const std::string text = valid ? Transliterate(cp, page) : std::string("?");
    out += text;
    std::string shown;
    for (char c : text) shown += Utf8Of(ByteToCodePoint(page, static_cast<unsigned char>(c)));
    result.substitutions.push_back(
        in.Place(line, column) +
        (valid ? Describe(cp) : "byte 0x" + Hex(cp, 2) + " (not " + result.from + ")") +
        " written as \"" + shown + "\"");
  }
  if (insertAt != std::string_view::npos)
    out += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + name + "\">";
  result.converted = true;
  return result;
}

}  // namespace kiv
