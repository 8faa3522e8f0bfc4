#include "reader/tokenizer.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/file_error.h"
#include "platform/paths.h"
#include "reader/entities.h"
#include "reader/string_routines.h"

namespace kiv {

namespace {

constexpr std::array<unsigned char, 256> kUpper = [] {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c)
    t[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return t;
}();

// Characters that may start or continue a text run: all but the control
// characters other than carriage return, "&", "<" and ">".
constexpr std::array<bool, 256> kInRun = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = c == '\r' || (c >= 32 && c != '&' && c != '<' && c != '>');
  return t;
}();

// Characters that continue a run as they stand: neither white space nor
// special to the steps of a run or to NextChar.
constexpr std::array<bool, 256> kPlain = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = c > 32 && c != '&' && c != '<' && c != '>';
  return t;
}();

// Bytes that NextChar returns unchanged and that an unquoted word value
// (kWordByte) or a quoted one (kQuotedByte*) appends as they stand.
constexpr std::array<bool, 256> kWordByte = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = c > 32 && c != '<' && c != '>';
  return t;
}();
constexpr std::array<bool, 256> kLetter = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return t;
}();
constexpr std::array<bool, 256> QuotedBytes(char quote) {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = c >= 32 && c != '<' && c != '&' && c != quote;
  return t;
}
constexpr std::array<bool, 256> kQuotedByteDouble = QuotedBytes('"');
constexpr std::array<bool, 256> kQuotedByteSingle = QuotedBytes('\'');
// Bytes of preformatted text that NextChar returns unchanged and the builder
// appends as they stand.
constexpr std::array<bool, 256> kPreformattedByte = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = c >= 32 && c != '<' && c != '&';
  return t;
}();

bool IsLetter(unsigned char up) {
  return up >= 'A' && up <= 'Z';
}
bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

ReaderState::ReaderState() = default;
ReaderState::~ReaderState() = default;

void ReaderState::Reset(SourceKind kind) {
  kind_ = kind;
  pos_ = end_ = nullptr;
  ended_ = false;
  lastChunk_ = false;
  pushBack_ = 0;
  file_.reset();
  lines_ = nullptr;
  lineIndex_ = 0;
  stream_ = nullptr;
  Ch = UpCh = EndOfInputChar;
  Sym = EndOfInputSymbol;
  tokenLen_ = 0;
  HeadingLevel = 0;
  PreMode = false;
  ScriptMode = false;
  Attributes.Recycle();
  ElementIds.clear();
}

void ReaderState::StartFile(const std::string& fileName) {
  Reset(SourceKind::TextFile);
  ended_ = true;  // until the file is open
  file_.reset(std::fopen(NativePath(fileName).c_str(), "rb"));
  if (!file_) throw CantLocateFile(fileName);
  if (!readBuffer_) readBuffer_ = std::make_unique<std::array<unsigned char, FileReadBufferSize>>();
  ended_ = false;
}

void ReaderState::StartBuffer(const char* data, std::size_t length) {
  Reset(SourceKind::Buffer);
  if (data && length > 0) {
    pos_ = reinterpret_cast<const unsigned char*>(data);
    end_ = pos_ + length;
  }
}

void ReaderState::StartStrings(const std::vector<std::string>& lines) {
  Reset(SourceKind::StringList);
  lines_ = &lines;
}

void ReaderState::StartStream(std::istream& stream) {
  Reset(SourceKind::Stream);
  stream_ = &stream;
  stream.clear();
  stream.seekg(0);
  if (stream.fail()) stream.clear();  // a stream that cannot seek is read from where it stands
  if (!readBuffer_) readBuffer_ = std::make_unique<std::array<unsigned char, FileReadBufferSize>>();
}

unsigned char ReaderState::EndReached() {
  ended_ = true;
  pos_ = end_ = nullptr;
  return EndOfInputChar;
}

// The next raw byte of the source; 26 for ever once 26 is met.
inline unsigned char ReaderState::Raw() {
  if (pos_ != end_) [[likely]] {
    unsigned char c = *pos_++;
    if (c == EndOfInputChar) [[unlikely]]
      return EndReached();
    return c;
  }
  return Refill();
}

