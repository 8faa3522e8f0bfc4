// kivdump render FILE --out PNG [--width W] [--height H] [--scroll Y]
//                     [--font-size N] [--package PKG]
// Paints a page through the viewer's painting path into a picture of a viewer
// control of W x H, with the help window's viewer settings.
#include <QCommandLineParser>
#include <QImage>

#include <algorithm>
#include <cstring>
#include <iostream>

#include "kivdump/commands.h"
#include "kivdump/page_loader.h"
#include "platform/qt_canvas.h"
#include "viewer/document_painter.h"

namespace kiv::dump {

namespace {

int RunRender(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Paints a page as the viewer shows it, into a PNG picture.");
  parser.addPositionalArgument("file", "The HTML page.");
  parser.addOptions({{"out", "The PNG file to write.", "PNG"},
                     {"width", "Viewer width in pixels (600).", "W", "600"},
                     {"height", "Viewer height in pixels (800).", "H", "800"},
                     {"scroll", "Vertical scroll position (0).", "Y", "0"},
                     {"font-size", "Base font size in points (12).", "N", "12"},
                     {"package", "Help package that supplies the page's images.", "PKG"}});
  parser.addHelpOption();
  if (!parser.parse(args)) {
    std::cerr << "kivdump render: " << parser.errorText().toStdString() << '\n';
    return 2;
  }
  if (parser.isSet("help")) {
    std::cout << parser.helpText().toStdString();
    return 0;
  }
  if (parser.positionalArguments().size() != 1 || !parser.isSet("out")) {
    std::cerr << "usage: kivdump render FILE --out PNG [--width W] [--height H] [--scroll Y]"
                 " [--font-size N] [--package PKG]\n";
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
  auto page = LoadPage(parser.positionalArguments()[0], options);
  if (!page->error.empty()) {
    std::cerr << "kivdump render: " << page->error << '\n';
    return 1;
  }

  // The control: a one-pixel frame, the painting panel inside it, and the
  // room of the vertical scroll bar on the right.
  QImage control(width, height, QImage::Format_RGB32);
  control.fill(QColor(212, 208, 200));
  const int panelWidth = width - ViewerScrollBarWidth - 2;
  const int panelHeight = height - 2;
  QImage panel(panelWidth, panelHeight, QImage::Format_RGB32);
  panel.fill(Qt::white);
  int docHeight = 0;
  {
    QtCanvas canvas(&panel);
    int maxWidth = 0;
    docHeight = LayoutForViewer(*page->document, canvas, width, maxWidth);
    const int maxScroll = std::max(0, docHeight - panelHeight);
    PaintForViewer(*page->document, canvas, panelWidth, panelHeight, std::min(scroll, maxScroll), 0);
  }
  {
    QtCanvas canvas(&control);
    canvas.SetPen(clBtnShadow);
    canvas.SetBrush(clWhite, BrushStyle::Clear);
    canvas.Rectangle(0, 0, width, height);
  }
  for (int y = 0; y < panelHeight; ++y) {
    std::memcpy(control.scanLine(y + 1) + 4, panel.constScanLine(y),
                static_cast<std::size_t>(panelWidth) * 4);
  }
  if (!control.save(parser.value("out"), "PNG")) {
    std::cerr << "kivdump render: cannot write " << parser.value("out").toStdString() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

KIVDUMP_COMMAND(render, "render", "paint a page as the viewer shows it (PNG)", RunRender);

}  // namespace kiv::dump
