#include "kivdump/page_loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "kivdump/package_images.h"
#include "platform/paths.h"
#include "platform/screen_canvas.h"

namespace kiv::dump {

std::unique_ptr<LoadedPage> LoadPage(const QString& fileName, const PageOptions& options) {
  auto page = std::make_unique<LoadedPage>();
  if (options.fixedMetrics) {
    page->fixedCanvas = std::make_unique<FixedMetricsCanvas>();
    page->screenSwap = std::make_unique<ScopedScreenCanvas>(page->fixedCanvas.get());
  }
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    page->error = "cannot read " + fileName.toStdString();
    return page;
  }
  const QByteArray bytes = file.readAll();
  page->document = std::make_unique<TSectionList>();
  TSectionList& doc = *page->document;
  // The help window's viewer settings.
  doc.SetDefaults("Times New Roman", "Courier New", options.fontSize, clBtnText, clBlue, clWhite);
  doc.ShowImages = options.images;
  const QString dir = QFileInfo(fileName).absolutePath();
  doc.ImageFileName = [dir](const std::string& name) {
    return NativePath(dir.toStdString() + "/" + name);
  };
  if (!options.package.empty()) doc.ImageRequest = PackageImageRequest(options.package);
  try {
    page->result =
        ParseHtmlBuffer(doc, page->anchors, bytes.constData(), static_cast<std::size_t>(bytes.size()));
  } catch (const std::exception& e) {
    page->error = e.what();
  }
  return page;
}

bool ReadPageOption(const QString& name, const QString& value, PageOptions& options,
                    std::string& error) {
  bool ok = true;
  if (name == "width") {
    options.width = value.toInt(&ok);
    ok = ok && options.width >= 0 && options.width <= 100000;
  } else if (name == "font-size") {
    options.fontSize = value.toInt(&ok);
    ok = ok && options.fontSize >= 1 && options.fontSize <= 200;
  } else if (name == "metrics") {
    ok = value == "fixed" || value == "screen";
    options.fixedMetrics = value == "fixed";
  } else if (name == "images") {
    ok = value == "on" || value == "off";
    options.images = value == "on";
  } else if (name == "package") {
    options.package = value.toStdString();
  }
  if (!ok) error = "bad value for --" + name.toStdString() + ": " + value.toStdString();
  return ok;
}

}  // namespace kiv::dump
