#include "platform/font_face.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QVector>

#include <cctype>
#include <cmath>
#include <map>

#include "platform/code_page.h"
#include "platform/font.h"
#include "platform/font_device.h"

namespace kiv {

namespace {

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string SubstituteFaceName(const std::string& name) {
  static const std::map<std::string, std::string> kSubstitutes = {
      {"times new roman", "Liberation Serif"},
      {"times", "Liberation Serif"},
      {"courier new", "Liberation Mono"},
      {"courier", "Liberation Mono"},
      {"arial", "Liberation Sans"},
      {"helvetica", "Liberation Sans"},
      {"ms sans serif", "Liberation Sans"},
      {"ms serif", "Liberation Serif"},
  };
  auto it = kSubstitutes.find(Lower(name));
  return it == kSubstitutes.end() ? name : it->second;
}

const FontFace& FontFace::Get(const Key& key) {
  return Get(key.name, key.pixelSize, key.style, key.codePage);
}

const FontFace& FontFace::Get(const std::string& name, int pixelSize, std::uint8_t style,
                              CodePage codePage) {
  // Faces live for the whole process; held through a pointer that is never
  // destroyed so no toolkit font outlives the application object at exit.
  static auto* cache = new std::map<Key, std::unique_ptr<FontFace>>();
  // A page switches between a few faces over and over (sizes, bold, links),
  // so the faces found last are tried before the map, by size and style
  // first.
  struct Recent {
    const FontFace* face = nullptr;
    int pixelSize = 0;
    std::uint8_t style = 0;
    CodePage codePage = CodePage::Windows1252;
  };
  static std::array<Recent, 8> recent{};
  static std::size_t nextRecent = 0;
  for (const Recent& r : recent) {
    if (r.face && r.pixelSize == pixelSize && r.style == style && r.codePage == codePage &&
        r.face->key_.name == name)
      return *r.face;
  }
  Key key{name, pixelSize, style, codePage};
  auto it = cache->find(key);
  if (it == cache->end()) {
    it = cache->emplace(key, std::unique_ptr<FontFace>(new FontFace(key))).first;
  }
  recent[nextRecent] = {it->second.get(), pixelSize, style, codePage};
  nextRecent = (nextRecent + 1) % recent.size();
  return *it->second;
}

FontFace::FontFace(const Key& key) : key_(key), device_(std::make_unique<Device>()) {
  QFont& f = device_->font;
  f.setFamily(QString::fromStdString(SubstituteFaceName(key.name)));
  f.setPixelSize(key.pixelSize);
  f.setBold(key.style & fsBold);
  f.setItalic(key.style & fsItalic);
  f.setKerning(false);
  f.setStyleHint(QFont::AnyStyle, QFont::PreferMatch);
  f.setHintingPreference(QFont::PreferFullHinting);

  QRawFont& raw = device_->raw;
  if (QGuiApplication::instance()) raw = QRawFont::fromFont(f);

  if (!raw.isValid()) {
    // No font system (no application object): fall back to plain metrics in
    // proportion to the size, so measuring still works.
    int px = key.pixelSize;
    metrics_.tmAscent = px - px / 5;
    metrics_.tmDescent = px / 5;
    metrics_.tmHeight = px;
    metrics_.tmAveCharWidth = std::max(1, px / 2);
    advances_.fill(metrics_.tmAveCharWidth);
    return;
  }

  std::u16string chars;
  for (int b = 0; b < 256; ++b) chars += static_cast<char16_t>(ByteToCodePoint(key.codePage, b));
  QString s = QString::fromStdU16String(chars);
  QList<quint32> glyphs = raw.glyphIndexesForString(s);
  QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
  for (int b = 0; b < 256 && b < glyphs.size(); ++b) {
    device_->glyphs[b] = glyphs[b];
    advances_[b] = b < 32 ? 0 : static_cast<int>(std::lround(advances[b].x()));
  }
  // A space the font does not have still takes room.
  if (advances_[' '] <= 0) advances_[' '] = std::max(1, key.pixelSize / 4);

  metrics_.tmAscent = static_cast<int>(std::ceil(raw.ascent()));
  metrics_.tmDescent = static_cast<int>(std::ceil(raw.descent()));
  metrics_.tmHeight = metrics_.tmAscent + metrics_.tmDescent;
  metrics_.tmExternalLeading = std::max(0, static_cast<int>(std::lround(raw.leading())));
  metrics_.tmOverhang = 0;
  metrics_.tmAveCharWidth = std::max(1, static_cast<int>(std::lround(raw.averageCharWidth())));
}

FontFace::~FontFace() = default;

std::string FontFace::ResolvedFamily() const {
  if (device_->raw.isValid()) return device_->raw.familyName().toStdString();
  return SubstituteFaceName(key_.name);
}

}  // namespace kiv
