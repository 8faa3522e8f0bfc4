// What every part of the GIF decoder shares: the exception and its messages,
// warnings and their handler, and the two block readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/read_stream.h"

namespace kiv {

// A failure that ends the load with no picture.
class GIFException : public std::runtime_error {
 public:
  explicit GIFException(const std::string& message) : std::runtime_error(message) {}
};

// Messages of errors and warnings, exactly as the decoder reports them.
inline constexpr char sGIFInvalidSignature[] = "Invalid GIF signature";
inline constexpr char sGIFPrematureEnd[] = "Premature end of data";
inline constexpr char sGIFUnknownExtension[] = "Unknown extension type";
inline constexpr char sGIFInvalidExtensionIntroducer[] = "Invalid extension introducer";
inline constexpr char sGIFExtensionLabelMismatch[] =
    "Internal error: Extension Instance does not match Extension Label";
inline constexpr char sGIFUnsupportedAppBlockSize[] =
    "Unsupported Application Extension block size";
inline constexpr char sGIFInvalidData[] = "Invalid GIF data";
inline constexpr char sGIFCircularTable[] = "Circular decoder table entry";
inline constexpr char sGIFNoColorTable[] = "No global or local color table defined";
inline constexpr char sGIFUnknownBlockType[] = "Unknown GIF block type";
inline constexpr char sGIFInvalidTrailer[] = "Invalid Image trailer";
inline constexpr char sGIFImageExceedsScreen[] = "Image exceeds Logical Screen size";
inline constexpr char sGIFBitBufferUnderrun[] = "Decoder bit buffer under-run";
// A declared size that cannot be honoured without allocating gigabytes.
inline constexpr char sGIFImageTooLarge[] = "Image size exceeds the largest supported picture";

// Block bytes of the file format.
inline constexpr std::uint8_t bsExtensionIntroducer = 0x21;  // "!"
inline constexpr std::uint8_t bsImageSeparator = 0x2C;       // ","
inline constexpr std::uint8_t bsTrailer = 0x3B;              // ";"

enum class TGIFSeverity { Info, Warning, Error };

// Receives warnings; loading goes on after each. Nothing in the program sets one.
using TGIFWarningHandler = std::function<void(TGIFSeverity severity, const std::string& message)>;

// Reads exactly count bytes or raises "Premature end of data".
void ReadExact(ReadStream& stream, void* buffer, std::size_t count);

// Reads data sub-blocks up to the zero-size terminator, one string per
// sub-block. End of stream at a size byte ends the list quietly.
std::vector<std::string> ReadSubBlocks(ReadStream& stream);

inline std::uint16_t ReadWordLE(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace kiv
