#include "platform/win_types.h"

#include <limits>

namespace kiv {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  std::int64_t num = static_cast<std::int64_t>(a) * b;
  std::int64_t den = c;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  std::int64_t q = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
  if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
  return static_cast<int>(q);
}

}  // namespace kiv
