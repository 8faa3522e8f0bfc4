// kivbench: every benchmark suite of KivHelp in one executable, run with a
// toolkit application on the offscreen platform.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "bench_page.h"
#include "platform/message_box.h"
#include "platform/toolkit_environment.h"

int main(int argc, char** argv) {
  kiv::PrepareToolkitEnvironment(true);
  // Widgets: the viewer benchmarks drive the viewer control itself.
  QApplication app(argc, argv);
  kiv::SetMessageBoxHandler([](const std::string&, const std::string&, int) { return 1; });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The page benchmarks' page (KIV_BENCH_PAGE) is read before anything runs,
  // so that a wrong name stops the run at once.
  kiv::bench::BenchPage();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
