#include "run_tool.h"

#include <QProcess>
#include <QStringList>

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
  return r;
}

}  // namespace kiv::testing
