// kivdump render FILE --out PNG [--width W] [--height H] [--scroll Y]
//                     [--font-size N] [--package PKG] [--scale R] [--substitute]
// Paints a page through the viewer control itself, grabbed off screen: a
// viewer of W x H with the help window's viewer settings, so the picture is
// what the window shows (frame, scroll bars and all). With a scale the
// picture has R device pixels per logical pixel, as a window on a screen of
// that ratio paints it; the layout is the same at every scale. The page is
// read as kivpack build packs it (converted to its code page, pictures named
// as the package names them).
#include <QCommandLineParser>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <iostream>

#include "common/tool_command_line.h"
#include "kivdump/commands.h"
#include "kivdump/help_viewer.h"
#include "kivdump/page_loader.h"
#include "platform/device_ratio.h"
#include "viewer/html_viewer.h"

namespace kiv::dump {

namespace {

// The viewer painted into a picture of scale device pixels per logical pixel,
// as the toolkit's grab does at the screen's own ratio.
QImage Grab(THTMLViewer& viewer, double scale) {
  const QSize size(static_cast<int>(std::ceil(viewer.width() * scale)),
                   static_cast<int>(std::ceil(viewer.height() * scale)));
  QPixmap pixmap(size);
  pixmap.setDevicePixelRatio(scale);
  viewer.render(&pixmap);
  QImage image = pixmap.toImage();
  image.setDevicePixelRatio(1.0);
  return image;
}

int RunRender(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Paints a page as the viewer shows it, into a PNG picture.");
  parser.addPositionalArgument("file", "The HTML page.");
  parser.addOptions({{"out", "The PNG file to write.", "PNG"},
                     {"width", "Viewer width in pixels (600).", "W", "600"},
                     {"height", "Viewer height in pixels (800).", "H", "800"},
                     {"scroll", "Vertical scroll position (0).", "Y", "0"},
                     {"font-size", "Base font size in points (12).", "N", "12"},
                     {"package", "Help package that supplies the page's images.", "PKG"},
                     {"scale", "Device pixels per logical pixel, 1 to 4 (1).", "R", "1"},
                     {"substitute", "Read the page as kivpack build --substitute packs it."}});
  tool::AddStandardOptions(parser);
  if (int code = tool::ParseCommandLine(parser, args, "kivdump render", "kivdump");
      code != tool::Proceed)
    return code;
  if (parser.positionalArguments().size() != 1 || !parser.isSet("out")) {
    std::cerr << "usage: kivdump render FILE --out PNG [--width W] [--height H] [--scroll Y]"
                 " [--font-size N] [--package PKG] [--scale R] [--substitute]\n";
    return 2;
  }
  PageOptions options;
  std::string error;
  for (const char* name : {"width", "font-size", "package"}) {
    if (parser.isSet(name) && !ReadPageOption(name, parser.value(name), options, error)) {
      std::cerr << "kivdump render: " << error << '\n';
      return 2;
    }
  }
  bool okH = false, okY = false;
  const int height = parser.value("height").toInt(&okH);
  const int scroll = parser.value("scroll").toInt(&okY);
  const int width = options.width;
  if (!okH || !okY || width < 40 || height < 40 || width > 10000 || height > 10000 || scroll < 0) {
    std::cerr << "kivdump render: width and height must be 40 to 10000, scroll 0 or more\n";
    return 2;
  }
  double scale = 1;
  if (std::string scaleError;
      !ParseDeviceRatio(parser.value("scale").toStdString(), scale, scaleError)) {
    std::cerr << "kivdump render: --scale: " << scaleError << '\n';
    return 2;
  }
  if (tool::IsFolder(parser.value("package")))
    return tool::Complain(
        "kivdump render",
        parser.value("package").toStdString() + " is a folder, not a help package",
        tool::ExitFailure);
  const QFileInfo file(parser.positionalArguments()[0]);
  if (!file.isFile() || !file.isReadable()) {
    std::cerr << "kivdump render: cannot read " << file.filePath().toStdString() << '\n';
    return 1;
  }

  // The page as kivpack build would pack it.
  const PackedPage packed =
      ReadPageAsPacked(file.absoluteFilePath(), {parser.isSet("substitute"), options.package});
  if (!ReportPackedPage(packed, "render")) return 1;

  // The help window's viewer.
  THTMLViewer viewer;
  SetUpHelpViewer(viewer, width, height, options.fontSize, options.package);
  try {
    // A file load, so that without a package the page's pictures come from
    // files beside it.
    LoadPackedPage(viewer, file.absoluteFilePath(), packed);
  } catch (const std::exception& e) {
    std::cerr << "kivdump render: " << e.what() << '\n';
    return 1;
  }
  viewer.ScrollToY(scroll);
  const QImage picture = Grab(viewer, scale);
  if (picture.isNull() || !picture.save(parser.value("out"), "PNG")) {
    std::cerr << "kivdump render: cannot write " << parser.value("out").toStdString() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

KIVDUMP_COMMAND(render, "render", "paint a page as the viewer shows it (PNG)", RunRender);

}  // namespace kiv::dump
