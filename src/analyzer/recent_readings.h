// Results kept for whole readings met lately: the same readings come back pass
// after pass, so what was worked out for them is looked up instead of worked
// out again. A table of 4096 entries reached by a multiplicative hash of the
// pair of readings; a pair that meets another's entry takes it over.
#pragma once

#include <cstdint>
#include <vector>

namespace kolm::analyzer {

template <typename T>
class RecentReadings {
 public:
  // The entry of whole readings `a` and `b` (each within +-32000) and whether
  // it holds their result; when it does not, it is theirs from now on, to be
  // filled by the caller.
  T& entry(int a, int b, bool& held) {
    const uint32_t key = static_cast<uint32_t>(a + 32768) << 16 | static_cast<uint32_t>(b + 32768);
    Slot& slot = slots_[(key * 2654435761u) >> 20];
    held = slot.key == key;
    slot.key = key;
    return slot.value;
  }

 private:
  struct Slot {
    uint32_t key = 0;  // 0: none (no readings of -32768, -32768)
    T value{};
  };
  std::vector<Slot> slots_ = std::vector<Slot>(4096);
};

}  // namespace kolm::analyzer
