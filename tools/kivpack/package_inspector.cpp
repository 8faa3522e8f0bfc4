#include "kivpack/package_inspector.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "app/anchor_map.h"
#include "app/help_package.h"
#include "app/string_helpers.h"
#include "kivpack/package_writer.h"
#include "kivpack/page_tags.h"
#include "kivpack/picture_conversion.h"
#include "kivpack/reference_rewriter.h"
#include "kivpack/utf8_pages.h"
#include "platform/cp1252.h"
#include "platform/file_error.h"
#include "platform/paths.h"
#include "reader/tokenizer.h"

namespace kiv {

namespace {

QByteArray ReadAll(const std::string& packagePath) {
  QFile f(QString::fromStdString(NativePath(packagePath)));
  if (!f.open(QIODevice::ReadOnly)) throw CantLocateFile(packagePath);
  return f.readAll();
}

// The name the help window looks a link's file part up by: the part after
// the last backslash or colon ("/" belongs to package names).
std::string LinkFileName(const std::string& filePart) {
  std::size_t sep = filePart.find_last_of("\\:");
  return sep == std::string::npos ? filePart : filePart.substr(sep + 1);
}

struct PageReference {
  Symbol attribute;  // HrefSy, SrcSy or BackgroundSy
  std::string text;
  bool picture = false;  // an IMG or INPUT SRC or a BODY BACKGROUND: shown as a picture
};

// Every HREF and SRC of the tags of a page and the BODY's BACKGROUND, in page
// order, read by the viewer's own tokenizer. Raises the tokenizer's parse
// error.
std::vector<PageReference> PageReferences(const std::string& bytes) {
  std::vector<PageReference> refs;
  ReaderState reader;
  reader.StartBuffer(bytes.data(), std::min<std::size_t>(bytes.size(), PageBufferSize));
  reader.NextChar();
  do {
    reader.Next();
    if (reader.Sym == ScriptSy) {
      // The window runs no script: its source is never fetched, and its
      // content, tags included, is read and dropped.
      while (reader.Sym != ScriptEndSymbol && reader.Sym != EndOfInputSymbol) reader.Next();
      continue;
    }
    // A BASE's HREF is the base of file names, no link: the help window
    // follows links by their own text.
    if (!TakesAttributes(reader.Sym) || reader.Sym == BaseSy) continue;
    for (Symbol id : {HrefSy, SrcSy, BackgroundSy}) {
      const bool picture = (id == SrcSy && (reader.Sym == ImageSy || reader.Sym == InputSy)) ||
                           (id == BackgroundSy && reader.Sym == BodySy);
      if (id == BackgroundSy && !picture) continue;
      const TAttribute* a = nullptr;
      if (FindAttribute(reader.Attributes, id, a)) refs.push_back({id, a->Text, picture});
    }
  } while (reader.Sym != EndOfInputSymbol);
  return refs;
}

// The anchors of a page, upper case: the NAME of every A and the ID of any tag.
std::set<std::string> PageAnchors(const std::string& bytes) {
  std::set<std::string> anchors;
  PageTagScanner scanner(bytes);
  PageTag tag;
  while (scanner.Next(tag)) {
    if (tag.endTag) continue;
    const PageAttribute* a = tag.sym == ASy ? tag.Find("NAME") : nullptr;
    if (!a) a = tag.Find("ID");
    // As the reader reads them, as links are read ("&lt;" is "<").
    if (a && a->valueEnd > a->valueStart) anchors.insert(UpperText(AttributeValue(bytes, *a)));
  }
  return anchors;
}

// Checks the anchor map and, for the pages it names (pages cut in parts),
// that every link to one of their anchors finds it in the page or through
// the map.
class AnchorCheck {
 public:
  AnchorCheck(const std::string& packagePath, const std::set<std::string>& entries)
      : packagePath_(packagePath) {
    std::string bytes, error;
    if (!entries.count(UpperText(std::string(AnchorMapEntryName))) ||
        !ExtractEntry(packagePath, std::string(AnchorMapEntryName), bytes, error))
      return;
    map_ = TAnchorMap::Parse(bytes);
  }

  // Problems of the map itself: a line naming a page or part that is not
  // there, or a part that does not hold the anchor.
  void CheckMap(VerifyReport& report) {
    for (const TAnchorMap::Entry& e : map_.Entries()) {
      cut_.insert(UpperText(e.page));
      if (!Anchors(e.part).count(UpperText(e.anchor))) {
        ++report.problems;
        report.lines.push_back(std::string(AnchorMapEntryName) + ": " +
                               Cp1252ToUtf8(e.page + "#" + e.anchor) + ": " + Cp1252ToUtf8(e.part) +
                               " does not hold the anchor");
      }
    }
  }