unsigned char ReaderState::Refill() {
  if (ended_) return EndOfInputChar;
  std::size_t n = 0;
  switch (kind_) {
    case SourceKind::Buffer:
      return EndReached();
    case SourceKind::TextFile:
      n = std::fread(readBuffer_->data(), 1, FileReadBufferSize, file_.get());
      if (n == 0) return EndReached();
      pos_ = readBuffer_->data();
      break;
    case SourceKind::StringList:
      if (!lines_ || lineIndex_ >= lines_->size()) return EndReached();
      line_.assign((*lines_)[lineIndex_++]);
      line_ += '\r';
      pos_ = reinterpret_cast<const unsigned char*>(line_.data());
      n = line_.size();
      break;
    case SourceKind::Stream: {
      if (lastChunk_ || !stream_) return EndReached();
      stream_->read(reinterpret_cast<char*>(readBuffer_->data()), StreamChunkSize);
      n = static_cast<std::size_t>(stream_->gcount());
      if (n < static_cast<std::size_t>(StreamChunkSize)) lastChunk_ = true;
      if (n == 0) return EndReached();
      pos_ = readBuffer_->data();
      break;
    }
  }
  end_ = pos_ + n;
  return Raw();
}

// Reads one character with line-end and tab translation.
inline void ReaderState::ReadChar(bool inComment) {
  unsigned char c;
  if (pushBack_ != 0) {
    c = pushBack_;
    pushBack_ = 0;
  } else {
    c = Raw();
  }
  if (c < 32) [[unlikely]] {
    if (c == '\n') {
      unsigned char extra = Raw();
      if (extra != '\r') pushBack_ = extra;
      c = '\r';
    } else if (c == '\r') {
      unsigned char extra = Raw();
      if (extra != '\n') pushBack_ = extra;
    } else if (c == '\t') {
      c = ' ';
    }
  }
  Ch = c;
  UpCh = kUpper[c];
  if (c == EndOfInputChar && inComment) [[unlikely]]
    throw EParseError();
}

// NextChar for the common case: an ordinary byte waiting in the window and
// nothing pushed back. Bytes below 32 (line ends, tabs, 26) and "<" take the
// full path.
inline void ReaderState::Advance() {
  if (pushBack_ == 0 && pos_ != end_) [[likely]] {
    const unsigned char c = *pos_;
    if (c >= 32 && c != '<') [[likely]] {
      ++pos_;
      Ch = c;
      UpCh = kUpper[c];
      return;
    }
  }
  NextChar();
}

inline void ReaderState::SkipWhite() {
  while (Ch == ' ' || Ch == '\r' || Ch == '\t') Advance();
}

// Takes, straight from the window, the bytes that accept marks; accept may
// mark only bytes NextChar would return unchanged (32 and above, not "<").
inline std::string_view ReaderState::TakeRun(const std::array<bool, 256>& accept) {
  if (pushBack_ != 0) return {};
  const unsigned char* const start = pos_;
  const unsigned char* p = start;
  while (p != end_ && accept[*p]) ++p;
  pos_ = p;
  return {reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start)};
}

std::string_view ReaderState::TakePreformattedText(std::size_t max) {
  if (pushBack_ != 0) return {};
  const unsigned char* const start = pos_;
  const unsigned char* const stop = start + std::min<std::ptrdiff_t>(end_ - start, max);
  const unsigned char* p = start;
  while (p != stop && kPreformattedByte[*p]) ++p;
  pos_ = p;
  return {reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start)};
}

void ReaderState::NextChar() {
  for (;;) {
    ReadChar(false);
    if (UpCh != '<' || ScriptMode) [[likely]]
      return;
    // Nothing is pushed back right after "<", so the look-ahead is raw.
    unsigned char following = Raw();
    if (following != '!') {
      pushBack_ = following;
      return;
    }
    ReadChar(true);
    if (Ch == '-') {
      ReadChar(true);
      if (Ch == '-') {
        SkipDashComment();
        continue;
      }
    }
    while (UpCh != '>') ReadChar(true);
  }
}

// "--", optional further dashes and white space, then ">" end the comment.
void ReaderState::SkipDashComment() {
  ReadChar(true);
  for (;;) {
    while (UpCh != '-') ReadChar(true);
    ReadChar(true);
    if (Ch != '-') continue;
    while (Ch == '-') ReadChar(true);
    while (Ch == ' ' || Ch == '\r') ReadChar(true);
    if (UpCh == '>') return;
  }
}

void ReaderState::SkipWhiteSpace() {
  SkipWhite();
}

void ReaderState::Next() {
  tokenLen_ = 0;
  if (Ch == EndOfInputChar) {
    Sym = EndOfInputSymbol;
  } else if (Ch == '<') {
    ReadTag();
  } else if (Ch == '&') {
    char text[MaxEntityNameLength + 2];
    int n = DecodeEntity(text);
    for (int i = 0; i < n; ++i) AppendToken(text[i]);
    Sym = TextSymbol;
  } else if (ReadTextRun()) {
    Sym = TextSymbol;
  } else {
    Sym = StrayCharSymbol;
    AppendToken(static_cast<char>(Ch));
    Advance();
  }
}

