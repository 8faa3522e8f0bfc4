// The map of moved anchors: a package entry that the packer writes when it
// cuts a page over the page buffer into parts. It tells, for an anchor that
// is no longer in the page it was written in, the part that holds it now, so
// that a host asking for "guide.html#setup" gets "guide-2.html" scrolled to
// "setup". The entry is text, one "PAGE#ANCHOR,PART" line (CR LF) per moved
// anchor after a first line naming the format; PART holds no comma, so the
// last comma ends the anchor.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kiv {

// A name no page can take (pages end in .html, .htm or .txt) and the packer
// refuses for any other file.
inline constexpr std::string_view AnchorMapEntryName = "kivmap.anchors";

class TAnchorMap {
 public:
  // Reads an entry's bytes; lines it cannot read are passed over.
  static TAnchorMap Parse(std::string_view bytes);
  // The entry's bytes.
  std::string Text() const;

  // page and anchor (with or without its "#") are compared ignoring case,
  // as the index and the viewer compare them. An anchor holding a line end
  // cannot be written and is not added.
  void Add(std::string_view page, std::string_view anchor, std::string_view part);
  // The part that holds the anchor of page, or nullptr when it did not move.
  const std::string* PartHolding(std::string_view page, std::string_view anchor) const;

  struct Entry {
    std::string page, anchor, part;  // as written
  };
  // Every moved anchor in the order added.
  std::vector<Entry> Entries() const;

  bool Empty() const { return parts_.empty(); }
  std::size_t Size() const { return parts_.size(); }

 private:
  static std::string Key(std::string_view page, std::string_view anchor);

  std::unordered_map<std::string, Entry> parts_;  // by Key
  std::vector<std::string> order_;                // keys in the order added
};

}  // namespace kiv
