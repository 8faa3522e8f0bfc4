// kivdump print FILE --out PDF [--from N] [--to M] [--package PKG]
// Prints pages N to M of a page as the viewer prints it (margins 2 cm, the
// help window's viewer settings) into a PDF file, without a printer or a
// window. A range past the end of the page prints nothing and leaves no file.
#include <QCommandLineParser>

#include <iostream>

#include "kivdump/commands.h"
#include "kivdump/page_loader.h"
#include "platform/qt_canvas.h"
#include "viewer/document_painter.h"
#include "viewer/document_printer.h"
#include "viewer/vw_printer.h"

namespace kiv::dump {

namespace {

// The width of the help window's viewer; the page is laid out for it first,
// as it is shown before it is printed.
constexpr int ShownWidth = 600;

int RunPrint(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Prints a page as the viewer prints it, into a PDF file.");
  parser.addPositionalArgument("file", "The HTML page.");
  parser.addOptions({{"out", "The PDF file to write.", "PDF"},
                     {"from", "First page to print (1).", "N", "1"},
                     {"to", "Last page to print (9999).", "M", "9999"},
                     {"package", "Help package that supplies the page's images.", "PKG"}});
  parser.addHelpOption();
  if (!parser.parse(args)) {
    std::cerr << "kivdump print: " << parser.errorText().toStdString() << '\n';
    return 2;
  }
  if (parser.isSet("help")) {
    std::cout << parser.helpText().toStdString();
    return 0;
  }
  if (parser.positionalArguments().size() != 1 || !parser.isSet("out") ||
      parser.value("out").isEmpty()) {
    std::cerr << "usage: kivdump print FILE --out PDF [--from N] [--to M] [--package PKG]\n";
    return 2;
  }
  bool okFrom = false, okTo = false;
  const int fromPage = parser.value("from").toInt(&okFrom);
  const int toPage = parser.value("to").toInt(&okTo);
  if (!okFrom || !okTo) {
    std::cerr << "kivdump print: --from and --to take page numbers\n";
    return 2;
  }
  PageOptions options;
  if (parser.isSet("package")) options.package = parser.value("package").toStdString();
  auto page = LoadPage(parser.positionalArguments()[0], options);
  if (!page->error.empty()) {
    std::cerr << "kivdump print: " << page->error << '\n';
    return 1;
  }

  try {
    {
      QtCanvas screen;
      int maxWidth = 0;
      LayoutForViewer(*page->document, screen, ShownWidth, maxWidth);
    }
    TPrinterSelection& printer = SelectedPrinter();
    printer.PrinterName.clear();
    printer.OutputFileName = parser.value("out");
    if (PrintDocumentRange(*page->document, TPrintMargins{}, fromPage, toPage) == 0)
      std::cerr << "kivdump print: no page in the range " << fromPage << " to " << toPage
                << "; nothing printed\n";
  } catch (const std::exception& e) {
    std::cerr << "kivdump print: " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

KIVDUMP_COMMAND(print, "print", "print a page as the viewer prints it (PDF)", RunPrint);

}  // namespace kiv::dump
