// kivbench: every benchmark suite of KivHelp in one executable, run with a
// toolkit application on the offscreen platform.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "platform/message_box.h"
#include "platform/toolkit_environment.h"

int main(int argc, char** argv) {
  kiv::PrepareToolkitEnvironment(true);
  // Widgets: the viewer benchmarks drive the viewer control itself.
  QApplication app(argc, argv);
  kiv::SetMessageBoxHandler([](const std::string&, const std::string&, int) { return 1; });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
