// The attributes of one tag, carried from the tokenizer to whatever object
// the tag creates.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reader/free_list.h"
#include "reader/symbols.h"

namespace kiv {

// One attribute of one tag.
class TAttribute {
 public:
  TAttribute(Symbol id, std::string_view text, std::int32_t value)
      : Id(id), Value(value), Text(text) {}

  Symbol Id;           // the attribute's symbol, UnknownAttributeSymbol for other names
  std::int32_t Value;  // numeric value: 0 when the text is no number, 1 for a bare BORDER
  std::string Text;    // empty when the attribute had no "=" part
};

// The attributes of one tag in the order in which they stood. The tokenizer
// keeps one list for the whole parse and refills it at every tag that takes
// attributes: objects built from a tag must copy what they keep.
class TAttributeList : public TFreeList<TAttribute> {
 public:
  // The first attribute whose Id is id, or nullptr.
  const TAttribute* Find(Symbol id) const;

  // Empties the list for the next tag. The records are kept aside and
  // reused by AddReused, so refilling the list allocates nothing once the
  // tags of a page have been seen.
  void Recycle();
  // Appends an attribute, reusing a record set aside by Recycle when there is one.
  TAttribute* AddReused(Symbol id, std::string_view text, std::int32_t value);

 private:
  std::vector<std::unique_ptr<TAttribute>> spare_;
};

// The first attribute in list order whose Id equals id; false and no result
// when there is none. A later duplicate of an attribute is never seen.
bool FindAttribute(const TAttributeList& list, Symbol id, const TAttribute*& attribute);

}  // namespace kiv
