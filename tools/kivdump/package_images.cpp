#include "kivdump/package_images.h"

#include <QFile>
#include <QTemporaryDir>

#include "app/help_package.h"
#include "app/string_helpers.h"
#include "imaging/gif_image.h"
#include "imaging/jpeg_loader.h"
#include "imaging/read_stream.h"
#include "platform/bitmap.h"
#include "platform/paths.h"

namespace kiv::dump {

TGetBitmapEvent PackageImageRequest(const std::string& packagePath) {
  return [packagePath](THTMLViewer*, const std::string& name, std::unique_ptr<Bitmap>& bitmap,
                       TColor& transparent) {
    transparent = NoTransparentColor;
    try {
      std::int32_t start = 0, end = 0;
      FindPackageEntry(packagePath, name, start, end);
      if (start < 0 || end <= start) return;
      QFile file(QString::fromStdString(NativePath(packagePath)));
      if (!file.open(QIODevice::ReadOnly) || !file.seek(start)) return;
      const QByteArray bytes = file.read(end - start);
      const std::string upper = UpperText(name);
      auto endsWith = [&](const char* ext) {
        std::string e(ext);
        return upper.size() >= e.size() && upper.compare(upper.size() - e.size(), e.size(), e) == 0;
      };
      if (endsWith(".GIF")) {
        MemoryReadStream stream(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        LoadGifStream(stream, bitmap);
      } else if (endsWith(".JPG") || endsWith(".JPEG")) {
        QTemporaryDir dir;
        const QString path = dir.filePath("temp.jpg");
        QFile out(path);
        if (dir.isValid() && out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size()) {
          out.close();
          bitmap = LoadJpegBitmap(path.toStdString(), false);
        }
      } else {
        bitmap = Bitmap::FromFileData(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      }
    } catch (const std::exception&) {
      bitmap.reset();  // a picture that cannot be had shows as broken
    }
  };
}

}  // namespace kiv::dump
