#include "run_tool.h"

#include <QJsonDocument>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <sstream>

namespace kiv::testing {

ToolResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                   const std::vector<std::string>& environment) {
  QProcess p;
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  if (!environment.empty()) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const std::string& e : environment) {
      const std::size_t eq = e.find('=');
      if (eq == std::string::npos) {
        env.remove(QString::fromStdString(e));
      } else {
        env.insert(QString::fromStdString(e.substr(0, eq)), QString::fromStdString(e.substr(eq + 1)));
      }
    }
    p.setProcessEnvironment(env);
  }
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

std::vector<QJsonObject> JsonLines(const std::string& out) {
  std::vector<QJsonObject> objects;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    objects.push_back(doc.object());
  }
  return objects;
}

}  // namespace kiv::testing
