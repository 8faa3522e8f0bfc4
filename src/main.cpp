// KivHelp: the help viewer's entry point. A start while another instance runs
// hands its arguments to that instance and ends; the first start shows the
// help window and runs until it is closed.
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/kiv_help_window.h"
#include "app/single_instance.h"
#include "platform/cp1252.h"
#include "platform/device_ratio.h"
#include "platform/message_box.h"
#include "platform/toolkit_environment.h"

namespace {

// KIVHELP_MESSAGE_BOXES=FILE writes every message box to FILE as a line
// "caption: text" and answers OK, instead of showing it ("-": standard
// error). Tests and unattended runs use it so that nothing waits on a dialog.
// KIVHELP_MESSAGE_BOX_MS=N then keeps each box "open" for N milliseconds,
// running the event loop meanwhile as a shown box does.
void RedirectMessageBoxes() {
  const char* target = std::getenv("KIVHELP_MESSAGE_BOXES");
  if (!target || !*target) return;
  const std::string path = target;
  const char* open = std::getenv("KIVHELP_MESSAGE_BOX_MS");
  const int openMs = open ? std::clamp(std::atoi(open), 0, 60000) : 0;
  kiv::SetMessageBoxHandler(
      [path, openMs](const std::string& text, const std::string& caption, int buttons) {
        const std::string line = kiv::Cp1252ToUtf8(caption) + ": " + kiv::Cp1252ToUtf8(text) + "\n";
        if (path == "-") {
          std::cerr << line;
        } else {
          QFile file(QString::fromStdString(path));
          if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write(line.data(), line.size());
        }
        if (openMs > 0 && QCoreApplication::instance()) {
          QEventLoop loop;
          QTimer::singleShot(openMs, &loop, &QEventLoop::quit);
          loop.exec();
        }
        return buttons == kiv::MB_YESNO ? kiv::IDYES : kiv::IDOK;
      });
}

}  // namespace

int main(int argc, char** argv) {
  // The arguments exactly as the host gave them (bytes, not re-encoded).
  std::vector<std::string> args;
  for (int i = 1; i < argc && i <= 3; ++i) args.emplace_back(argv[i]);

  RedirectMessageBoxes();
  kiv::PrepareToolkitEnvironment(false);
  // A scale factor from the environment that is no ratio the viewer paints at
  // (0, negative, NaN, 0.1, 7) is held within 1 to 4 before the toolkit reads it.
  kiv::ClampScaleFactorEnvironment();
  // A second start does not get this far; when its message file cannot be
  // written it reports that and ends with exit code 1.
  kiv::CheckSingleInstance(args, [&argc, argv](const std::string& message) {
    std::cerr << "kivhelp: " << kiv::Cp1252ToUtf8(message) << '\n';
    if (std::getenv("KIVHELP_MESSAGE_BOXES")) {
      kiv::ShowErrorBox(message);
    } else {
      QApplication app(argc, argv);
      kiv::ShowErrorBox(message);
    }
  });

  QApplication app(argc, argv);
  app.setApplicationName("KivHelp");
  kiv::TKivHelpWindow window(args);
  if (const char* state = std::getenv("KIVHELP_STATE_FILE"); state && *state) {
    window.SetStateFile(state);
  }
  window.show();
  return app.exec();
}