bool ReaderState::ReadTextRun() {
  while (tokenLen_ < TextRunLength && kInRun[Ch]) {
    if (!PreMode && (Ch == ' ' || Ch == '\r')) {
      token_[static_cast<std::size_t>(tokenLen_++)] = ' ';
      SkipWhite();
      continue;
    }
    token_[static_cast<std::size_t>(tokenLen_++)] = static_cast<char>(Ch);
    // Ordinary bytes waiting in the window join the run directly, as the
    // steps above would add them one by one; locals keep the loop in registers.
    if (pushBack_ == 0) {
      const unsigned char* p = pos_;
      const unsigned char* const e = end_;
      char* const token = token_.data();
      char* out = token + tokenLen_;
      const unsigned char* const stop =
          p + std::min<std::ptrdiff_t>(TextRunLength - tokenLen_, e - p);
      const bool pre = PreMode;
      // A byte joins when it is plain, or a space followed by a plain byte
      // (a single space between words); in PRE every space joins.
      while (p < stop) {
#if defined(__SSE2__)
        // Sixteen bytes at a time: copy them all (Token has room past the
        // run length) and keep those before the first one that is not plain.
        if (e - p >= 16) {
          const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
          __m128i plain = _mm_or_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(32)),
                                       _mm_cmplt_epi8(v, _mm_setzero_si128()));
          if (pre) plain = _mm_or_si128(plain, _mm_cmpeq_epi8(v, _mm_set1_epi8(' ')));
          const __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('&')),
                                                            _mm_cmpeq_epi8(v, _mm_set1_epi8('<'))),
                                               _mm_cmpeq_epi8(v, _mm_set1_epi8('>')));
          plain = _mm_andnot_si128(special, plain);
          const unsigned stopMask = ~static_cast<unsigned>(_mm_movemask_epi8(plain)) & 0xFFFFu;
          std::ptrdiff_t n = stopMask ? __builtin_ctz(stopMask) : 16;
          n = std::min(n, stop - p);
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
          out += n;
          p += n;
          if (n == 16) continue;
          if (p == stop) break;
        }
#endif
        const unsigned char c = *p;
        const unsigned char next = p + 1 < e ? p[1] : 0;
        // Bitwise on purpose: no branch per character.
        const bool joins = static_cast<int>(kPlain[c]) | ((c == ' ') & (pre | kPlain[next]));
        if (!joins) break;
        *out++ = static_cast<char>(c);
        ++p;
      }
      pos_ = p;
      tokenLen_ = static_cast<int>(out - token);
    }
    NextChar();
  }
  return tokenLen_ > 0;
}

void ReaderState::ReadTag() {
  Advance();
  bool endTag = false;
  if (UpCh == '/') {
    endTag = true;
    Advance();
  }
  Sym = UnknownTagSymbol;
  while (IsLetter(UpCh)) {
    AppendToken(static_cast<char>(UpCh));  // letters past the capacity are dropped
    for (unsigned char c : TakeRun(kLetter)) AppendToken(static_cast<char>(kUpper[c]));
    Advance();
  }
  Symbol found = LookupTag(Token());
  if (found != UnknownTagSymbol) Sym = endTag ? EndSymbolOf(found) : found;
  SkipWhite();
  HeadingLevel = 0;
  if ((Sym == HSy || Sym == HEndSy) && UpCh >= '1' && UpCh <= '6') {
    HeadingLevel = UpCh - '0';
    Advance();
  }
  const bool keep = !endTag && TakesAttributes(Sym);
  if (keep) Attributes.Recycle();
  tagIdRead_ = false;
  while (ReadAttribute(keep, !endTag)) {
  }
  while (UpCh != '>' && UpCh != EndOfInputChar) Advance();
  Advance();
}

