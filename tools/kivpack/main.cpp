// kivpack: packs help pages and images into a help package and inspects one.
//   kivpack build DIR -o kivmap.hpm [--split] [--substitute]
//   kivpack list PKG
//   kivpack lookup PKG NAME
//   kivpack extract PKG NAME [-o FILE]
//   kivpack verify PKG
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <iostream>

#include "app/help_package.h"
#include "common/tool_command_line.h"
#include "kivpack/package_inspector.h"
#include "kivpack/package_writer.h"
#include "kivpack/split_pages.h"
#include "kivpack/tree_names.h"
#include "platform/cp1252.h"
#include "platform/file_error.h"
#include "platform/toolkit_environment.h"

using namespace kiv;

namespace {

int Fail(const std::string& message) {
  return tool::Complain("kivpack", message, tool::ExitFailure);
}

// Wrong arguments for a command: its usage line, exit code 2.
int Usage(const std::string& usage) {
  return tool::Complain("kivpack", "usage: " + usage, tool::ExitUsage);
}

// The package argument of the reading commands: a folder is refused by name
// (it would read as an empty or unreadable package).
bool PackageArgumentIsFolder(const QString& path, int& code) {
  if (!tool::IsFolder(path)) return false;
  code = Fail(path.toStdString() + " is a folder, not a help package");
  return true;
}

// An output file that is a folder is refused before any work.
bool OutputIsFolder(const QString& out, int& code) {
  if (!tool::IsFolder(out)) return false;
  code = Fail("cannot write " + out.toStdString() + ": it is a folder");
  return true;
}

int Build(const QStringList& args, const QString& out, bool split,
          const PageConversionOptions& options) {
  if (args.size() != 1 || out.isEmpty())
    return Usage("kivpack build DIR -o PACKAGE [--split] [--substitute]");
  std::string dir = args[0].toStdString();
  if (!QFileInfo(args[0]).isDir()) return Fail("not a folder: " + dir);
  if (int code = 0; OutputIsFolder(out, code)) return code;
  std::vector<std::string> errors;
  std::vector<PackageFile> files = CollectPackageFiles(dir, out.toStdString(), errors);
  std::vector<std::string> notes;
  ConvertPages(files, options, errors, notes);
  ResolveTreeNames(files, notes);
  ConvertPictures(files, errors, notes);
  SplitOutcome cut;
  if (split) cut = SplitOversizedPages(files, errors, notes);
  for (const std::string& e : CheckPackageFiles(files, split)) errors.push_back(e);
  for (const std::string& n : notes) std::cerr << "kivpack: " << n << '\n';
  if (!errors.empty()) {
    for (const std::string& e : errors) std::cerr << "kivpack: " << e << '\n';
    return Fail("nothing was written");
  }
  AddAnchorMap(files, cut.moved);
  std::string error;
  if (!WritePackage(files, out.toStdString(), error)) return Fail(error);
  for (const std::string& line : cut.lines) std::cout << "moved anchor " << line << '\n';
  if (cut.pagesSplit > 0) {
    std::cout << "split " << cut.pagesSplit << " pages; " << cut.moved.Size() << " anchors moved, "
              << cut.linksRewritten << " links rewritten\n";
  }
  std::cout << "packed " << files.size() << " files into " << out.toStdString() << '\n';
  return 0;
}

int List(const QStringList& args) {
  if (args.size() != 1) return Usage("kivpack list PACKAGE");
  if (int code = 0; PackageArgumentIsFolder(args[0], code)) return code;
  const std::string pkg = args[0].toStdString();
  for (const std::string& name : PackageEntryNames(pkg)) {
    std::int32_t start = 0, end = 0;
    FindPackageEntry(pkg, name, start, end);
    std::cout << Cp1252ToUtf8(name) << ' ' << start << ' ' << end << '\n';
  }
  return 0;
}

int Lookup(const QStringList& args) {
  if (args.size() != 2) return Usage("kivpack lookup PACKAGE NAME");
  if (int code = 0; PackageArgumentIsFolder(args[0], code)) return code;
  std::int32_t start = 0, end = 0;
  FindPackageEntry(args[0].toStdString(), Utf8ToCp1252(args[1].toStdString()), start, end);
  std::cout << start << ' ' << end << '\n';
  return 0;
}

int Extract(const QStringList& args, const QString& out) {
  if (args.size() != 2) return Usage("kivpack extract PACKAGE NAME [-o FILE]");
  if (int code = 0; PackageArgumentIsFolder(args[0], code)) return code;
  if (int code = 0; OutputIsFolder(out, code)) return code;
  std::string bytes;
  std::string error;
  if (!ExtractEntry(args[0].toStdString(), Utf8ToCp1252(args[1].toStdString()), bytes, error))
    return Fail(error);
  if (out.isEmpty()) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the output");
  }
  QFile file(out);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
          static_cast<qint64>(bytes.size()))
    return Fail("cannot write " + out.toStdString());
  return 0;
}

