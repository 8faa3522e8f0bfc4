// Runs one of the built command-line tools and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace kiv::testing {

struct ToolResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// tool is the executable's name in the build's bin folder. environment
// changes the tool's environment: NAME=VALUE sets, NAME alone removes.
ToolResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                   const std::vector<std::string>& environment = {});

}  // namespace kiv::testing
