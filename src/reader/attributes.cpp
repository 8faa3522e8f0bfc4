#include "reader/attributes.h"

namespace kiv {

const TAttribute* TAttributeList::Find(Symbol id) const {
  for (const auto& item : items_)
    if (item && item->Id == id) return item.get();
  return nullptr;
}

void TAttributeList::Recycle() {
  for (auto& item : items_)
    if (item) spare_.push_back(std::move(item));
  items_.clear();
}

TAttribute* TAttributeList::AddReused(Symbol id, std::string_view text, std::int32_t value) {
  if (spare_.empty()) return Emplace(id, text, value);
  std::unique_ptr<TAttribute> item = std::move(spare_.back());
  spare_.pop_back();
  item->Id = id;
  item->Value = value;
  item->Text.assign(text);
  TAttribute* raw = item.get();
  items_.push_back(std::move(item));
  return raw;
}

bool FindAttribute(const TAttributeList& list, Symbol id, const TAttribute*& attribute) {
  const TAttribute* found = list.Find(id);
  if (!found) return false;
  attribute = found;
  return true;
}

}  // namespace kiv
