#include "imaging/gif_extension.h"

#include "imaging/gif_image.h"

namespace kiv {

namespace {

template <class T>
std::unique_ptr<TGIFExtension> Create(TGIFSubImage* owner) {
  return std::make_unique<T>(owner);
}

void Warn(TGIFSubImage* owner, const char* message) {
  if (owner && owner->Image()) owner->Image()->Warning(TGIFSeverity::Warning, message);
}

// An application extension's class depends on its block size and
// identifier; the stream stands just behind the label and is put back.
TGIFExtensionFactory RefineApplicationClass(ReadStream& stream) {
  const std::int64_t start = stream.Position();
  TGIFExtensionFactory result = &Create<TGIFApplicationExtension>;
  int size = stream.ReadByte();
  if (size == 10) {
    result = &Create<TGIFUnknownAppExtension>;
  } else if (size == TGIFApplicationExtension::IdentifierSize) {
    std::string id(TGIFApplicationExtension::IdentifierSize, '\0');
    result = &Create<TGIFUnknownAppExtension>;
    if (stream.Read(id.data(), id.size()) == id.size()) {
      if (TGIFExtensionFactory f = AppExtensionRegistry().Find(id)) result = f;
    }
  }
  stream.Seek(start);
  return result;
}

}  // namespace

void TGIFExtension::LoadFromStream(ReadStream& stream) {
  std::uint8_t head[2];
  ReadExact(stream, head, 2);
  if (head[0] != bsExtensionIntroducer) throw GIFException(sGIFInvalidExtensionIntroducer);
  if (head[1] != Label()) throw GIFException(sGIFExtensionLabelMismatch);
  LoadData(stream);
}

void TGIFGraphicControlExtension::LoadData(ReadStream& stream) {
  std::uint8_t b[6];
  if (stream.Read(b, 6) < 6) {
    Warn(Owner(), sGIFPrematureEnd);
    return;
  }
  BlockSize = b[0];
  PackedFields = b[1];
  Delay = ReadWordLE(b + 2);
  TransparentColorIndex = b[4];
  Terminator = b[5];
  if (Transparent() && Owner()) Owner()->IsTransparent = true;
}

void TGIFTextExtension::LoadData(ReadStream& stream) {
  ReadExact(stream, Fixed.data(), Fixed.size());
  Text = ReadSubBlocks(stream);
}

void TGIFCommentExtension::LoadData(ReadStream& stream) {
  Text = ReadSubBlocks(stream);
}

void TGIFApplicationExtension::LoadData(ReadStream& stream) {
  ReadExact(stream, &BlockSize, 1);
  if (BlockSize == 10) {
    // A short identifier block: reading 11 bytes and stepping back one
    // consumes exactly the 10 bytes.
    Identifier.clear();
    std::string bytes(IdentifierSize, '\0');
    ReadExact(stream, bytes.data(), bytes.size());
    stream.Skip(-1);
    Identifier = bytes.substr(0, 10);
  } else if (BlockSize < IdentifierSize) {
    throw GIFException(sGIFUnsupportedAppBlockSize);
  } else {
    Identifier.assign(IdentifierSize, '\0');
    ReadExact(stream, Identifier.data(), Identifier.size());
    stream.Skip(BlockSize - IdentifierSize);
  }
  LoadApplicationData(stream);
}

void TGIFApplicationExtension::LoadApplicationData(ReadStream& stream) {
  ReadSubBlocks(stream);
}

void TGIFAppExtNSLoop::LoadApplicationData(ReadStream& stream) {
  for (;;) {
    std::uint8_t size = 0;
    ReadExact(stream, &size, 1);
    if (size == 0) break;
    std::uint8_t id = 0;
    ReadExact(stream, &id, 1);
    int rest = size - 1;
    if ((id & 7) == 1) {
      if (size < 3) throw GIFException(sGIFInvalidData);
      std::uint8_t b[2];
      ReadExact(stream, b, 2);
      Loops = ReadWordLE(b);
      rest -= 2;
    } else if ((id & 7) == 2) {
      if (size < 5) throw GIFException(sGIFInvalidData);
      std::uint8_t b[4];
      ReadExact(stream, b, 4);
      BufferSize = static_cast<std::uint32_t>(b[0] | (b[1] << 8) | (b[2] << 16)) |
                   (static_cast<std::uint32_t>(b[3]) << 24);
      rest -= 4;
    }
    stream.Skip(rest);
  }
}

void TGIFUnknownAppExtension::LoadApplicationData(ReadStream& stream) {
  for (;;) {
    int size = stream.ReadByte();
    if (size <= 0) break;
    TGIFBlock block;
    block.Size = static_cast<std::uint8_t>(size);
    block.Data.assign(static_cast<std::size_t>(size), '\0');
    ReadExact(stream, block.Data.data(), block.Data.size());
    Blocks.push_back(std::move(block));
  }
}

void TGIFExtensionList::LoadFromStream(ReadStream& stream, TGIFSubImage* owner) {
  int b = stream.ReadByte();
  if (b < 0) return;
  while (b != bsImageSeparator && b != bsTrailer) {
    if (b != bsExtensionIntroducer) {
      Warn(owner, sGIFInvalidExtensionIntroducer);
      break;
    }
    const std::int64_t labelPos = stream.Position();
    int label = stream.ReadByte();
    TGIFExtensionFactory create =
        label < 0 ? nullptr : ExtensionRegistry().Find(static_cast<std::uint8_t>(label));
    if (create && label == TGIFApplicationExtension::ExtensionLabel) {
      create = RefineApplicationClass(stream);
    }
    stream.Seek(labelPos);
    if (!create) throw GIFException(sGIFUnknownExtension);
    stream.Seek(labelPos - 1);
    std::unique_ptr<TGIFExtension> ext = create(owner);
    auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext.get());
    if (gce && owner && !owner->FrameGce) owner->FrameGce = gce;
    try {
      ext->LoadFromStream(stream);
    } catch (...) {
      if (owner && owner->FrameGce == gce) owner->FrameGce = nullptr;
      throw;
    }
    items_.push_back(std::move(ext));
    b = stream.ReadByte();
    if (b < 0) return;
  }
  stream.Skip(-1);
}

