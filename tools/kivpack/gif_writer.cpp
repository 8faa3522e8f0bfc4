#include "kivpack/gif_writer.h"

#include <algorithm>

namespace kiv {

namespace {

constexpr int kMaxCode = 4095;

class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void Put(int code, int size) {
    acc_ |= static_cast<std::uint32_t>(code) << bits_;
    bits_ += size;
    while (bits_ >= 8) {
      out_ += static_cast<char>(acc_ & 0xFF);
      acc_ >>= 8;
      bits_ -= 8;
    }
  }
  void Flush() {
    if (bits_ > 0) out_ += static_cast<char>(acc_ & 0xFF);
    acc_ = 0;
    bits_ = 0;
  }

 private:
  std::string& out_;
  std::uint32_t acc_ = 0;
  int bits_ = 0;
};

// The string table: (prefix code, next index) to code, open addressing, with
// a generation stamp so that a restart clears it at no cost.
class CodeTable {
 public:
  void Clear() { ++generation_; }
  int Find(int prefix, int c) const {
    const std::uint32_t key = Key(prefix, c);
    for (std::uint32_t slot = Hash(key);; slot = (slot + 1) & kMask) {
      const Entry& e = entries_[slot];
      if (e.generation != generation_) return -1;
      if (e.key == key) return e.code;
    }
  }
  void Add(int prefix, int c, int code) {
    const std::uint32_t key = Key(prefix, c);
    std::uint32_t slot = Hash(key);
    while (entries_[slot].generation == generation_) slot = (slot + 1) & kMask;
    entries_[slot] = {key, static_cast<std::uint16_t>(code), generation_};
  }

 private:
  static constexpr std::uint32_t kSize = 1 << 14;  // four times the codes, so probes stay short
  static constexpr std::uint32_t kMask = kSize - 1;
  struct Entry {
    std::uint32_t key = 0;
    std::uint16_t code = 0;
    std::uint32_t generation = 0;
  };
  static std::uint32_t Key(int prefix, int c) {
    return (static_cast<std::uint32_t>(prefix) << 8) | static_cast<std::uint32_t>(c);
  }
  static std::uint32_t Hash(std::uint32_t key) { return (key * 2654435761u) >> 18; }

  std::vector<Entry> entries_ = std::vector<Entry>(kSize);
  std::uint32_t generation_ = 1;
};

void PutWord(std::string& s, int v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

}  // namespace

std::string LzwCompress(const std::vector<std::uint8_t>& indices, int minCodeSize) {
  std::string out;
  BitWriter writer(out);
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  CodeTable table;
  int size = minCodeSize + 1;
  int next = clear + 2;
  writer.Put(clear, size);
  int prefix = -1;
  for (const std::uint8_t c : indices) {
    if (prefix < 0) {
      prefix = c;
      continue;
    }
    const int found = table.Find(prefix, c);
    if (found >= 0) {
      prefix = found;
      continue;
    }
    writer.Put(prefix, size);
    if (next <= kMaxCode) {
      table.Add(prefix, c, next++);
      // The decoder widens its codes once the table reaches the current size.
      if (next > (1 << size) && size < 12) ++size;
    }
    if (next > kMaxCode) {
      // Full: start the table over.
      writer.Put(clear, size);
      table.Clear();
      size = minCodeSize + 1;
      next = clear + 2;
    }
    prefix = c;
  }
  if (prefix >= 0) {
    writer.Put(prefix, size);
    // The decoder adds an entry for this code too, and may widen before the end code.
    if (next <= kMaxCode && next + 1 > (1 << size) && size < 12) ++size;
  }
  writer.Put(end, size);
  writer.Flush();
  return out;
}

std::string EncodeGif(const GifPicture& picture) {
  const std::size_t colours = picture.palette.size();
  if (colours == 0 || colours > 256 || picture.width < 1 || picture.height < 1 ||
      picture.width > 65535 || picture.height > 65535 ||
      picture.pixels.size() !=
          static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) ||
      picture.transparentIndex >= static_cast<int>(colours))
    return {};
  for (const std::uint8_t p : picture.pixels)
    if (p >= colours) return {};
  int tableBits = 0;  // the table holds 2 << tableBits colours
  while ((2u << tableBits) < colours) ++tableBits;
  const int minCodeSize = std::max(2, tableBits + 1);

  std::string s = "GIF89a";
  PutWord(s, picture.width);
  PutWord(s, picture.height);
  s += static_cast<char>(0x80 | (tableBits << 4) | tableBits);  // global table, its depth
  s += '\0';                                                    // background colour
  s += '\0';                                                    // aspect ratio
  for (int i = 0; i < (2 << tableBits); ++i) {
    const std::uint32_t c =
        i < static_cast<int>(colours) ? picture.palette[static_cast<std::size_t>(i)] : 0;
    s += static_cast<char>((c >> 16) & 0xFF);
    s += static_cast<char>((c >> 8) & 0xFF);
    s += static_cast<char>(c & 0xFF);
  }
  if (picture.transparentIndex >= 0) {
    s += "\x21\xF9\x04";
    s += '\x01';  // transparent colour given
    PutWord(s, 0);
    s += static_cast<char>(picture.transparentIndex);
    s += '\0';
  }
  s += '\x2C';  // image descriptor: at the origin, the whole screen, no local table
  PutWord(s, 0);
  PutWord(s, 0);
  PutWord(s, picture.width);
  PutWord(s, picture.height);
  s += '\0';
  s += static_cast<char>(minCodeSize);
  const std::string codes = LzwCompress(picture.pixels, minCodeSize);
  for (std::size_t i = 0; i < codes.size(); i += 255) {
    const std::size_t n = std::min<std::size_t>(255, codes.size() - i);
    s += static_cast<char>(n);
    s.append(codes, i, n);
  }
  s += '\0';
  s += '\x3B';  // trailer
  return s;
}

}  // namespace kiv
