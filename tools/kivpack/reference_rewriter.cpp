#include "kivpack/reference_rewriter.h"

#include <cctype>
#include <vector>

#include "app/string_helpers.h"
#include "kivpack/page_tags.h"

namespace kiv {

namespace {

// The new text of one reference (ref as the reader reads it, written as it
// stands on the page), or an empty string when it stays.
std::string Rewritten(std::string_view ref, std::string_view written, const ReferenceMap& map,
                      std::string_view pageName, std::string_view homePage) {
  if (ref.empty() || HasScheme(ref)) return {};
  const std::size_t hash = ref.find('#');
  // The anchor is written back as it stood.
  const std::size_t writtenHash = written.find('#');
  const std::string tail = writtenHash != std::string_view::npos ? std::string(written.substr(writtenHash))
                           : hash != std::string_view::npos      ? std::string(ref.substr(hash))
                                                                 : std::string();
  std::string_view file = ref.substr(0, hash);
  const std::string_view anchor =
      hash == std::string_view::npos ? std::string_view() : ref.substr(hash + 1);
  // The viewer looks a link up by the part after the last backslash or colon.
  const std::size_t sep = file.find_last_of("\\:");
  const std::string_view prefix = sep == std::string_view::npos ? "" : file.substr(0, sep + 1);
  const std::string_view name = file.substr(prefix.size());

  if (!anchor.empty()) {
    const std::string_view page = name.empty() ? homePage : name;
    if (const std::string* part = map.PartHolding(page, anchor)) {
      if (name.empty() && UpperText(*part) == UpperText(pageName)) return {};
      if (!name.empty() && UpperText(*part) == UpperText(name)) return {};
      return std::string(prefix) + *part + tail;
    }
  }
  if (name.empty()) return {};
  if (const std::string* to = map.RenamedTo(name)) {
    return std::string(prefix) + *to + tail;
  }
  return {};
}

}  // namespace

bool HasScheme(std::string_view ref) {
  std::size_t i = 0;
  while (i < ref.size() && (std::isalnum(static_cast<unsigned char>(ref[i])) || ref[i] == '+' ||
                            ref[i] == '-' || ref[i] == '.'))
    ++i;
  return i >= 2 && i < ref.size() && ref[i] == ':' &&
         std::isalpha(static_cast<unsigned char>(ref[0]));
}

void ReferenceMap::Rename(const std::string& oldName, const std::string& newName) {
  renames_[UpperText(oldName)] = newName;
}

void ReferenceMap::PlaceAnchor(const std::string& page, const std::string& anchor,
                               const std::string& part) {
  anchors_.emplace(std::make_pair(UpperText(page), UpperText(anchor)), part);
}

const std::string* ReferenceMap::RenamedTo(std::string_view name) const {
  if (renames_.empty()) return nullptr;
  auto it = renames_.find(UpperText(name));
  return it == renames_.end() ? nullptr : &it->second;
}

const std::string* ReferenceMap::PartHolding(std::string_view page, std::string_view anchor) const {
  if (anchors_.empty()) return nullptr;
  auto it = anchors_.find({UpperText(page), UpperText(anchor)});
  return it == anchors_.end() ? nullptr : &it->second;
}

int RewriteReferences(std::string& page, const ReferenceMap& map, std::string_view pageName,
                      std::string_view homePage) {
  if (map.Empty()) return 0;
  if (homePage.empty()) homePage = pageName;
  return RewriteReferenceValues(page, [&](const std::string& value, std::string_view written) {
    return Rewritten(value, written, map, pageName, homePage);
  });
}

int RewriteReferenceValues(std::string& page, const ReferenceEdit& rewrite) {
  struct Edit {
    std::size_t start, end;
    std::string text;
  };
  std::vector<Edit> edits;
  PageTagScanner scanner(page);
  PageTag tag;
  while (scanner.Next(tag)) {
    if (tag.endTag) continue;
    for (const PageAttribute& a : tag.attributes) {
      if (!a.hasValue || (a.name != "HREF" && a.name != "SRC" && a.name != "BACKGROUND")) continue;
      std::string text = rewrite(AttributeValue(page, a), AttributeText(page, a));
      if (text.empty()) continue;
      if (!a.quoted && text.find_first_of(" \t") != std::string::npos &&
          text.find('"') == std::string::npos)
        text = "\"" + text + "\"";
      edits.push_back({a.valueStart, a.valueEnd, std::move(text)});
    }
  }
  if (edits.empty()) return 0;
  std::string out;
  out.reserve(page.size() + edits.size() * 8);
  std::size_t at = 0;
  for (const Edit& e : edits) {
    out.append(page, at, e.start - at);
    out += e.text;
    at = e.end;
  }
  out.append(page, at, std::string::npos);
  page = std::move(out);
  return static_cast<int>(edits.size());
}

}  // namespace kiv
