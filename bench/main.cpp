// kivbench: every benchmark suite of KivHelp in one executable, run with a
// toolkit application on the offscreen platform.
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include "platform/message_box.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  kiv::SetMessageBoxHandler([](const std::string&, const std::string&, int) { return 1; });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
