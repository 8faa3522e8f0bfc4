#include "kivpack/package_inspector.h"

#include <QFile>
#include <QFileInfo>

#include <set>

#include "app/help_package.h"
#include "app/string_helpers.h"
#include "kivpack/package_writer.h"
#include "platform/cp1252.h"
#include "platform/file_error.h"
#include "platform/paths.h"

namespace kiv {

namespace {

QByteArray ReadAll(const std::string& packagePath) {
  QFile f(QString::fromStdString(NativePath(packagePath)));
  if (!f.open(QIODevice::ReadOnly)) throw CantLocateFile(packagePath);
  return f.readAll();
}

}  // namespace

std::vector<std::string> PackageEntryNames(const std::string& packagePath) {
  QByteArray data = ReadAll(packagePath);
  std::vector<std::string> names;
  qsizetype pos = 0;
  while (pos < data.size()) {
    qsizetype nl = data.indexOf('\n', pos);
    if (nl < 0) nl = data.size();
    std::string line(data.constData() + pos, static_cast<std::size_t>(nl - pos));
    pos = nl + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, 6, "******") == 0) break;
    std::string name = CsvField(line, 1, "");
    if (name.empty() || UpperText(name) == "START") continue;
    names.push_back(name);
  }
  return names;
}

bool ExtractEntry(const std::string& packagePath, const std::string& name, std::string& bytes,
                  std::string& error) {
  std::int32_t start = 0, end = 0;
  FindPackageEntry(packagePath, name, start, end);
  if (start == -1) {
    error = "no entry named " + Cp1252ToUtf8(name);
    return false;
  }
  QByteArray data = ReadAll(packagePath);
  if (start < 0 || end < start || start > data.size()) {
    error = "the range of " + Cp1252ToUtf8(name) + " (" + std::to_string(start) + " to " +
            std::to_string(end) + ") lies outside the package";
    return false;
  }
  qsizetype stop = std::min<qsizetype>(end, data.size());
  bytes.assign(data.constData() + start, static_cast<std::size_t>(stop - start));
  return true;
}

VerifyReport VerifyPackage(const std::string& packagePath) {
  VerifyReport report;
  const qint64 size = QFileInfo(QString::fromStdString(NativePath(packagePath))).size();
  std::set<std::string> seen;
  for (const std::string& name : PackageEntryNames(packagePath)) {
    ++report.entries;
    auto problem = [&](const std::string& text) {
      ++report.problems;
      report.lines.push_back(Cp1252ToUtf8(name) + ": " + text);
    };
    if (!seen.insert(UpperText(name)).second) {
      problem("hidden by an earlier entry of the same name");
      continue;
    }
    std::int32_t start = 0, end = 0;
    FindPackageEntry(packagePath, name, start, end);
    if (start < 0 || end < start) {
      problem("bad range " + std::to_string(start) + " to " + std::to_string(end));
      continue;
    }
    if (end > size) {
      problem("runs past the end of the package (" + std::to_string(end) + " > " +
              std::to_string(size) + ")");
      continue;
    }
    if (IsPageName(name) && end - start > PageBufferSize) {
      problem("page is over " + std::to_string(PageBufferSize) + " bytes");
    }
  }
  return report;
}

}  // namespace kiv
