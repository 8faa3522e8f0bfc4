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

  // The bits held, for a decoding loop that keeps them in registers while it
  // runs and hands them back when it stops.
  struct Window {
    std::uint64_t bits;
    int count;
  };
  Window Take() const { return {bits_, bitCount_}; }
  void Give(Window w) {
    bits_ = w.bits;
    bitCount_ = w.count;
  }
  // Tops up a window to at least size bits; fewer come back when the data
  // ends first.
  [[gnu::noinline]] Window Refill(Window w, int size) {
    Give(w);
    Fill(size);
    return Take();
  }

 private:
  // Takes bytes until at least size bits are held; false when the data ends first.
  bool Fill(int size) {
    while (bitCount_ < size) {
      if (len_ - pos_ >= 8) {
        // Whole bytes up to 56 bits at once.
        std::uint64_t word;
        std::memcpy(&word, buffer_ + pos_, 8);
        const int take = (63 - bitCount_) >> 3;
        bits_ |= (word & ((std::uint64_t{1} << (8 * take)) - 1)) << bitCount_;
        bitCount_ += 8 * take;
        pos_ += take;
        continue;
      }
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
  bool Windowed() const { return windowed_; }

  // Goes on after the first stored pixels of a plain image (not interlaced,
  // nothing left out).
  void SkipTo(std::size_t stored) {
    const auto width = static_cast<std::size_t>(t_.Width);
    y_ = static_cast<int>(stored / width);
    x_ = static_cast<int>(stored % width);
    row_ = t_.Pixels + static_cast<std::size_t>(y_) * width;
  }

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

// The string table and the state shared by both ways of storing pixels. Each
// entry past the end code is the string of its prefix code followed by its
// suffix byte; root codes stand for their own byte.
struct LzwState {
  LzwState(int minCodeSize, BitReader& reader)
      : bits(reader), clear(1 << minCodeSize), end(clear + 1), rootSize(minCodeSize + 1) {
    // Entries of an earlier table (before a clear code) are left in place; a
    // stray code may still reach them, so they start out as zeros.
    std::memset(prefix, 0, sizeof prefix);
    std::memset(suffix, 0, sizeof suffix);
    for (int i = 0; i < clear; ++i) suffix[i] = static_cast<std::uint8_t>(i);
  }

  void Restart() {
    codeSize = rootSize;
    nextFree = clear + 2;
  }

  // The first code after a clear code that is not itself a clear code.
  int FirstCode() {
    int code;
    do {
      code = bits.NextCode(codeSize);
    } while (code == clear);
    return code;
  }

  // Writes the string of code, last byte first, into stack and returns its
  // end. A code not yet in the table stands for the previous string followed
  // by its own first byte. Sets firstByte.
  std::uint8_t* Unwind(int code, std::uint8_t* stack) {
    std::uint8_t* sp = stack;
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
    return sp;
  }

  // Adds the previous string plus the first byte of the current one, while
  // there is room; returns whether an entry was added.
  bool AddEntry() {
    if (nextFree > kLastCode) return false;
    prefix[nextFree] = static_cast<std::uint16_t>(oldCode);
    suffix[nextFree] = firstByte;
    ++nextFree;
    if (nextFree >= (1 << codeSize) && (1 << codeSize) <= kLastCode) ++codeSize;
    return true;
  }

  BitReader& bits;
  const int clear;
  const int end;
  const int rootSize;
  int codeSize = 0;
  int nextFree = 0;
  int oldCode = 0;
  std::uint8_t firstByte = 0;
  std::uint16_t prefix[kMaxCodes];
  std::uint8_t suffix[kMaxCodes];
};

// How storing ended: whether every pixel was stored, and whether the last
// string fitted whole.
struct StoreResult {
  bool full = false;
  bool lastWhole = true;
};

// Stores through the row cursor: interlaced frames and frames of which only
// a window is kept.
StoreResult DecodeRows(LzwState& s, RowCursor& out, int code) {
  std::uint8_t stack[kStackSize];
  StoreResult r;
  while (!out.Full()) {
    if (code == s.clear) {
      s.Restart();
      code = s.FirstCode();
      if (code < 0 || code == s.end) break;
      s.oldCode = code;
      s.firstByte = static_cast<std::uint8_t>(code);
      if (!out.Put(s.firstByte)) break;
    } else if (code == s.end) {
      break;
    } else {
      std::uint8_t* sp = s.Unwind(code, stack);
      s.AddEntry();
      s.oldCode = code;
      r.lastWhole = out.PutReversed(stack, sp) == 0;
      if (out.Full()) break;
    }
    code = s.bits.NextCode(s.codeSize);
    if (code < 0) break;
  }
  out.Finish();
  r.full = out.Full();
  return r;
}

// Copies count bytes that lie wholly before dst in the same buffer (src +
// count <= dst). Short strings, the common case in photos, are moved as one
// or two 8-byte words when the buffer has room behind dst; the bytes written
// past dst + count are then overwritten by the strings that follow, and the
// caller restores whatever lies past the last string.
inline void CopyEarlier(std::uint8_t* dst, const std::uint8_t* src, std::size_t count,
                        const std::uint8_t* limit) {
  if (count <= 16 && limit - dst >= 16) {
    std::uint64_t a, b;
    std::memcpy(&a, src, 8);
    std::memcpy(&b, src + 8, 8);
    std::memcpy(dst, &a, 8);
    if (count > 8) std::memcpy(dst + 8, &b, 8);
  } else {
    std::memcpy(dst, src, count);
  }
}

// Stores a whole frame top to bottom into one run of bytes. Every string the
// table holds was stored earlier in the same run, so an entry is kept as the
// place and length of its first occurrence and decoding a code is a copy from
// there; no chain of prefixes is walked. The chains are still kept: a code
// the table cannot hold yet (beyond the next free entry), or a string code
// right after a clear code, makes the occurrences unreliable, and the rest of
// the frame is then decoded through the row cursor by walking the chains,
// which handles any stream.
StoreResult DecodeFlat(LzwState& s, const TGIFPixelTarget& target) {
  std::uint8_t* const pixels = target.Pixels;
  const std::size_t size =
      static_cast<std::size_t>(target.Width) * static_cast<std::size_t>(target.Height);
  const std::uint8_t* const limit = pixels + size;
  std::uint32_t offset[kMaxCodes];
  std::uint16_t length[kMaxCodes];
  const int clear = s.clear;
  const int end = s.end;
  BitReader& reader = s.bits;
  BitReader::Window w = reader.Take();
  int codeSize = s.rootSize;
  int nextFree = clear + 2;
  int oldCode = 0;
  std::uint8_t firstByte = 0;
  std::size_t pos = 0;      // pixels stored
  std::size_t prevPos = 0;  // where the previous string starts
  std::size_t prevLen = 0;
  StoreResult r;
  const auto next = [&]() -> int {
    if (w.count < codeSize) {
      w = reader.Refill(w, codeSize);
      if (w.count < codeSize) return -1;
    }
    const int code = static_cast<int>(w.bits & ((1u << codeSize) - 1));
    w.bits >>= codeSize;
    w.count -= codeSize;
    return code;
  };
  const auto handOver = [&](int code) {
    s.codeSize = codeSize;
    s.nextFree = nextFree;
    s.oldCode = oldCode;
    s.firstByte = firstByte;
    reader.Give(w);
    std::memset(pixels + pos, target.Fill, std::min<std::size_t>(16, size - pos));
    RowCursor rows(target);
    rows.SkipTo(pos);
    return DecodeRows(s, rows, code);
  };

  // The first code delivered is a clear code, produced without reading.
  int code = clear;
  for (;;) {
    std::uint8_t* const dst = pixels + pos;
    const std::size_t room = size - pos;
    std::size_t len;
    if (code > end && code < nextFree) {
      len = length[code];
      const std::uint8_t* src = pixels + offset[code];
      firstByte = *src;
      CopyEarlier(dst, src, len < room ? len : room, limit);
    } else if (code < clear) {
      *dst = static_cast<std::uint8_t>(code);
      firstByte = *dst;
      len = 1;
    } else if (code == clear) {
      codeSize = s.rootSize;
      nextFree = clear + 2;
      do {
        code = next();
      } while (code == clear);
      if (code < 0 || code == end) break;
      oldCode = code;
      firstByte = static_cast<std::uint8_t>(code);
      *dst = firstByte;
      prevPos = pos;
      prevLen = 1;
      if (++pos == size) {
        r.full = true;
        break;
      }
      if (code > end) {
        // A string code with an empty table.
        code = next();
        if (code < 0) break;
        return handOver(code);
      }
      code = next();
      if (code < 0) break;
      continue;
    } else if (code == end) {
      break;
    } else if (code == nextFree) {
      // The entry being made: the previous string and its own first byte.
      len = prevLen + 1;
      const std::uint8_t* src = pixels + prevPos;
      firstByte = *src;
      if (len <= room) {
        CopyEarlier(dst, src, prevLen, limit);
        dst[prevLen] = firstByte;
      } else {
        CopyEarlier(dst, src, room, limit);
      }
    } else {
      return handOver(code);
    }
    if (nextFree <= kLastCode) {
      s.prefix[nextFree] = static_cast<std::uint16_t>(oldCode);
      s.suffix[nextFree] = firstByte;
      offset[nextFree] = static_cast<std::uint32_t>(prevPos);
      length[nextFree] = static_cast<std::uint16_t>(prevLen + 1);
      ++nextFree;
      if (nextFree >= (1 << codeSize) && (1 << codeSize) <= kLastCode) ++codeSize;
    }
    oldCode = code;
    if (len >= room) {
      pos = size;
      r.full = true;
      r.lastWhole = len == room;
      break;
    }
    prevPos = pos;
    prevLen = len;
    pos += len;
    code = next();
    if (code < 0) break;
  }
  s.codeSize = codeSize;
  reader.Give(w);
  // Word copies may have written past the last string.
  std::memset(pixels + pos, target.Fill, std::min<std::size_t>(16, size - pos));
  return r;
}

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

  BitReader bits(stream, warn);
  LzwState state(minCodeSize, bits);
  state.Restart();
  StoreResult stored;
  RowCursor rows(target);
  if (!rows.Full() && !rows.Windowed() && !target.Interlaced) {
    stored = DecodeFlat(state, target);
  } else {
    // The first code delivered is a clear code, produced without reading.
    stored = DecodeRows(state, rows, state.clear);
  }
  // One more code after the last pixel, so that an end code right behind it
  // is taken with the rest of the image's sub-blocks.
  if (stored.full && stored.lastWhole && !bits.Ended()) bits.NextCode(state.codeSize);
  // The image's data always ends at its terminator, whatever the last code
  // was, so that the next block is read from the right place.
  if (!bits.Ended()) SkipSubBlocks(stream);
}

}  // namespace kiv
