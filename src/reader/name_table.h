// A fixed open-addressing hash table from short names to small values, for
// the reader's tag, attribute and entity tables. Filled once, then read-only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kiv {

template <std::size_t Slots, typename Value>
class NameTable {
  static_assert((Slots & (Slots - 1)) == 0, "Slots must be a power of two");

 public:
  // Names must be distinct and non-empty; the table must keep a free slot.
  void Add(std::string_view name, Value value) {
    std::size_t i = Hash(name) & (Slots - 1);
    while (!slots_[i].name.empty()) i = (i + 1) & (Slots - 1);
    slots_[i] = {name, value};
  }

  // True and the value when the name is present (exact, case-sensitive).
  bool Find(std::string_view name, Value& value) const {
    if (name.empty()) return false;
    std::size_t i = Hash(name) & (Slots - 1);
    while (!slots_[i].name.empty()) {
      if (Equal(slots_[i].name, name)) {
        value = slots_[i].value;
        return true;
      }
      i = (i + 1) & (Slots - 1);
    }
    return false;
  }

 private:
  // Names are short: an inline loop beats a library call.
  static bool Equal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (a[i] != b[i]) return false;
    return true;
  }

  static std::size_t Hash(std::string_view name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return h ^ (h >> 15);
  }

  struct Slot {
    std::string_view name;
    Value value{};
  };
  std::array<Slot, Slots> slots_{};
};

}  // namespace kiv
