// kivdump: dumps of the engine for tests, reviews and help authors.
//   kivdump tokens FILE      (the tokenizer's symbols, JSON Lines)
//   kivdump sections FILE    (the laid-out document, JSON Lines)
//   kivdump render FILE      (the painted page, PNG)
//   kivdump image FILE       (a decoded picture, JSON)
//   kivdump print FILE       (the printed page, PDF)
// Each command lives in its own file and registers itself in the table below.
#include <QApplication>
#include <QCoreApplication>

#include <iostream>
#include <string>

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
  std::cerr << "usage: kivdump COMMAND FILE [options]\ncommands:\n";
  for (const auto& c : commands) std::cerr << "  " << c.name << "  " << c.summary << '\n';
  return 2;
}
