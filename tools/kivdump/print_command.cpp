// kivdump print FILE --out PDF [--from N] [--to M] [--package PKG] [--substitute]
// Prints pages N to M of a page as the viewer prints it (margins 2 cm, the
// help window's viewer settings) into a PDF file, without a printer or a
// window. A range past the end of the page prints nothing and leaves no file.
#include <QCommandLineParser>
#include <QDateTime>
#include <QFileInfo>

#include <iostream>

#include "common/tool_command_line.h"
#include "kivdump/commands.h"
#include "kivdump/help_viewer.h"
#include "viewer/html_viewer.h"
#include "viewer/vw_printer.h"

namespace kiv::dump {

namespace {

// The viewer the page is shown in before it is printed (kivdump render's).
constexpr int ShownWidth = 600;
constexpr int ShownHeight = 800;

int RunPrint(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Prints a page as the viewer prints it, into a PDF file.");
  parser.addPositionalArgument("file", "The HTML page.");
  parser.addOptions({{"out", "The PDF file to write.", "PDF"},
                     {"from", "First page to print (1).", "N", "1"},
                     {"to", "Last page to print (9999).", "M", "9999"},
                     {"package", "Help package that supplies the page's images.", "PKG"},
                     {"substitute", "Read the page as kivpack build --substitute packs it."}});
  tool::AddStandardOptions(parser);
  if (int code = tool::ParseCommandLine(parser, args, "kivdump print", "kivdump");
      code != tool::Proceed)
    return code;
  if (parser.positionalArguments().size() != 1 || !parser.isSet("out") ||
      parser.value("out").isEmpty()) {
    std::cerr << "usage: kivdump print FILE --out PDF [--from N] [--to M] [--package PKG]"
                 " [--substitute]\n";
    return 2;
  }
  bool okFrom = false, okTo = false;
  const int fromPage = parser.value("from").toInt(&okFrom);
  const int toPage = parser.value("to").toInt(&okTo);
  if (!okFrom || !okTo) {
    std::cerr << "kivdump print: --from and --to take page numbers\n";
    return 2;
  }
  if (tool::IsFolder(parser.value("package")))
    return tool::Complain(
        "kivdump print", parser.value("package").toStdString() + " is a folder, not a help package",
        tool::ExitFailure);
  const QFileInfo file(parser.positionalArguments()[0]);
  if (!file.isFile() || !file.isReadable()) {
    std::cerr << "kivdump print: cannot read " << file.filePath().toStdString() << '\n';
    return 1;
  }

  // The page as kivpack build would pack it, shown in a viewer with the help
  // window's settings, then printed from it.
  const std::string package =
      parser.isSet("package") ? parser.value("package").toStdString() : std::string();
  const PackedPage packed =
      ReadPageAsPacked(file.absoluteFilePath(), {parser.isSet("substitute"), package});
  if (!ReportPackedPage(packed, "print")) return 1;
  THTMLViewer viewer;
  SetUpHelpViewer(viewer, ShownWidth, ShownHeight, DefaultViewerFontSize, package);
  TPrinterSelection& printer = SelectedPrinter();
  printer.PrinterName.clear();
  printer.OutputFileName = parser.value("out");
  const QFileInfo out(parser.value("out"));
  const QDateTime before = out.exists() ? out.lastModified() : QDateTime();
  try {
    LoadPackedPage(viewer, file.absoluteFilePath(), packed);
    viewer.PrintRange(fromPage, toPage);
  } catch (const std::exception& e) {
    std::cerr << "kivdump print: " << e.what() << '\n';
    return 1;
  }
  const QFileInfo written(parser.value("out"));
  if (!written.exists() || written.lastModified() == before)
    std::cerr << "kivdump print: no page in the range " << fromPage << " to " << toPage
              << "; nothing printed\n";
  return 0;
}

}  // namespace

KIVDUMP_COMMAND(print, "print", "print a page as the viewer prints it (PDF)", RunPrint);

}  // namespace kiv::dump
