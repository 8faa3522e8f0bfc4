// A small GIF writer for tests and benchmarks: header, colour tables,
// extensions, LZW-compressed frames and hand-made code streams.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/color.h"

namespace kiv::testing {

inline void PutWord(std::string& s, int v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

// Packs codes (value, bit size) least significant bit first.
inline std::string PackCodes(const std::vector<std::pair<int, int>>& codes) {
  std::string out;
  std::uint32_t acc = 0;
  int bits = 0;
  for (auto [code, size] : codes) {
    acc |= static_cast<std::uint32_t>(code) << bits;
    bits += size;
    while (bits >= 8) {
      out += static_cast<char>(acc & 0xFF);
      acc >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) out += static_cast<char>(acc & 0xFF);
  return out;
}

// Splits data into sub-blocks of at most blockSize bytes plus the terminator.
inline std::string SubBlocks(const std::string& data, std::size_t blockSize = 255,
                             bool terminator = true) {
  std::string out;
  for (std::size_t i = 0; i < data.size(); i += blockSize) {
    std::size_t n = std::min(blockSize, data.size() - i);
    out += static_cast<char>(n);
    out += data.substr(i, n);
  }
  if (terminator) out += '\0';
  return out;
}

struct LzwOptions {
  bool endCode = true;        // write the end code after the last pixel
  bool clearWhenFull = true;  // restart the table when it is full (else keep using it)
};

// LZW codes of the pixel indices (in the order given), packed into bytes.
inline std::string LzwEncode(const std::vector<std::uint8_t>& pixels, int minCodeSize,
                             LzwOptions options = {}) {
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  std::vector<std::pair<int, int>> codes;
  std::unordered_map<std::uint32_t, int> dict;
  int size = minCodeSize + 1;
  int next = clear + 2;
  auto reset = [&] {
    dict.clear();
    size = minCodeSize + 1;
    next = clear + 2;
  };
  codes.push_back({clear, size});
  int prefix = -1;
  for (std::uint8_t c : pixels) {
    if (prefix < 0) {
      prefix = c;
      continue;
    }
    std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | c;
    auto it = dict.find(key);
    if (it != dict.end()) {
      prefix = it->second;
      continue;
    }
    codes.push_back({prefix, size});
    if (next <= 4095) {
      dict[key] = next++;
      if (next > (1 << size) && size < 12) ++size;
    }
    if (next == 4096 && options.clearWhenFull) {
      codes.push_back({clear, size});
      reset();
    }
    prefix = c;
  }
  if (prefix >= 0) codes.push_back({prefix, size});
  if (options.endCode) {
    if (prefix >= 0 && next <= 4095 && next + 1 > (1 << size) && size < 12) ++size;
    codes.push_back({end, size});
  }
  return PackCodes(codes);
}

// Colour table bytes padded to a power of two; packed gets the table bits.
inline std::string ColorTable(const std::vector<TColor>& colors, int& sizeBits) {
  sizeBits = 0;
  while ((2 << sizeBits) < static_cast<int>(colors.size())) ++sizeBits;
  std::string out;
  for (int i = 0; i < (2 << sizeBits); ++i) {
    TColor c = i < static_cast<int>(colors.size()) ? colors[static_cast<std::size_t>(i)] : 0;
    out += static_cast<char>(GetRValue(c));
    out += static_cast<char>(GetGValue(c));
    out += static_cast<char>(GetBValue(c));
  }
  return out;
}

// "GIF89a", the logical screen descriptor and the global table (none when empty).
inline std::string GifHeader(int width, int height, const std::vector<TColor>& global) {
  std::string s = "GIF89a";
  PutWord(s, width);
  PutWord(s, height);
  int bits = 0;
  std::string table = global.empty() ? std::string() : ColorTable(global, bits);
  s += static_cast<char>(global.empty() ? 0 : 0x80 | 0x70 | bits);
  s += '\0';  // background
  s += '\0';  // aspect
  return s + table;
}

inline std::string GraphicControl(bool transparent, int index, int delay = 0) {
  std::string s = "\x21\xF9\x04";
  s += static_cast<char>(transparent ? 1 : 0);
  PutWord(s, delay);
  s += static_cast<char>(index);
  s += '\0';
  return s;
}

struct GifFrame {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // row-major, width x height
  std::vector<TColor> local;         // local colour table (none when empty)
  bool interlaced = false;
  int minCodeSize = 8;
  std::size_t blockSize = 255;
  LzwOptions lzw;
};

// Rows in the order an interlaced image stores them.
inline std::vector<int> InterlacedRows(int height) {
  std::vector<int> rows;
  const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int p = 0; p < 4; ++p)
    for (int y = start[p]; y < height; y += step[p]) rows.push_back(y);
  return rows;
}

inline std::string FrameDescriptor(const GifFrame& f) {
  std::string s = ",";
  PutWord(s, f.left);
  PutWord(s, f.top);
  PutWord(s, f.width);
  PutWord(s, f.height);
  int bits = 0;
  std::string table = f.local.empty() ? std::string() : ColorTable(f.local, bits);
  s += static_cast<char>((f.local.empty() ? 0 : 0x80 | bits) | (f.interlaced ? 0x40 : 0));
  return s + table;
}

// The frame's LZW code bytes, before splitting into sub-blocks.
inline std::string FrameCodes(const GifFrame& f) {
  std::vector<std::uint8_t> order;
  if (f.interlaced) {
    for (int y : InterlacedRows(f.height))
      order.insert(order.end(), f.pixels.begin() + y * f.width,
                   f.pixels.begin() + (y + 1) * f.width);
  } else {
    order = f.pixels;
  }
  return LzwEncode(order, f.minCodeSize, f.lzw);
}

inline std::string EncodeFrame(const GifFrame& f) {
  return FrameDescriptor(f) + static_cast<char>(f.minCodeSize) +
         SubBlocks(FrameCodes(f), f.blockSize);
}

// A whole one-frame GIF with a global table.
inline std::string SimpleGif(const GifFrame& f, const std::vector<TColor>& global) {
  return GifHeader(f.width, f.height, global) + EncodeFrame(f) + ";";
}

}  // namespace kiv::testing