bool ReaderState::ReadAttribute(bool keep, bool startTag) {
  SkipWhite();
  if (!IsLetter(UpCh)) return false;
  char name[TokenCapacity];
  std::size_t nameLen = 0;
  while (IsLetter(UpCh)) {
    if (nameLen < sizeof name) name[nameLen++] = static_cast<char>(UpCh);
    for (unsigned char c : TakeRun(kLetter))
      if (nameLen < sizeof name) name[nameLen++] = static_cast<char>(kUpper[c]);
    Advance();
  }
  const Symbol id = LookupAttribute(std::string_view(name, nameLen));
  SkipWhite();
  value_.clear();
  std::int32_t number = id == BorderSy ? 1 : 0;  // a bare BORDER is a border of 1
  if (UpCh == '=') {
    Advance();
    SkipWhite();
    if (UpCh == '"' || UpCh == '\'') {
      const unsigned char quote = UpCh;
      Advance();
      while (UpCh != quote && UpCh != EndOfInputChar) {
        if (Ch == '\r') {
          Advance();
        } else if (Ch == '&') {
          char text[MaxEntityNameLength + 2];
          value_.append(text, static_cast<std::size_t>(DecodeEntity(text)));
        } else {
          value_ += static_cast<char>(Ch);
          value_.append(TakeRun(quote == '"' ? kQuotedByteDouble : kQuotedByteSingle));
          Advance();
        }
      }
      if (UpCh == quote) Advance();
      std::size_t first = 0, last = value_.size();
      while (first < last && static_cast<unsigned char>(value_[first]) <= 32) ++first;
      while (last > first && static_cast<unsigned char>(value_[last - 1]) <= 32) --last;
      value_.erase(last);
      value_.erase(0, first);
      std::string_view digits = value_;
      if (!digits.empty() && digits.back() == '%') digits.remove_suffix(1);
      number = StrToIntOrZero(digits);
    } else if (UpCh == '+' || UpCh == '-' || IsDigit(UpCh)) {
      while (Ch != ' ' && Ch != '\t' && Ch != '\r' && Ch != EndOfInputChar && Ch != '%' &&
             Ch != '>') {
        value_ += static_cast<char>(UpCh);
        Advance();
      }
      SkipWhite();
      number = StrToIntOrZero(value_);
      if (Ch == '%') {
        value_ += '%';
        Advance();
      }
    } else {
      while (Ch != ' ' && Ch != '\t' && Ch != '\r' && Ch != EndOfInputChar && Ch != '>') {
        value_ += static_cast<char>(Ch);
        value_.append(TakeRun(kWordByte));
        Advance();
      }
    }
  }
  if (keep) Attributes.AddReused(id, value_, number);
  // ID is not in the attribute table: any element's ID (the first of a tag)
  // names a place in the page, as A NAME does.
  if (startTag && !tagIdRead_ && id == UnknownAttributeSymbol && nameLen == 2 && name[0] == 'I' &&
      name[1] == 'D') {
    tagIdRead_ = true;
    if (!value_.empty() && ElementIds.size() < MaxPendingElementIds) ElementIds.push_back(value_);
  }
  return true;
}

int ReaderState::DecodeEntity(char* out) {
  Advance();  // past "&"
  int n = 0;
  if (Ch == '#') {
    Advance();
    char digits[4];
    int count = 0;
    int value = 0;
    while (count < 4 && IsDigit(Ch)) {
      digits[count++] = static_cast<char>(Ch);
      value = value * 10 + (Ch - '0');
      Advance();
    }
    out[n++] = '&';
    out[n++] = '#';
    if (count == 4 && IsDigit(Ch)) {  // too long: literal text, the fifth digit stays
      for (int i = 0; i < count; ++i) out[n++] = digits[i];
      return n;
    }
    bool semicolon = false;
    if (Ch == ';') {
      semicolon = true;
      Advance();
    }
    if (count > 0 && value <= 255 && (value == 9 || value == 10 || value > 31)) {
      out[0] = value == 9 ? ' ' : static_cast<char>(value);
      return 1;
    }
    for (int i = 0; i < count; ++i) out[n++] = digits[i];
    if (semicolon) out[n++] = ';';
    return n;
  }
  char name[MaxEntityNameLength];
  int len = 0;
  while (len < MaxEntityNameLength && (IsLetter(UpCh) || IsDigit(UpCh))) {
    name[len++] = static_cast<char>(Ch);
    Advance();
  }
  out[n++] = '&';
  if (len == MaxEntityNameLength && (IsLetter(UpCh) || IsDigit(UpCh))) {
    for (int i = 0; i < len; ++i) out[n++] = name[i];  // too long: the rest is ordinary text
    return n;
  }
  bool semicolon = false;
  if (Ch == ';') {
    semicolon = true;
    Advance();
  }
  unsigned char decoded = 0;
  if (LookupEntity(std::string_view(name, static_cast<std::size_t>(len)), decoded)) {
    out[0] = static_cast<char>(decoded);
    return 1;
  }
  for (int i = 0; i < len; ++i) out[n++] = name[i];
  if (semicolon) out[n++] = ';';
  return n;
}

}  // namespace kiv
