#include "imaging/gif_lzw_decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace kiv {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;  // 4096 table entries
constexpr int kLastCode = kMaxCodes - 1;      // 4095
// A string never holds more than one byte per table entry plus the byte of
// the code-not-yet-in-table case; a longer walk can only be a loop.
constexpr int kStackSize = kMaxCodes + 2;

// Takes codes least significant bit first from the data sub-blocks. Bits
// left over from one sub-block continue into the next one.
class BitReader {
 public:
  BitReader(ReadStream& stream, const TGIFWarningHandler& warn) : stream_(stream), warn_(warn) {}

  // The next code of size bits, or -1 when the data has ended.
  int NextCode(int size) {
    if (bitCount_ < size && !Fill(size)) return -1;
    int code = static_cast<int>(bits_ & ((1u << size) - 1));
    bits_ >>= size;
    bitCount_ -= size;
    return code;
  }

  // True once the zero-size terminator or the end of the stream was seen.
  bool Ended() const { return ended_; }

 private:
  // Takes bytes until at least size bits are held; false when the data ends first.
  bool Fill(int size) {
    while (bitCount_ < size) {
      while (pos_ < len_ && bitCount_ <= 56) {
        bits_ |= static_cast<std::uint64_t>(buffer_[pos_++]) << bitCount_;
        bitCount_ += 8;
      }
      if (bitCount_ >= size) break;
      if (ended_) {
        if (bitCount_ == 0 && warn_) warn_(TGIFSeverity::Warning, sGIFBitBufferUnderrun);
        return false;
      }
      if (!ReadSubBlock()) return false;
    }
    return true;
  }

  bool ReadSubBlock() {
    int size = stream_.ReadByte();
    if (size <= 0) {
      // At the terminator NextCode looks at the bits left; end of stream at
      // a size byte simply ends the data.
      ended_ = true;
      return size == 0;
    }
    len_ = static_cast<int>(stream_.Read(buffer_, static_cast<std::size_t>(size)));
    pos_ = 0;
    if (len_ < size && warn_) warn_(TGIFSeverity::Warning, sGIFPrematureEnd);
    return true;
  }
  ReadStream& stream_;
  const TGIFWarningHandler& warn_;
  std::uint8_t buffer_[255];
  int len_ = 0;
  int pos_ = 0;
  std::uint64_t bits_ = 0;
  int bitCount_ = 0;
  bool ended_ = false;
};

// Visits the rows of the image in storing order, plain or interlaced. When
// only a window of the image is kept, each row is decoded into a scratch row
// and its kept part copied out, so the hot loop is the same either way.
class RowCursor {
 public:
  explicit RowCursor(const TGIFPixelTarget& t) : t_(t) {
    full_ = t.Pixels == nullptr || t.Width <= 0 || t.Height <= 0;
    if (full_) return;
    windowed_ = t.KeptWidth > 0 && (t.KeptLeft != 0 || t.KeptTop != 0 || t.KeptWidth != t.Width ||
                                    t.KeptHeight != t.Height);
    if (windowed_) {
      scratch_.assign(static_cast<std::size_t>(t.Width), 0);
      row_ = scratch_.data();
    } else {
      row_ = t.Pixels;
    }
  }
  bool Full() const { return full_; }

  // Stores one pixel; returns false once the image is full.
  bool Put(std::uint8_t value) {
    row_[x_] = value;
    if (++x_ == t_.Width && !NextRow()) return false;
    return true;
  }

  // Stores the string held reversed in [first, last); returns the number of
  // bytes not stored because the image became full.
  std::ptrdiff_t PutReversed(const std::uint8_t* first, const std::uint8_t* last) {
    while (last > first) {
      const std::ptrdiff_t room = t_.Width - x_;
      std::ptrdiff_t n = last - first < room ? last - first : room;
      std::uint8_t* out = row_ + x_;
      for (std::ptrdiff_t i = 0; i < n; ++i) out[i] = *--last;
      x_ += static_cast<int>(n);
      if (x_ == t_.Width && !NextRow()) return last - first;
    }
    return 0;
  }

  // Keeps the part of a row the data ended in.
  void Finish() {
    if (windowed_ && !full_) KeepRow(x_);
  }

