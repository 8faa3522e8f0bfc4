#include "kivpack/package_writer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <map>

#include "app/anchor_map.h"
#include "app/help_package.h"
#include "app/string_helpers.h"
#include "kivpack/utf8_pages.h"
#include "platform/cp1252.h"

namespace kiv {

bool IsPageName(const std::string& name) {
  std::string upper = UpperText(name);
  auto ends = [&](const char* ext) {
    std::string e(ext);
    return upper.size() >= e.size() && upper.compare(upper.size() - e.size(), e.size(), e) == 0;
  };
  return ends(".HTML") || ends(".HTM") || ends(".TXT");
}

std::vector<PackageFile> CollectPackageFiles(const std::string& dir, const std::string& skipPath,
                                             std::vector<std::string>& errors) {
  std::vector<PackageFile> files;
  QDir root(QString::fromStdString(dir));
  QString skip =
      skipPath.empty() ? QString() : QFileInfo(QString::fromStdString(skipPath)).absoluteFilePath();
  QDirIterator it(root.absolutePath(), QDir::Files | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QString path = it.next();
    if (!skip.isEmpty() && QFileInfo(path).absoluteFilePath() == skip) continue;
    QString rel = root.relativeFilePath(path);
    bool lossless = true;
    std::string name = Utf16ToCp1252(rel.toStdU16String(), &lossless);
    if (!lossless) {
      errors.push_back("file name has characters a page cannot name: " + rel.toStdString());
      continue;
    }
    files.push_back({name, path.toStdString(), false, {}});
  }
  std::sort(files.begin(), files.end(), [](const PackageFile& a, const PackageFile& b) {
    std::string ua = UpperText(a.name), ub = UpperText(b.name);
    return ua != ub ? ua < ub : a.name < b.name;
  });
  return files;
}

void ConvertUtf8Pages(std::vector<PackageFile>& files, std::vector<std::string>& errors,
                      std::vector<std::string>& notes) {
  for (PackageFile& f : files) {
    if (!IsPageName(f.name)) continue;
    QFile in(QString::fromStdString(f.nativePath));
    if (!in.open(QIODevice::ReadOnly)) continue;  // WritePackage reports it
    const QByteArray data = in.readAll();
    const std::string_view bytes(data.constData(), static_cast<std::size_t>(data.size()));
    const PageEncodingEvidence evidence = InspectPageEncoding(bytes);
    const std::string shown = Cp1252ToUtf8(f.name);
    if (!IsUtf8Page(evidence)) {
      if (evidence.declared) {
        notes.push_back(shown + ": declares UTF-8 but is not written in it; packed as it is");
      }
      continue;
    }
    Utf8Conversion conversion = ConvertUtf8Page(bytes);
    if (conversion.problemCount > 0) {
      errors.push_back(shown + ": written in UTF-8, and cannot be converted to Windows-1252:");
      for (const std::string& p : conversion.problems) errors.push_back("  " + shown + ": " + p);
      continue;
    }
    f.converted = true;
    f.bytes = std::move(conversion.bytes);
    notes.push_back(shown + ": converted from UTF-8 to Windows-1252");
  }
}

std::vector<std::string> CheckPackageFiles(const std::vector<PackageFile>& files, bool split) {
  std::vector<std::string> errors;
  if (files.empty()) errors.push_back("no files to pack");
  std::map<std::string, std::string> seen;
  for (const PackageFile& f : files) {
    const std::string& n = f.name;
    if (n.find_first_of(",\r\n") != std::string::npos) {
      errors.push_back("name holds a comma or a line end: " + Cp1252ToUtf8(n));
      continue;
    }
    if (n != TrimBlanks(n)) {
      errors.push_back("name begins or ends with a space: " + Cp1252ToUtf8(n));
      continue;
    }
    if (UpperText(n) == "START" || n.compare(0, 6, "******") == 0 ||
        UpperText(n) == UpperText(std::string(AnchorMapEntryName))) {
      errors.push_back("name is reserved by the package index: " + Cp1252ToUtf8(n));
      continue;
    }
    auto [it, fresh] = seen.emplace(UpperText(n), n);
    if (!fresh) {
      errors.push_back("names equal ignoring case: " + Cp1252ToUtf8(it->second) + " and " +
                       Cp1252ToUtf8(n));
    }
    if (IsPageName(n)) {
      qint64 size = f.converted ? static_cast<qint64>(f.bytes.size())
                                : QFileInfo(QString::fromStdString(f.nativePath)).size();
      if (size > PageBufferSize) {
        errors.push_back("page is over " + std::to_string(PageBufferSize) + " bytes (" +
                         std::to_string(size) + "): " + Cp1252ToUtf8(n) +
                         (split ? "" : "; kivpack build --split cuts it into parts"));
      }
    }
  }
  return errors;
}

std::string BuildPackageIndex(const std::vector<PackageFile>& files,
                              const std::vector<long long>& sizes) {
  // The START line holds the index's own length, which depends on the number
  // of digits it is written with: repeat until the length stops changing.
  std::string body;
  long long offset = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    body += files[i].name + "," + std::to_string(offset) + "\r\n";
    offset += sizes[i];
  }
  body += "******," + std::to_string(offset) + "\r\n";
  long long base = 0;
  for (;;) {
    std::string head = "START," + std::to_string(base) + "\r\n";
    long long length = static_cast<long long>(head.size() + body.size());
    if (length == base) return head + body;
    base = length;
  }
}

bool WritePackage(const std::vector<PackageFile>& files, const std::string& outPath,
                  std::string& error) {
  std::vector<QByteArray> contents;
  std::vector<long long> sizes;
  long long total = 0;
  for (const PackageFile& f : files) {
    if (f.converted) {
      contents.emplace_back(f.bytes.data(), static_cast<qsizetype>(f.bytes.size()));
      sizes.push_back(contents.back().size());
      total += contents.back().size();
      continue;
    }
    QFile in(QString::fromStdString(f.nativePath));
    if (!in.open(QIODevice::ReadOnly)) {
      error = "cannot read " + f.nativePath;
      return false;
    }
    contents.push_back(in.readAll());
    sizes.push_back(contents.back().size());
    total += contents.back().size();
  }
  // Offsets are signed 32-bit numbers in the index.
  if (total > 0x7FFFFFFF - 1000000) {
    error = "the files are too large for one package";
    return false;
  }
  std::string index = BuildPackageIndex(files, sizes);
  QSaveFile out(QString::fromStdString(outPath));
  if (!out.open(QIODevice::WriteOnly)) {
    error = "cannot write " + outPath;
    return false;
  }
  out.write(index.data(), static_cast<qint64>(index.size()));
  for (const QByteArray& c : contents) out.write(c);
  if (!out.commit()) {
    error = "cannot write " + outPath;
    return false;
  }
  return true;
}

}  // namespace kiv
