// The page the page benchmarks work on: the file named by the environment
// variable KIV_BENCH_PAGE, or else the reference page bench/pages/reference.html.
#pragma once

#include <string>

namespace kiv::bench {

const std::string& BenchPagePath();

// The file an image name of the page stands for: names are relative to the
// page's folder (bench/pages/images holds the reference page's pictures).
std::string BenchImagePath(const std::string& name);

// The page's bytes, read on first use. A file that is missing or cannot be
// read ends kivbench with a message on standard error and exit code 1.
const std::string& BenchPage();

}  // namespace kiv::bench
