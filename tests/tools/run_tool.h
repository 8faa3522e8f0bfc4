// Runs one of the built command-line tools and collects what it printed.
#pragma once

#include <QJsonObject>

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

// One object a line of out (JSON Lines, as kivdump prints); a line that does
// not parse fails the test and gives an empty object.
std::vector<QJsonObject> JsonLines(const std::string& out);

}  // namespace kiv::testing
