#include "run_tool.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace kiv::testing {

ToolResult RunTool(const std::string& tool, const std::vector<std::string>& args) {
  QProcess p;
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  p.start(QString::fromStdString(std::string(KIV_BIN_DIR) + "/" + tool), list);
  ToolResult r;
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
    r.err = "tool did not finish";
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  // In a sanitizer build a tool's report would hide in the captured output of
  // a run whose exit code the test expects to be non-zero: fail on it here.
  if (r.err.find("ERROR: AddressSanitizer") != std::string::npos ||
      r.err.find("ERROR: LeakSanitizer") != std::string::npos ||
      r.err.find(": runtime error: ") != std::string::npos)
    ADD_FAILURE() << tool << " reported a sanitizer error:\n" << r.err;
  return r;
}

}  // namespace kiv::testing
