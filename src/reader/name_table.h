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

  // From the length and the first, middle and last characters: no loop,
  // and few enough collisions for the reader's short names.
  static std::size_t Hash(std::string_view name) {
    const std::size_t n = name.size();
    if (n == 0) return 0;
    const auto at = [&](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(name[i]));
    };
    const std::uint32_t h = (at(0) * 0x9E3779B1u) ^ (at(n - 1) * 0x85EBCA77u) ^
                            (at(n / 2) * 0xC2B2AE3Du) ^
                            (static_cast<std::uint32_t>(n) * 0x27D4EB2Fu);
    return h ^ (h >> 16);
  }

  struct Slot {
    std::string_view name;
    Value value{};
  };
  std::array<Slot, Slots> slots_{};
};

}  // namespace kiv
