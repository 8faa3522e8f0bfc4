#include "kivpack/package_writer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <map>
#include <set>

#include "app/anchor_map.h"
#include "app/help_package.h"
#include "app/string_helpers.h"
#include "kivpack/page_conversion.h"
#include "kivpack/picture_conversion.h"
#include "kivpack/reference_rewriter.h"
#include "platform/cp1252.h"

namespace kiv {

namespace {

// Sorted by name ignoring case, as the index lists them.
void SortByName(std::vector<PackageFile>& files) {
  std::sort(files.begin(), files.end(), [](const PackageFile& a, const PackageFile& b) {
    std::string ua = UpperText(a.name), ub = UpperText(b.name);
    return ua != ub ? ua < ub : a.name < b.name;
  });
}

}  // namespace

bool IsPageName(const std::string& name) {
  std::string upper = UpperText(name);
  auto ends = [&](const char* ext) {
    std::string e(ext);
    return upper.size() >= e.size() && upper.compare(upper.size() - e.size(), e.size(), e) == 0;
  };
  return ends(".HTML") || ends(".HTM") || ends(".TXT");
}

bool ReadPackageFile(const PackageFile& file, std::string& bytes) {
  if (file.converted) {
    bytes = file.bytes;
    return true;
  }
  QFile in(QString::fromStdString(file.nativePath));
  if (!in.open(QIODevice::ReadOnly)) return false;
  const QByteArray data = in.readAll();
  bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
  return true;
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
  SortByName(files);
  return files;
}

void ConvertPages(std::vector<PackageFile>& files, const PageConversionOptions& options,
                  std::vector<std::string>& errors, std::vector<std::string>& notes) {
  for (PackageFile& f : files) {
    if (!IsPageName(f.name)) continue;
    QFile in(QString::fromStdString(f.nativePath));
    if (!in.open(QIODevice::ReadOnly)) continue;  // WritePackage reports it
    const QByteArray data = in.readAll();
    const std::string_view bytes(data.constData(), static_cast<std::size_t>(data.size()));
    PageConversion conversion = ConvertPage(bytes, options);
    const std::string shown = Cp1252ToUtf8(f.name);
    for (const std::string& n : conversion.notes) notes.push_back(shown + ": " + n);
    if (conversion.problemCount > 0) {
      errors.push_back(shown + ": written in " + conversion.from +
                       ", and cannot be converted to one code page:");
      for (const std::string& p : conversion.problems) errors.push_back("  " + shown + ": " + p);
      continue;
    }
    if (!conversion.converted) continue;
    f.converted = true;
    f.bytes = std::move(conversion.bytes);
    std::string note =
        shown + ": converted from " + conversion.from + " to " + CodePageName(conversion.codePage);
    if (conversion.dropped > 0)
      note += ", " + std::to_string(conversion.dropped) + " invisible characters left out";
    if (!conversion.substitutions.empty())
      note += ", " + std::to_string(conversion.substitutions.size()) + " characters substituted";
    notes.push_back(note);
    for (const std::string& s : conversion.substitutions) notes.push_back("  " + shown + ": " + s);
  }
}

void ConvertPictures(std::vector<PackageFile>& files, std::vector<std::string>& errors,
                     std::vector<std::string>& notes) {
  std::set<std::string> taken;
  for (const PackageFile& f : files) taken.insert(UpperText(f.name));
  ReferenceMap renames;
  for (PackageFile& f : files) {
    if (!ConvertiblePictureName(f.name)) continue;
    const std::string shown = Cp1252ToUtf8(f.name);
    QFile in(QString::fromStdString(f.nativePath));
    if (!in.open(QIODevice::ReadOnly)) {
      errors.push_back(shown + ": cannot be read");
      continue;
    }
    PictureConversion picture = ConvertPicture(f.name, in.readAll());
    if (picture.bytes.empty()) {
      errors.push_back(shown + ": " + picture.error);
      continue;
    }
    // The old name stays before the new extension; a name already taken
    // (say a "prev.png.gif" of the folder) gets a number.
    const std::string ext = picture.gif ? ".gif" : ".bmp";
    std::string name = f.name + ext;
    for (int n = 2; taken.count(UpperText(name)); ++n)
      name = f.name + "-" + std::to_string(n) + ext;
    taken.insert(UpperText(name));
    renames.Rename(f.name, name);
    notes.push_back(shown + ": converted to " +
                    (picture.gif ? "GIF" : "a 24-bit bitmap over white") + " as " +
                    Cp1252ToUtf8(name));
    f.name = name;
    f.converted = true;
    f.bytes = std::move(picture.bytes);
  }
  if (renames.Empty()) return;
  for (PackageFile& f : files) {
    if (!IsPageName(f.name)) continue;
    if (!f.converted) {
      QFile in(QString::fromStdString(f.nativePath));
      if (!in.open(QIODevice::ReadOnly)) continue;  // WritePackage reports it
      const QByteArray data = in.readAll();
      std::string bytes(data.constData(), static_cast<std::size_t>(data.size()));
      if (RewriteReferences(bytes, renames, f.name) == 0) continue;
      f.converted = true;
      f.bytes = std::move(bytes);
    } else {
      RewriteReferences(f.bytes, renames, f.name);
    }
  }
  SortByName(files);
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
