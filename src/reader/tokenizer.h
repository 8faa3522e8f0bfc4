// The tokenizer part of the reader state: turns the bytes of one HTML
// document into symbols for the document builder. One ReaderState serves one
// parse at a time; the builder starts a source, loads the first character
// with NextChar() and the first symbol with Next(), then pulls symbols with
// Next() and reads Sym, Token(), HeadingLevel and Attributes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "reader/attributes.h"
#include "reader/symbols.h"

namespace kiv {

// The character that ends every input; a byte 26 inside the data ends it there.
constexpr unsigned char EndOfInputChar = 26;
// Capacity of Token, and the length at which text runs are cut.
constexpr int TokenCapacity = 150;
constexpr int TextRunLength = 100;
// Read sizes of the text-file and stream sources.
constexpr int FileReadBufferSize = 2000;
constexpr int StreamChunkSize = 250;

// The reader's parse error: end of input inside a comment.
class EParseError : public std::runtime_error {
 public:
  EParseError() : std::runtime_error("Open Comment at End of HTML File") {}
};

enum class SourceKind : std::uint8_t { TextFile = 0, Buffer = 1, StringList = 2, Stream = 3 };

class ReaderState {
 public:
  ReaderState();
  ~ReaderState();
  ReaderState(const ReaderState&) = delete;
  ReaderState& operator=(const ReaderState&) = delete;

  // Starting a source resets the tokenizer: no pushed-back character,
  // PreMode and ScriptMode off, Token empty, Attributes empty, HeadingLevel 0.
  // A text file by name (raises the input/output error "Can't locate file: "
  // when it cannot be opened).
  void StartFile(const std::string& fileName);
  // A memory buffer the caller owns and keeps until the parse ends.
  void StartBuffer(const char* data, std::size_t length);
  // Lines the caller owns; each is read followed by one carriage return.
  void StartStrings(const std::vector<std::string>& lines);
  // A stream the caller owns, read from its beginning in 250-byte chunks.
  void StartStream(std::istream& stream);

  // Advances one character, removing comments (unless ScriptMode); updates
  // Ch and UpCh. Raises EParseError at the end of input inside a comment.
  void NextChar();
  // While Ch is a space, tab or carriage return: NextChar().
  void SkipWhiteSpace();
  // Takes up to max bytes following Ch that NextChar would return one by one
  // unchanged and that are neither "&" nor "<", so that preformatted text is
  // read a run at a time; Ch stays as it was until the next NextChar().
  std::string_view TakePreformattedText(std::size_t max);
  // Reads the next symbol into Sym and Token (and HeadingLevel and
  // Attributes for tags).
  void Next();

  // The text of the current symbol: a text run, a decoded entity, a stray
  // character or a tag's upper-case name (at most TokenCapacity bytes).
  std::string_view Token() const { return {token_.data(), static_cast<std::size_t>(tokenLen_)}; }
  void ClearToken() { tokenLen_ = 0; }
  // Appends c unless Token is full; false when it was full.
  bool AppendToken(char c) {
    if (tokenLen_ >= TokenCapacity) return false;
    token_[static_cast<std::size_t>(tokenLen_++)] = c;
    return true;
  }
  void SetToken(std::string_view text) {
    tokenLen_ = 0;
    for (char c : text)
      if (!AppendToken(c)) break;
  }

  SourceKind Kind() const { return kind_; }

  unsigned char Ch = EndOfInputChar;    // current character after translation
  unsigned char UpCh = EndOfInputChar;  // Ch with a..z upper-cased
  Symbol Sym = EndOfInputSymbol;
  int HeadingLevel = 0;       // the digit after "H" or "/H", else 0
  bool PreMode = false;       // set by the builder inside "PRE": no white-space folding
  bool ScriptMode = false;    // set by the builder while capturing a script: no comment removal
  TAttributeList Attributes;  // of the most recent tag that takes attributes
  // The ID attributes of the start tags read (any tag, known or not), in
  // order, for whoever places them as anchors; the reader of the symbols
  // empties it as it takes them. At most MaxPendingElementIds are held: a
  // page of nothing but IDs nobody takes stays bounded.
  std::vector<std::string> ElementIds;
  static constexpr std::size_t MaxPendingElementIds = 4096;

 private:
  void Reset(SourceKind kind);
  unsigned char Raw();
  void Advance();
  void SkipWhite();
  std::string_view TakeRun(const std::array<bool, 256>& accept);
  unsigned char Refill();
  unsigned char EndReached();
  void ReadChar(bool inComment);
  void SkipDashComment();
  void ReadTag();
  bool ReadAttribute(bool keep, bool startTag);
  bool ReadTextRun();
  // Decodes the entity at "&" (current) into out; returns its length.
  int DecodeEntity(char* out);

  SourceKind kind_ = SourceKind::Buffer;
  // The window of raw bytes being read; Refill fetches the next one.
  const unsigned char* pos_ = nullptr;
  const unsigned char* end_ = nullptr;
  bool ended_ = true;       // 26 reached: the source yields only 26 from now on
  bool lastChunk_ = false;  // the stream gave a short chunk
  unsigned char pushBack_ = 0;

  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  const std::vector<std::string>* lines_ = nullptr;  // not owned
  std::size_t lineIndex_ = 0;
  std::string line_;
  std::istream* stream_ = nullptr;  // not owned
  std::unique_ptr<std::array<unsigned char, FileReadBufferSize>> readBuffer_;

  // Room past the capacity lets a text run copy 16 bytes at a time.
  static_assert(TextRunLength + 16 <= TokenCapacity);
  std::array<char, TokenCapacity> token_{};
  int tokenLen_ = 0;
  std::string value_;       // attribute text being read, reused from tag to tag
  bool tagIdRead_ = false;  // the tag being read had its ID
};

}  // namespace kiv