void TExtensionList::Add(std::uint8_t label, TGIFExtensionFactory create) {
  entries_.push_back({label, create});
}

TGIFExtensionFactory TExtensionList::Find(std::uint8_t label) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    if (it->Label == label) return it->Create;
  }
  return nullptr;
}

void TAppExtensionList::Add(const std::string& identifier, TGIFExtensionFactory create) {
  entries_.push_back({identifier, create});
}

TGIFExtensionFactory TAppExtensionList::Find(const std::string& identifier) const {
  for (const Entry& e : entries_) {
    if (e.Identifier == identifier) return e.Create;
  }
  return nullptr;
}

TExtensionList& ExtensionRegistry() {
  static TExtensionList list = [] {
    TExtensionList l;
    l.Add(TGIFTextExtension::ExtensionLabel, &Create<TGIFTextExtension>);
    l.Add(TGIFGraphicControlExtension::ExtensionLabel, &Create<TGIFGraphicControlExtension>);
    l.Add(TGIFCommentExtension::ExtensionLabel, &Create<TGIFCommentExtension>);
    l.Add(TGIFApplicationExtension::ExtensionLabel, &Create<TGIFApplicationExtension>);
    return l;
  }();
  return list;
}

TAppExtensionList& AppExtensionRegistry() {
  static TAppExtensionList list = [] {
    TAppExtensionList l;
    l.Add("NETSCAPE2.0", &Create<TGIFAppExtNSLoop>);
    l.Add("ANIMEXTS1.0", &Create<TGIFAppExtNSLoop>);
    return l;
  }();
  return list;
}

}  // namespace kiv