int Verify(const QStringList& args) {
  if (args.size() != 1) return Usage("kivpack verify PACKAGE");
  if (int code = 0; PackageArgumentIsFolder(args[0], code)) return code;
  VerifyReport report = VerifyPackage(args[0].toStdString());
  for (const std::string& line : report.lines) std::cout << line << '\n';
  std::cout << report.entries << " entries, " << report.problems << " problems\n";
  return report.problems == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // Pictures are converted through the toolkit's image and SVG readers; an
  // SVG's text needs the fonts, which only a GUI application has. No window
  // is ever shown, so the platform is always the offscreen one: a packer run
  // where QT_QPA_PLATFORM names a display that is not there still works.
  qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  PrepareToolkitEnvironment(true);
  QGuiApplication app(argc, argv);
  QCoreApplication::setApplicationName("kivpack");
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Packs help pages and images into a KivHelp package, and inspects packages.\n\n"
      "Commands:\n"
      "  build DIR -o PACKAGE     pack every file under DIR (--split: cut pages over\n"
      "                           128000 bytes into parts; pages converted to the code page\n"
      "                           that holds their characters; --substitute)\n"
      "  list PACKAGE             NAME START END of every entry\n"
      "  lookup PACKAGE NAME      START END of one name (-1 128000 when absent)\n"
      "  extract PACKAGE NAME     the bytes of one entry (to -o FILE or standard output)\n"
      "  verify PACKAGE           check every entry and every page's links");
  tool::AddStandardOptions(parser);
  parser.addPositionalArgument("command", "build, list, lookup, extract or verify");
  QCommandLineOption outOption({"o", "output"}, "Output file.", "file");
  parser.addOption(outOption);
  QCommandLineOption splitOption(
      "split",
      "build: cut every page over 128000 bytes into parts NAME, NAME-2, ... at block "
      "boundaries, send links to the part holding their anchor, and list the moved anchors.");
  parser.addOption(splitOption);
  QCommandLineOption substituteOption(
      "substitute",
      "build: write the closest text (\"->\" for an arrow, \"?\" at worst) for a character "
      "no code page of its page holds, and list every substitution, instead of refusing the "
      "page.");
  parser.addOption(substituteOption);
  if (int code = tool::ParseCommandLine(parser, app.arguments(), "kivpack", "kivpack");
      code != tool::Proceed)
    return code;

  QStringList args = parser.positionalArguments();
  if (args.isEmpty()) return Usage("kivpack COMMAND ... (kivpack --help lists the commands)");
  QString command = args.takeFirst();
  try {
    if (command == "build") {
      PageConversionOptions options;
      options.substitute = parser.isSet(substituteOption);
      return Build(args, parser.value(outOption), parser.isSet(splitOption), options);
    }
    if (command == "list") return List(args);
    if (command == "lookup") return Lookup(args);
    if (command == "extract") return Extract(args, parser.value(outOption));
    if (command == "verify") return Verify(args);
  } catch (const EInOutError& e) {
    return Fail(e.what());
  }
  return tool::Complain(
      "kivpack",
      "unknown command '" + command.toStdString() + "' (kivpack --help lists the commands)",
      tool::ExitUsage);
}
