#include "common/tool_command_line.h"

#include <QFileInfo>

#include <iostream>

#include "kiv_version.h"

namespace kiv::tool {

std::string VersionLine(const std::string& tool) {
  return tool + " (KivHelp) " KIV_VERSION;
}

void AddStandardOptions(QCommandLineParser& parser) {
  // Our own help option: the toolkit's adds --help-all, which lists options
  // the tools do not take.
  parser.addOption({{"h", "help"}, "Show this help and exit."});
  parser.addOption({"version", "Show the version and exit."});
}

std::string HelpText(const QCommandLineParser& parser, const std::string& invocation) {
  std::string text = parser.helpText().toStdString();
  // "Usage: /path/to/kivdump [options] ..." -> "Usage: kivdump render [options] ...".
  const std::string prefix = "Usage: ";
  if (text.compare(0, prefix.size(), prefix) == 0) {
    std::size_t end = text.find(' ', prefix.size());
    if (end == std::string::npos) end = text.find('\n', prefix.size());
    if (end != std::string::npos) text.replace(prefix.size(), end - prefix.size(), invocation);
  }
  return text;
}

int ParseCommandLine(QCommandLineParser& parser, const QStringList& args,
                     const std::string& invocation, const std::string& tool) {
  if (!parser.parse(args)) {
    return Complain(
        invocation,
        parser.errorText().toStdString() + " (" + invocation + " --help lists the options)",
        ExitUsage);
  }
  if (parser.isSet("help")) {
    std::cout << HelpText(parser, invocation);
    return 0;
  }
  if (parser.isSet("version")) {
    std::cout << VersionLine(tool) << '\n';
    return 0;
  }
  return Proceed;
}

int Complain(const std::string& invocation, const std::string& message, int code) {
  std::cerr << invocation << ": " << message << '\n';
  return code;
}

bool IsFolder(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

}  // namespace kiv::tool
