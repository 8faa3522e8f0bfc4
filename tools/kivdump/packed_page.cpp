#include "kivdump/packed_page.h"

#include <QFile>
#include <QFileInfo>

#include <iostream>
#include <set>

#include "app/help_package.h"
#include "app/string_helpers.h"
#include "kivpack/package_inspector.h"
#include "kivpack/page_conversion.h"
#include "kivpack/page_tags.h"
#include "kivpack/picture_conversion.h"
#include "kivpack/reference_rewriter.h"
#include "kivpack/split_pages.h"
#include "kivpack/tree_names.h"
#include "platform/cp1252.h"

namespace kiv::dump {

namespace {

bool PackageHolds(const std::string& package, const std::string& name) {
  try {
    std::int32_t start = -1, end = 0;
    FindPackageEntry(package, name, start, end);
    return start >= 0;
  } catch (const std::exception&) {
    return false;
  }
}

// A page of a tree names its neighbours relative to its own folder; in the
// package they go by their path from the top, and the packer wrote those
// names. The page's folder in the package is the longest end of its path on
// disk that the package holds ("html/" for .../libxslt/html/index.html).
void ResolveFolderReferences(const QString& path, const std::string& package, PackedPage& page) {
  std::vector<std::string> entries;
  try {
    entries = PackageEntryNames(package);
  } catch (const std::exception&) {
    return;  // no package to find pictures in: the supply says so
  }
  TreeNames names;
  std::set<std::string> held;
  for (const std::string& e : entries) {
    names.Add(e, e);
    held.insert(UpperText(e));
  }
  // A converted picture is held under its old name and the new extension.
  for (const std::string& e : entries) {
    const std::string stem = e.size() > 4 ? e.substr(0, e.size() - 4) : std::string();
    const std::string ext = UpperText(e.substr(stem.size()));
    if ((ext == ".GIF" || ext == ".BMP") && ConvertiblePictureName(stem)) names.Add(stem, e);
  }
  const QStringList parts = QFileInfo(path).absoluteFilePath().split('/', Qt::SkipEmptyParts);
  if (parts.isEmpty()) return;
  const std::string file = Utf8ToCp1252(parts.back().toStdString());
  std::string tail, folder;
  for (qsizetype i = parts.size() - 1; i >= 0; --i) {
    tail = Utf8ToCp1252(parts[i].toStdString()) + (tail.empty() ? "" : "/" + tail);
    if (held.count(UpperText(tail))) folder = tail.substr(0, tail.size() - file.size());
  }
  if (names.RewritePage(page.bytes, folder) > 0) page.changed = true;
}

}  // namespace

PackedPage ReadPageAsPacked(const QString& path, const PackedPageOptions& options) {
  PackedPage page;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    page.error = "cannot read " + path.toStdString();
    return page;
  }
  const QByteArray data = file.readAll();
  page.bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
  const std::string shown = QFileInfo(path).fileName().toStdString();
  PageConversionOptions conversionOptions;
  conversionOptions.substitute = options.substitute;
  PageConversion conversion = ConvertPage(page.bytes, conversionOptions);
  for (const std::string& n : conversion.notes) page.notes.push_back(shown + ": " + n);
  if (conversion.problemCount > 0) {
    page.problems.push_back(shown + ": written in " + conversion.from +
                            ", and kivpack build would refuse it:");
    for (const std::string& p : conversion.problems) page.problems.push_back("  " + p);
    return page;
  }
  if (conversion.converted) {
    page.notes.push_back(shown + ": read as packed, converted from " + conversion.from + " to " +
                         CodePageName(conversion.codePage));
    for (const std::string& s : conversion.substitutions) page.notes.push_back("  " + s);
    page.bytes = std::move(conversion.bytes);
    page.changed = true;
  }
  // A page over the page buffer is packed in parts: the preview shows it
  // whole and names them.
  if (page.bytes.size() > static_cast<std::size_t>(PageBufferSize)) {
    const PageSplit cut = CutPageForPackage(page.bytes, shown);
    std::string note = shown + ": " + std::to_string(page.bytes.size()) + " bytes, over the " +
                       std::to_string(PageBufferSize) + " a page may hold; ";
    if (!cut.error.empty()) {
      note += "kivpack build refuses it, also with --split: " + cut.error;
    } else {
      note += "kivpack build --split packs it as " + std::to_string(cut.parts.size()) +
              " parts (shown whole here):";
      for (std::size_t k = 0; k < cut.parts.size(); ++k)
        note += (k ? ", " : " ") + cut.parts[k].name + " (" +
                std::to_string(cut.parts[k].bytes.size()) + " bytes)";
    }
    page.notes.push_back(note);
  }
  if (!options.package.empty()) ResolveFolderReferences(path, options.package, page);
  // The packer renames the pictures it converts: the page names the GIF or
  // the bitmap the package holds in place of the original.
  if (!options.package.empty()) {
    ReferenceMap renames;
    PageTagScanner scanner(page.bytes);
    PageTag tag;
    while (scanner.Next(tag)) {
      const PageAttribute* a = tag.sym == ImageSy || tag.sym == InputSy ? tag.Find("SRC")
                               : tag.sym == BodySy                      ? tag.Find("BACKGROUND")
                                                                        : nullptr;
      if (!a || !a->hasValue) continue;
      const std::string name(AttributeText(page.bytes, *a));
      if (!ConvertiblePictureName(name) || PackageHolds(options.package, name)) continue;
      for (const char* ext : {".gif", ".bmp"}) {
        if (PackageHolds(options.package, name + ext)) {
          renames.Rename(name, name + ext);
          break;
        }
      }
    }
    const std::string pageName = QFileInfo(path).fileName().toStdString();
    if (!renames.Empty() && RewriteReferences(page.bytes, renames, pageName) > 0)
      page.changed = true;
  }
  return page;
}

bool ReportPackedPage(const PackedPage& page, const char* command) {
  for (const std::string& n : page.notes) std::cerr << "kivdump " << command << ": " << n << '\n';
  for (const std::string& p : page.problems)
    std::cerr << "kivdump " << command << ": " << p << '\n';
  if (!page.error.empty()) std::cerr << "kivdump " << command << ": " << page.error << '\n';
  return page.problems.empty() && page.error.empty();
}

}  // namespace kiv::dump