  // False when page is one cut in parts and neither it nor the part the map
  // names holds the anchor.
  bool Finds(const std::string& page, const std::string& anchor) {
    if (anchor.empty() || !cut_.count(UpperText(page))) return true;
    if (Anchors(page).count(UpperText(anchor))) return true;
    return map_.PartHolding(page, anchor) != nullptr;
  }

 private:
  const std::set<std::string>& Anchors(const std::string& page) {
    auto it = anchors_.find(UpperText(page));
    if (it != anchors_.end()) return it->second;
    std::string bytes, error;
    std::set<std::string> found;
    if (ExtractEntry(packagePath_, page, bytes, error)) found = PageAnchors(bytes);
    return anchors_.emplace(UpperText(page), std::move(found)).first->second;
  }

  const std::string& packagePath_;
  TAnchorMap map_;
  std::set<std::string> cut_;  // upper-case names of the pages the map names
  std::map<std::string, std::set<std::string>> anchors_;
};

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
  std::vector<std::string> pages;
  std::vector<std::string> externals;
  const std::vector<std::string> names = PackageEntryNames(packagePath);
  std::set<std::string> entries;  // upper case, as lookups compare
  for (const std::string& name : names) entries.insert(UpperText(name));
  for (const std::string& name : names) {
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
    if (IsPageName(name)) pages.push_back(name);
  }

  AnchorCheck anchors(packagePath, entries);
  anchors.CheckMap(report);
  for (const std::string& page : pages) {
    const std::string shown = Cp1252ToUtf8(page);
    auto problem = [&](const std::string& text) {
      ++report.problems;
      report.lines.push_back(shown + ": " + text);
    };
    std::string bytes, error;
    if (!ExtractEntry(packagePath, page, bytes, error)) continue;  // reported above
    const PageEncodingEvidence encoding = InspectPageEncoding(bytes);
    if (BytesLookLikeUtf8(encoding)) {
      problem(std::string("bytes look like UTF-8 (") +
              (encoding.byteOrderMark ? "a byte-order mark, " : "") +
              std::to_string(encoding.multiByte) +
              " multi-byte characters) but the viewer reads pages in a single-byte code page; "
              "pack the page with kivpack build, which converts it");
    }
    std::vector<PageReference> refs;
    try {
      refs = PageReferences(bytes);
    } catch (const EParseError& e) {
      problem(e.what());
      continue;
    }
    for (const PageReference& ref : refs) {
      const std::string kind = ref.attribute == HrefSy  ? "HREF"
                               : ref.attribute == SrcSy ? "SRC"
                                                        : "BACKGROUND";
      std::string quoted = "\"";
      quoted.append(Cp1252ToUtf8(ref.text)).append("\"");
      if (ref.text.empty()) continue;
      if (ref.attribute == HrefSy && !HasScheme(ref.text) &&
          ref.text.find('#') != std::string::npos) {
        const std::size_t hash = ref.text.find('#');
        const std::string file = LinkFileName(ref.text.substr(0, hash));
        if (!anchors.Finds(IsBlank(file) ? page : file, ref.text.substr(hash + 1)))
          problem("broken anchor HREF " + quoted);
      }
      if (ref.text[0] == '#' || HasScheme(ref.text)) {
        ++report.external;
        externals.push_back(shown + ": external " + kind + " " + quoted);
        continue;
      }
      // Links load the part before the first "#"; pictures are found by
      // their whole source text.
      std::string wanted = ref.text;
      if (ref.attribute == HrefSy) {
        wanted = LinkFileName(ref.text.substr(0, ref.text.find('#')));
        if (IsBlank(wanted)) continue;
      }
      if (!entries.count(UpperText(wanted))) {
        problem((ref.attribute == HrefSy ? "broken link " : "missing picture ") + kind + " " +
                quoted);
      } else if (ref.picture && !ViewerShowsPictureName(wanted)) {
        // The window decodes ".bmp", ".gif" and ".jpg" only.
        problem("picture the viewer will not show " + kind + " " + quoted +
                " (kivpack build converts PNG, JPEG, SVG and WebP pictures)");
      }
    }
  }
  for (std::string& line : externals) report.lines.push_back(std::move(line));
  return report;
}

}  // namespace kiv
