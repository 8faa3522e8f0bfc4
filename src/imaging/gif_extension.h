// GIF extension blocks (graphic control, plain text, comment, application
// with the loop extension and unknown ones), the list of a frame's
// extensions, and the two registries that map labels and application
// identifiers to extension classes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/gif_common.h"

namespace kiv {

class TGIFSubImage;

class TGIFExtension {
 public:
  explicit TGIFExtension(TGIFSubImage* owner) : owner_(owner) {}
  virtual ~TGIFExtension() = default;
  TGIFExtension(const TGIFExtension&) = delete;
  TGIFExtension& operator=(const TGIFExtension&) = delete;

  virtual std::uint8_t Label() const = 0;
  // Reads the introducer and the label, then the extension's own data.
  void LoadFromStream(ReadStream& stream);
  TGIFSubImage* Owner() const { return owner_; }

 protected:
  virtual void LoadData(ReadStream& stream) = 0;

 private:
  TGIFSubImage* owner_;  // not owned: the frame this extension precedes
};

class TGIFGraphicControlExtension : public TGIFExtension {
 public:
  static constexpr std::uint8_t ExtensionLabel = 0xF9;
  using TGIFExtension::TGIFExtension;
  std::uint8_t Label() const override { return ExtensionLabel; }

  std::uint8_t BlockSize = 0;
  std::uint8_t PackedFields = 0;
  std::uint16_t Delay = 0;
  std::uint8_t TransparentColorIndex = 0;
  std::uint8_t Terminator = 0;
  bool Transparent() const { return (PackedFields & 0x01) != 0; }

 protected:
  void LoadData(ReadStream& stream) override;
};

class TGIFTextExtension : public TGIFExtension {
 public:
  static constexpr std::uint8_t ExtensionLabel = 0x01;
  using TGIFExtension::TGIFExtension;
  std::uint8_t Label() const override { return ExtensionLabel; }

  // Block size, grid position and size, cell size, colours, as read.
  std::array<std::uint8_t, 13> Fixed{};
  std::vector<std::string> Text;

 protected:
  void LoadData(ReadStream& stream) override;
};

class TGIFCommentExtension : public TGIFExtension {
 public:
  static constexpr std::uint8_t ExtensionLabel = 0xFE;
  using TGIFExtension::TGIFExtension;
  std::uint8_t Label() const override { return ExtensionLabel; }

  std::vector<std::string> Text;

 protected:
  void LoadData(ReadStream& stream) override;
};

class TGIFApplicationExtension : public TGIFExtension {
 public:
  static constexpr std::uint8_t ExtensionLabel = 0xFF;
  static constexpr int IdentifierSize = 11;  // 8 identifier bytes + 3 authentication bytes
  using TGIFExtension::TGIFExtension;
  std::uint8_t Label() const override { return ExtensionLabel; }

  std::uint8_t BlockSize = 0;
  std::string Identifier;  // 11 bytes, or empty for a 10-byte block

 protected:
  void LoadData(ReadStream& stream) override;
  // The data sub-blocks after the identifier. An application extension of no
  // registered kind skips them, so the next block is read from its start.
  virtual void LoadApplicationData(ReadStream& stream);
};

// "NETSCAPE2.0" / "ANIMEXTS1.0": loop count and buffer size sub-blocks.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
 public:
  using TGIFApplicationExtension::TGIFApplicationExtension;
  std::uint16_t Loops = 0;
  std::uint32_t BufferSize = 0;

 protected:
  void LoadApplicationData(ReadStream& stream) override;
};

// One data sub-block kept as read: its size byte and that many bytes.
struct TGIFBlock {
  std::uint8_t Size = 0;
  std::string Data;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
 public:
  using TGIFApplicationExtension::TGIFApplicationExtension;
  std::vector<TGIFBlock> Blocks;

 protected:
  void LoadApplicationData(ReadStream& stream) override;
};

// The extensions that precede one frame's image descriptor, owned.
class TGIFExtensionList {
 public:
  // Reads extensions up to the image separator or the trailer and leaves the
  // stream on that byte.
  void LoadFromStream(ReadStream& stream, TGIFSubImage* owner);
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  TGIFExtension* operator[](int i) const { return items_[static_cast<std::size_t>(i)].get(); }

 private:
  std::vector<std::unique_ptr<TGIFExtension>> items_;
};

using TGIFExtensionFactory = std::unique_ptr<TGIFExtension> (*)(TGIFSubImage* owner);

// Label -> extension class. Searched from the last entry, so a later
// registration of a label takes precedence.
class TExtensionList {
 public:
  void Add(std::uint8_t label, TGIFExtensionFactory create);
  // Null when no class is registered for the label.
  TGIFExtensionFactory Find(std::uint8_t label) const;

 private:
  struct Entry {
    std::uint8_t Label;
    TGIFExtensionFactory Create;
  };
  std::vector<Entry> entries_;
};

// Application identifier (11 bytes) -> application extension class.
class TAppExtensionList {
 public:
  void Add(const std::string& identifier, TGIFExtensionFactory create);
  TGIFExtensionFactory Find(const std::string& identifier) const;

 private:
  struct Entry {
    std::string Identifier;
    TGIFExtensionFactory Create;
  };
  std::vector<Entry> entries_;
};

// The process-wide registries, filled with the built-in classes on first use.
TExtensionList& ExtensionRegistry();
TAppExtensionList& AppExtensionRegistry();

}  // namespace kiv
