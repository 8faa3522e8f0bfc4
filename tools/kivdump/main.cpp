// kivdump: dumps of the engine for tests, reviews and help authors.
//   kivdump tokens FILE      (the tokenizer's symbols, JSON Lines)
//   kivdump sections FILE    (the laid-out document, JSON Lines)
//   kivdump render FILE      (the painted page, PNG)
//   kivdump image FILE       (a decoded picture, JSON)
//   kivdump print FILE       (the printed page, PDF)
//   kivdump text FILE        (the text Copy All copies, UTF-8)
// Each command lives in its own file and registers itself in the table below.
#include <QApplication>
#include <QCoreApplication>

#include <algorithm>
#include <iostream>
#include <string>

#include "common/tool_command_line.h"
#include "kivdump/commands.h"
#include "platform/device_ratio.h"
#include "platform/message_box.h"
#include "platform/toolkit_environment.h"

int main(int argc, char** argv) {
  kiv::PrepareToolkitEnvironment(true);
  // The toolkit would scale its surfaces by a factor it is given without
  // question; a dump refuses one that is no ratio the viewer paints at.
  if (std::string error; !kiv::CheckScaleFactorEnvironment(error)) {
    std::cerr << "kivdump: " << error << '\n';
    return 2;
  }
  // Widgets: render paints through the viewer control itself.
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName("kivdump");
  // A dump never waits on a dialog: boxes go to standard error.
  kiv::SetMessageBoxHandler([](const std::string& text, const std::string&, int) {
    std::cerr << "kivdump: " << text << '\n';
    return 1;
  });
  QStringList args = QCoreApplication::arguments();
  const auto& commands = kiv::dump::Commands();
  if (args.size() >= 2) {
    for (const auto& c : commands) {
      if (args[1] == c.name) {
        args.removeAt(1);
        return c.run(args);
      }
    }
  }
  const QString first = args.size() >= 2 ? args[1] : QString();
  if (first == "-h" || first == "--help") {
    std::cout << "Usage: kivdump COMMAND FILE [options]\n"
                 "Dumps what the KivHelp engine makes of a page, without a window.\n\n"
                 "Options:\n"
                 "  -h, --help  Show this help and exit.\n"
                 "  --version   Show the version and exit.\n\n"
                 "Commands (kivdump COMMAND --help lists a command's options):\n";
    std::size_t width = 0;
    for (const auto& c : commands) width = std::max(width, std::string(c.name).size());
    for (const auto& c : commands) {
      const std::string name = c.name;
      std::cout << "  " << name << std::string(width + 2 - name.size(), ' ') << c.summary << '\n';
    }
    return 0;
  }
  if (first == "--version") {
    std::cout << kiv::tool::VersionLine("kivdump") << '\n';
    return 0;
  }
  const std::string hint = " (kivdump --help lists the commands)";
  if (first.isEmpty())
    return kiv::tool::Complain("kivdump", "usage: kivdump COMMAND FILE [options]" + hint,
                               kiv::tool::ExitUsage);
  if (first.startsWith('-'))
    return kiv::tool::Complain("kivdump", "Unknown option '" + first.toStdString() + "'." + hint,
                               kiv::tool::ExitUsage);
  return kiv::tool::Complain("kivdump", "unknown command '" + first.toStdString() + "'" + hint,
                             kiv::tool::ExitUsage);
}
