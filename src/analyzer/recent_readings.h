// Results kept for readings met lately: the same readings come back pass after
// pass, so what was worked out for them is looked up instead of worked out
// again. A table of 16384 entries, two to each multiplicative hash of the pair
// of readings (whole readings, or the sums of the passes' readings when they
// are averaged); a new pair takes the place of the older of the two, which is
// forgotten. Nothing is moved: a key's top bit marks the newer of the two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace kolm::analyzer {

// Room for `n` values of T, each made only when it is first given one: a large
// table costs its allocation alone (a new one is made for every change of the
// bridge's figures or of the passes averaged, pass after pass while averaging).
template <typename T>
class LazyArray {
  static_assert(std::is_trivially_destructible_v<T>);

 public:
  explicit LazyArray(size_t n) : data_(std::allocator<T>().allocate(n)), size_(n) {}
  ~LazyArray() { std::allocator<T>().deallocate(data_, size_); }
  LazyArray(const LazyArray&) = delete;
  LazyArray& operator=(const LazyArray&) = delete;

  T& make(size_t i, const T& value) { return *std::construct_at(data_ + i, value); }
  // Value i, once made.
  T& operator[](size_t i) { return data_[i]; }

 private:
  T* data_;
  size_t size_;
};

template <typename T>
class RecentReadings {
 public:
  // The entry of readings `a` and `b` (each 0 to 2^31 - 2) and whether it
  // holds their result; when it does not, it is theirs from now on, to be
  // filled by the caller.
  T& entry(long a, long b, bool& held) {
    const uint64_t key = (static_cast<uint64_t>(a + 1) << 32) | static_cast<uint64_t>(b + 1);
    const uint64_t i = ((key * 0x9E3779B97F4A7C15ull) >> (64 - kBits)) & ~uint64_t{1};
    held = true;
    if ((keys_[i] & ~kNewer) == key) return values_[i];
    if ((keys_[i + 1] & ~kNewer) == key) return values_[i + 1];
    held = false;
    // The older of the two: the first unless it is the newer (an empty pair
    // has neither).
    const uint64_t older = i + ((keys_[i] & kNewer) != 0);
    keys_[older] = key | kNewer;
    keys_[older ^ 1] &= ~kNewer;
    return values_.make(older, T{});
  }

 private:
  static constexpr int kBits = 14;
  static constexpr uint64_t kNewer = uint64_t{1} << 63;
  std::vector<uint64_t> keys_ = std::vector<uint64_t>(size_t{1} << kBits);  // 0: none
  LazyArray<T> values_{size_t{1} << kBits};
};

}  // namespace kolm::analyzer
