// Rewriting the references of a page when entries of the package change
// name: the HREF, SRC and BACKGROUND values of every tag. Two kinds of change
// are known: an entry renamed as a whole (a converted picture,
// "images/prev.png" becoming "images/prev.png.gif"), and an anchor of a page
// that now lives in another entry (a part of a page cut in parts, "guide.html#setup"
// becoming "guide-2.html#setup").
//
// Typical use, once for every page of the package:
//   ReferenceMap map;
//   map.Rename("images/prev.png", "images/prev.png.gif");
//   int changed = RewriteReferences(pageBytes, map, "guide.html");
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace kiv {

class ReferenceMap {
 public:
  // References to the entry oldName (compared ignoring case, as the viewer
  // looks names up) name newName instead; an anchor after the name is kept.
  void Rename(const std::string& oldName, const std::string& newName);
  // The anchor of page (names and anchors compared ignoring case, as the
  // viewer finds them) is held by the entry part. Also given for anchors
  // that stay in page when it was cut, so that "#anchor" in another part
  // of it is sent back.
  void PlaceAnchor(const std::string& page, const std::string& anchor, const std::string& part);

  bool Empty() const { return renames_.empty() && anchors_.empty(); }
  // The new name of an entry, or nullptr when it keeps its name.
  const std::string* RenamedTo(std::string_view name) const;
  // The entry holding the anchor of page, or nullptr when none was placed.
  const std::string* PartHolding(std::string_view page, std::string_view anchor) const;

 private:
  std::map<std::string, std::string> renames_;                          // upper old -> new
  std::map<std::pair<std::string, std::string>, std::string> anchors_;  // upper (page, anchor)
};

// Whether ref starts with a scheme such as "http:" or "mailto:" (two or more
// characters, so a drive letter is not one): it names nothing in the package.
bool HasScheme(std::string_view ref);

// Rewrites every HREF, SRC and BACKGROUND value of the page that names a
// renamed entry or a placed anchor, and returns how many were changed; the
// rest of the page keeps its bytes. pageName is the entry the page is packed
// as, and homePage the page it was cut from (pageName when it is whole): an
// in-page link "#anchor" whose anchor lives in another part of homePage is
// given that part's name. References with a scheme ("http:") are left alone.
int RewriteReferences(std::string& page, const ReferenceMap& map, std::string_view pageName,
                      std::string_view homePage = {});

// The general form: rewrite is given each HREF, SRC and BACKGROUND value as
// the reader reads it (entities decoded) and as it is written, and returns
// the text to write instead, or an empty string to keep it. A new text with
// a space in a value written without quotes is put in quotes. Returns how
// many values changed.
using ReferenceEdit = std::function<std::string(const std::string& value, std::string_view written)>;
int RewriteReferenceValues(std::string& page, const ReferenceEdit& rewrite);

}  // namespace kiv
