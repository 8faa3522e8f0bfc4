#include "app/anchor_map.h"

namespace kiv {

namespace {

constexpr std::string_view kFirstLine = "KivHelp moved anchors: PAGE#ANCHOR,PART";

std::string_view WithoutHash(std::string_view anchor) {
  return !anchor.empty() && anchor[0] == '#' ? anchor.substr(1) : anchor;
}

}  // namespace

std::string TAnchorMap::Key(std::string_view page, std::string_view anchor) {
  std::string key;
  key.reserve(page.size() + anchor.size() + 1);
  auto upper = [&](std::string_view s) {
    for (char c : s) key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  };
  upper(page);
  key += '#';
  upper(WithoutHash(anchor));
  return key;
}

void TAnchorMap::Add(std::string_view page, std::string_view anchor, std::string_view part) {
  anchor = WithoutHash(anchor);
  if (anchor.empty() || anchor.find_first_of("\r\n") != std::string_view::npos) return;
  if (page.find_first_of("#,\r\n") != std::string_view::npos) return;
  if (part.find_first_of(",\r\n") != std::string_view::npos) return;
  std::string key = Key(page, anchor);
  auto [it, fresh] =
      parts_.emplace(key, Entry{std::string(page), std::string(anchor), std::string(part)});
  if (fresh) order_.push_back(std::move(key));
}

const std::string* TAnchorMap::PartHolding(std::string_view page, std::string_view anchor) const {
  if (parts_.empty()) return nullptr;
  auto it = parts_.find(Key(page, anchor));
  return it == parts_.end() ? nullptr : &it->second.part;
}

std::vector<TAnchorMap::Entry> TAnchorMap::Entries() const {
  std::vector<Entry> entries;
  entries.reserve(order_.size());
  for (const std::string& key : order_) entries.push_back(parts_.at(key));
  return entries;
}

std::string TAnchorMap::Text() const {
  std::string text(kFirstLine);
  text += "\r\n";
  for (const std::string& key : order_) {
    const Entry& e = parts_.at(key);
    text += e.page + "#" + e.anchor + "," + e.part + "\r\n";
  }
  return text;
}

TAnchorMap TAnchorMap::Parse(std::string_view bytes) {
  TAnchorMap map;
  std::size_t pos = 0;
  bool first = true;
  while (pos < bytes.size()) {
    std::size_t nl = bytes.find('\n', pos);
    if (nl == std::string_view::npos) nl = bytes.size();
    std::string_view line = bytes.substr(pos, nl - pos);
    pos = nl + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      first = false;
      if (line == kFirstLine) continue;
    }
    const std::size_t comma = line.rfind(',');
    const std::size_t hash = line.find('#');
    if (comma == std::string_view::npos || hash == std::string_view::npos || hash > comma) continue;
    map.Add(line.substr(0, hash), line.substr(hash + 1, comma - hash - 1), line.substr(comma + 1));
  }
  return map;
}

}  // namespace kiv
