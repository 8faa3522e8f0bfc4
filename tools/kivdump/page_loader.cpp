#include "kivdump/page_loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "kivdump/package_images.h"
#include "kivdump/packed_page.h"
#include "platform/paths.h"
#include "platform/screen_canvas.h"
#include "reader/charset_declaration.h"

namespace kiv::dump {

std::unique_ptr<LoadedPage> LoadPage(const QString& fileName, const PageOptions& options) {
  auto page = std::make_unique<LoadedPage>();
  if (options.fixedMetrics) {
    page->fixedCanvas = std::make_unique<FixedMetricsCanvas>();
    page->screenSwap = std::make_unique<ScopedScreenCanvas>(page->fixedCanvas.get());
  }
  const PackedPage packed = ReadPageAsPacked(fileName, {options.substitute, options.package});
  page->notes = packed.notes;
  if (!packed.problems.empty() || !packed.error.empty()) {
    page->error = packed.error;
    for (const std::string& p : packed.problems)
      page->error += (page->error.empty() ? "" : "\n") + p;
    return page;
  }
  const std::string& bytes = packed.bytes;
  page->document = std::make_unique<TSectionList>();
  TSectionList& doc = *page->document;
  // The help window's viewer settings, and the code page the page declares.
  doc.SetDefaults("Times New Roman", "Courier New", options.fontSize, clBtnText, clBlue, clWhite);
  doc.CharSet = static_cast<std::uint8_t>(CharsetOfCodePage(CodePageOfPage(bytes)));
  doc.ShowImages = options.images;
  const QString dir = QFileInfo(fileName).absolutePath();
  doc.ImageFileName = [dir](const std::string& name) {
    return NativePath(dir.toStdString() + "/" + name);
  };
  if (!options.package.empty()) doc.ImageRequest = PackageImageRequest(options.package);
  try {
    page->result = ParseHtmlBuffer(doc, page->anchors, bytes.data(), bytes.size());
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