 private:
  bool NextRow() {
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    if (windowed_) KeepRow(t_.Width);
    x_ = 0;
    if (!t_.Interlaced) {
      ++y_;
    } else {
      y_ += kStep[pass_];
      // A pass whose first row lies beyond the image is passed over.
      while (y_ >= t_.Height) {
        if (++pass_ == 4) break;
        y_ = kStart[pass_];
      }
    }
    if (y_ >= t_.Height || pass_ == 4) {
      full_ = true;
      return false;
    }
    if (!windowed_)
      row_ = t_.Pixels + static_cast<std::size_t>(y_) * static_cast<std::size_t>(t_.Width);
    return true;
  }

  // Copies the kept columns of the scratch row's first filled pixels.
  void KeepRow(int filled) {
    if (y_ < t_.KeptTop || y_ >= t_.KeptTop + t_.KeptHeight) return;
    const int from = t_.KeptLeft;
    const int to = std::min(t_.KeptLeft + t_.KeptWidth, filled);
    if (to <= from) return;
    std::memcpy(t_.Pixels + static_cast<std::size_t>(y_ - t_.KeptTop) *
                                static_cast<std::size_t>(t_.KeptWidth),
                scratch_.data() + from, static_cast<std::size_t>(to - from));
  }

  const TGIFPixelTarget& t_;
  std::vector<std::uint8_t> scratch_;
  std::uint8_t* row_ = nullptr;
  int x_ = 0;
  int y_ = 0;
  int pass_ = 0;
  bool full_ = false;
  bool windowed_ = false;
};

}  // namespace

void SkipSubBlocks(ReadStream& stream) {
  for (;;) {
    int size = stream.ReadByte();
    if (size <= 0) return;
    stream.Skip(size);
  }
}

void DecodeGifImageData(ReadStream& stream, int minCodeSize, const TGIFPixelTarget& target,
                        const TGIFWarningHandler& warn) {
  // Root codes beyond 11 bits would leave no room in the 4096-entry table.
  if (minCodeSize < 0 || minCodeSize >= kMaxCodeBits) throw GIFException(sGIFInvalidData);

  std::uint16_t prefix[kMaxCodes];
  std::uint8_t suffix[kMaxCodes];
  std::uint8_t stack[kStackSize];
  std::memset(prefix, 0, sizeof prefix);
  std::memset(suffix, 0, sizeof suffix);

  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  for (int i = 0; i < clear; ++i) suffix[i] = static_cast<std::uint8_t>(i);

  BitReader bits(stream, warn);
  RowCursor out(target);
  int codeSize = minCodeSize + 1;
  int nextFree = clear + 2;
  int oldCode = 0;
  std::uint8_t firstByte = 0;
  bool stackEmpty = true;

  // The first code delivered is a clear code, produced without reading.
  int code = clear;
  while (!out.Full()) {
    if (code == clear) {
      codeSize = minCodeSize + 1;
      nextFree = clear + 2;
      do {
        code = bits.NextCode(codeSize);
      } while (code == clear);
      if (code < 0 || code == end) break;
      oldCode = code;
      firstByte = static_cast<std::uint8_t>(code);
      if (!out.Put(firstByte)) break;
    } else if (code == end) {
      break;
    } else {
      const int inCode = code;
      std::uint8_t* sp = stack;
      // Code not yet in the table: the previous string plus its first byte.
      if (code >= nextFree) {
        *sp++ = firstByte;
        code = oldCode;
      }
      while (code >= clear) {
        if (sp - stack >= kMaxCodes) throw GIFException(sGIFCircularTable);
        *sp++ = suffix[code];
        if (prefix[code] == code) throw GIFException(sGIFCircularTable);
        code = prefix[code];
      }
      firstByte = suffix[code];
      *sp++ = firstByte;
      if (nextFree <= kLastCode) {
        prefix[nextFree] = static_cast<std::uint16_t>(oldCode);
        suffix[nextFree] = firstByte;
        ++nextFree;
        if (nextFree >= (1 << codeSize) && (1 << codeSize) <= kLastCode) ++codeSize;
      }
      oldCode = inCode;
      stackEmpty = out.PutReversed(stack, sp) == 0;
      if (out.Full()) break;
    }
    code = bits.NextCode(codeSize);
    if (code < 0) break;
  }

  out.Finish();
  // One more code after the last pixel, so that an end code right behind it
  // is taken with the rest of the image's sub-blocks.
  if (out.Full() && stackEmpty && !bits.Ended()) bits.NextCode(codeSize);
  // The image's data always ends at its terminator, whatever the last code
  // was, so that the next block is read from the right place.
  if (!bits.Ended()) SkipSubBlocks(stream);
}

}  // namespace kiv
