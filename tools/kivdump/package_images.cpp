#include "kivdump/package_images.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "app/page_image_supply.h"
#include "imaging/read_stream.h"
#include "platform/bitmap.h"
#include "platform/paths.h"

namespace kiv::dump {

TGetBitmapEvent PackageImageRequest(const std::string& packagePath) {
  // The help window's own supply, so that a preview shows exactly the
  // pictures the window shows: looked up as the page names them, decoded by
  // the name's extension, nothing for a name the window does not decode. A
  // JPEG passes through a file of a private folder instead of beside the
  // program.
  struct Supply {
    std::string package;
    FileReadStream stream;
    QTemporaryDir dir;
    explicit Supply(const std::string& path) : package(path), stream(NativePath(path)) {}
  };
  auto supply = std::make_shared<Supply>(packagePath);
  return [supply](THTMLViewer*, const std::string& name, std::unique_ptr<Bitmap>& bitmap,
                  TColor& transparent) {
    transparent = NoTransparentColor;
    if (!supply->stream.IsOpen() || !supply->dir.isValid()) return;
    const std::string jpeg =
        QDir::toNativeSeparators(supply->dir.filePath("temp.jpg")).toStdString();
    bitmap = SupplyPageImage(supply->package, supply->stream, "h", name, jpeg);
  };
}

}  // namespace kiv::dump
