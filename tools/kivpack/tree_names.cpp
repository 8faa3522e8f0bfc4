#include "kivpack/tree_names.h"

#include <cctype>
#include <set>

#include "app/string_helpers.h"
#include "kivpack/reference_rewriter.h"
#include "platform/cp1252.h"

namespace kiv {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%20" and the like decoded; a "%" not followed by two hexadecimal digits
// stays. Escaped bytes above 127 are UTF-8, as browsers write them, and are
// read into Windows-1252 as the package's names are; false when they are
// not characters a name can hold.
bool PercentDecoded(std::string_view text, std::string& out) {
  out.clear();
  bool high = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int hi = 0, lo = 0;
    if (text[i] == '%' && i + 2 < text.size() && (hi = HexDigit(text[i + 1])) >= 0 && (lo = HexDigit(text[i + 2])) >= 0) {
      const char c = static_cast<char>(hi * 16 + lo);
      high = high || static_cast<unsigned char>(c) >= 0x80;
      out += c;
      i += 2;
    } else {
      out += text[i];
    }
  }
  if (!high) return true;
  bool lossless = true;
  std::string name = Utf8ToCp1252(out, &lossless);
  if (!lossless) return false;
  out = std::move(name);
  return true;
}

// The folder part of a name, with its "/": "html/" for "html/index.html".
std::string_view FolderOf(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : name.substr(0, slash + 1);
}

// A new name for a file whose name another file has ignoring case: a number
// before the extension ("faq.html" -> "faq_2.html") that no file has.
std::string FreeName(const std::string& name, std::set<std::string>& taken) {
  const std::size_t slash = name.rfind('/');
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = name.size();
  for (int n = 2;; ++n) {
    std::string candidate = name.substr(0, dot) + "_" + std::to_string(n) + name.substr(dot);
    if (taken.insert(UpperText(candidate)).second) return candidate;
  }
}

}  // namespace

void TreeNames::Add(const std::string& treeName, const std::string& packageName) {
  exact_.emplace(treeName, packageName);
  upper_.emplace(UpperText(treeName), packageName);
  packaged_.emplace(UpperText(packageName), packageName);
}

int TreeNames::RewritePage(std::string& page, std::string_view pageFolder) const {
  return RewriteReferenceValues(
      page, [&](const std::string& value, std::string_view written) -> std::string {
        const std::size_t hash = value.find('#');
        std::string_view file = std::string_view(value).substr(0, hash);
        file = file.substr(0, file.find('?'));  // a query names no other file
        if (file.empty()) return {};
        const std::string target = Resolve(pageFolder, file);
        // A name holding a quote or an ampersand would read otherwise
        // inside the attribute: such a reference stays as written.
        if (target.empty() || target.find_first_of("\"&") != std::string::npos) return {};
        // The window looks the reference up ignoring case: when that finds
        // the file meant, the reference stays as written.
        if (auto it = packaged_.find(UpperText(value.substr(0, hash)));
            it != packaged_.end() && it->second == target)
          return {};
        const std::size_t writtenHash = written.find('#');
        return target + std::string(writtenHash == std::string_view::npos
                                        ? std::string_view()
                                        : written.substr(writtenHash));
      });
}

std::string TreeNames::Resolve(std::string_view pageFolder, std::string_view reference) const {
  if (reference.empty() || reference[0] == '/' || HasScheme(reference) ||
      reference.find_first_of("\\:") != std::string_view::npos)
    return {};
  std::string file;
  if (!PercentDecoded(reference, file)) return {};
  // The folder's parts, then the reference's, "." and ".." taken as folders
  // are; a name above the top of the tree names nothing in it.
  std::vector<std::string> parts;
  std::string joined = std::string(pageFolder) + file;
  if (joined.empty() || joined.back() == '/') return {};  // a folder, not a file
  std::size_t from = 0;
  while (from <= joined.size()) {
    std::size_t slash = joined.find('/', from);
    if (slash == std::string::npos) slash = joined.size();
    const std::string part = joined.substr(from, slash - from);
    if (part == "..") {
      if (parts.empty()) return {};
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    from = slash + 1;
  }
  std::string name;
  for (const std::string& p : parts) name += (name.empty() ? "" : "/") + p;
  if (auto it = exact_.find(name); it != exact_.end()) return it->second;
  if (auto it = upper_.find(UpperText(name)); it != upper_.end()) return it->second;
  return {};
}

TreeNamesOutcome ResolveTreeNames(std::vector<PackageFile>& files,
                                  std::vector<std::string>& notes) {
  TreeNamesOutcome outcome;
  // Files come sorted by name ignoring case: names equal that way are
  // neighbours.
  std::set<std::string> taken;
  for (const PackageFile& f : files) taken.insert(UpperText(f.name));
  std::vector<std::string> treeNames;
  treeNames.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    treeNames.push_back(files[i].name);
    if (i == 0 || UpperText(files[i].name) != UpperText(treeNames[i - 1])) continue;
    const std::string renamed = FreeName(files[i].name, taken);
    notes.push_back(Cp1252ToUtf8(treeNames[i - 1]) + " and " + Cp1252ToUtf8(files[i].name) +
                    " differ only in case, which the help window does not tell apart: " +
                    Cp1252ToUtf8(files[i].name) + " is packed as " + Cp1252ToUtf8(renamed));
    files[i].name = renamed;
    ++outcome.renamed;
  }
  TreeNames names;
  for (std::size_t i = 0; i < files.size(); ++i) names.Add(treeNames[i], files[i].name);

  for (std::size_t i = 0; i < files.size(); ++i) {
    PackageFile& f = files[i];
    if (!IsPageName(f.name)) continue;
    std::string bytes;
    if (!ReadPackageFile(f, bytes)) continue;
    const int changed = names.RewritePage(bytes, FolderOf(treeNames[i]));
    if (changed == 0) continue;
    outcome.referencesRewritten += changed;
    f.converted = true;
    f.bytes = std::move(bytes);
  }
  return outcome;
}

}  // namespace kiv
