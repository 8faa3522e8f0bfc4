#include "kivpack/split_pages.h"

#include <algorithm>
#include <map>
#include <set>

#include "app/help_package.h"
#include "app/string_helpers.h"
#include "kivpack/page_splitter.h"
#include "kivpack/page_tags.h"
#include "kivpack/reference_rewriter.h"
#include "platform/cp1252.h"

namespace kiv {

namespace {

void SortByName(std::vector<PackageFile>& files) {
  std::stable_sort(files.begin(), files.end(), [](const PackageFile& a, const PackageFile& b) {
    std::string ua = UpperText(a.name), ub = UpperText(b.name);
    return ua != ub ? ua < ub : a.name < b.name;
  });
}

// Links of page into the split pages (by upper-case name) whose anchor no
// part holds.
void NoteUnplacedAnchors(const std::string& page, const std::string& bytes, const std::string& home,
                         const std::set<std::string>& split, const ReferenceMap& map,
                         std::vector<std::string>& notes) {
  PageTagScanner scanner(bytes);
  PageTag tag;
  while (scanner.Next(tag)) {
    if (tag.endTag) continue;
    const PageAttribute* href = tag.Find("HREF");
    if (!href) continue;
    const std::string decoded = AttributeValue(bytes, *href);
    const std::string_view ref = decoded;
    const std::size_t hash = ref.find('#');
    if (hash == std::string_view::npos || hash + 1 == ref.size()) continue;
    std::string_view file = ref.substr(0, hash);
    if (std::size_t sep = file.find_last_of("\\:"); sep != std::string_view::npos)
      file = file.substr(sep + 1);
    const std::string target = file.empty() ? home : std::string(file);
    if (!split.count(UpperText(target))) continue;
    if (map.PartHolding(target, ref.substr(hash + 1))) continue;
    notes.push_back(Cp1252ToUtf8(page) + ": line " + std::to_string(LineAt(bytes, tag.start)) +
                    ": link to an anchor no part of " + Cp1252ToUtf8(target) + " holds: \"" +
                    Cp1252ToUtf8(std::string(ref)) + "\"");
  }
}

// Links inside the parts to anchors of other parts grow by the part's name
// when they are rewritten: the page is cut again with less room until every
// part stays within the page buffer after that, keeping a little room for
// the links into other pages cut too.
PageSplit CutWithRoomForLinks(const std::string& bytes, const std::string& name) {
  std::size_t limit = PageBufferSize - PageBufferSize / 100;
  PageSplit cut;
  for (int attempt = 0; attempt < 8; ++attempt) {
    cut = SplitPage(bytes, name, limit);
    if (!cut.error.empty()) return cut;
    ReferenceMap own;
    for (const PartAnchor& a : cut.anchors) own.PlaceAnchor(name, a.name, cut.parts[a.part].name);
    std::size_t over = 0;
    for (const PagePart& part : cut.parts) {
      std::string rewritten = part.bytes;
      RewriteReferences(rewritten, own, part.name, name);
      if (rewritten.size() > limit) over = std::max(over, rewritten.size() - limit);
    }
    if (over == 0 || over + 1024 >= limit) return cut;
    limit -= over + 256;
  }
  return cut;
}

}  // namespace

PageSplit CutPageForPackage(const std::string& bytes, const std::string& name) {
  return CutWithRoomForLinks(bytes, name);
}

SplitOutcome SplitOversizedPages(std::vector<PackageFile>& files, std::vector<std::string>& errors,
                                 std::vector<std::string>& notes) {
  SplitOutcome outcome;
  std::set<std::string> names;
  for (const PackageFile& f : files) names.insert(UpperText(f.name));

  // Every page's bytes, and the home page of each part.
  std::vector<PackageFile> parts;
  std::map<std::string, std::string> homeOf;  // part name -> page it was cut from
  std::set<std::string> split;                // upper-case names of the pages cut
  ReferenceMap map;
  for (PackageFile& f : files) {
    if (!IsPageName(f.name)) continue;
    const std::string shown = Cp1252ToUtf8(f.name);
    std::string bytes;
    if (!ReadPackageFile(f, bytes) || bytes.size() <= static_cast<std::size_t>(PageBufferSize)) continue;
    PageSplit cut = CutWithRoomForLinks(bytes, f.name);
    for (const std::string& n : cut.notes) notes.push_back(Cp1252ToUtf8(n));
    if (!cut.error.empty()) {
      errors.push_back(shown + ": page of " + std::to_string(bytes.size()) +
                       " bytes cannot be cut into parts of " + std::to_string(PageBufferSize) +
                       ": " + cut.error);
      continue;
    }
    bool clash = false;
    for (std::size_t k = 1; k < cut.parts.size(); ++k) {
      if (names.count(UpperText(cut.parts[k].name))) {
        errors.push_back(shown + ": cannot be cut into parts: the folder already holds " +
                         Cp1252ToUtf8(cut.parts[k].name));
        clash = true;
      }
    }
    if (clash) continue;
    ++outcome.pagesSplit;
    split.insert(UpperText(f.name));
    notes.push_back(shown + ": " + std::to_string(bytes.size()) + " bytes cut into " +
                    std::to_string(cut.parts.size()) + " parts");
    for (const PartAnchor& a : cut.anchors) {
      const std::string& part = cut.parts[a.part].name;
      map.PlaceAnchor(f.name, a.name, part);
      if (a.part == 0) continue;
      outcome.moved.Add(f.name, a.name, part);
      outcome.lines.push_back(Cp1252ToUtf8(f.name + "#" + a.name + " -> " + part));
    }
    f.converted = true;
    f.bytes = std::move(cut.parts[0].bytes);
    for (std::size_t k = 1; k < cut.parts.size(); ++k) {
      homeOf[cut.parts[k].name] = f.name;
      names.insert(UpperText(cut.parts[k].name));
      parts.push_back({cut.parts[k].name, f.nativePath, true, std::move(cut.parts[k].bytes)});
    }
  }
  if (outcome.pagesSplit == 0) return outcome;
  for (PackageFile& p : parts) files.push_back(std::move(p));
  SortByName(files);

  for (PackageFile& f : files) {
    if (!IsPageName(f.name)) continue;
    std::string bytes;
    if (!ReadPackageFile(f, bytes)) continue;
    auto home = homeOf.find(f.name);
    const std::string& homePage = home == homeOf.end() ? f.name : home->second;
    NoteUnplacedAnchors(f.name, bytes, homePage, split, map, notes);
    const int changed = RewriteReferences(bytes, map, f.name, homePage);
    if (changed == 0) continue;
    outcome.linksRewritten += changed;
    f.converted = true;
    f.bytes = std::move(bytes);
  }
  return outcome;
}

void AddAnchorMap(std::vector<PackageFile>& files, const TAnchorMap& moved) {
  if (moved.Empty()) return;
  files.push_back(
      {std::string(AnchorMapEntryName), std::string(AnchorMapEntryName), true, moved.Text()});
  SortByName(files);
}

}  // namespace kiv
