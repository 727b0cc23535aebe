// A trace's corrected points: the intervals of their readings, kept for the
// readings' calibration cell and worked out sector by sector as they are
// needed (analyzer/trace_values.cpp; a reading's second sector mostly is not,
// once its sign chooses the first).
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

#include "analyzer/calibration.h"
#include "analyzer/measurement.h"
#include "analyzer/recent_readings.h"

namespace kolm::analyzer {

// Corrected intervals met lately: pass after pass a point's readings come
// back among a few values, and neighbouring points of a fine sweep read
// alike; each reading's intervals are worked out once for its calibration
// cell (BridgeCalibration::cellTerms), each of its two sectors when first
// needed, its values at every point. An entry is taken only when its cell
// and readings are the same to the last bit (HashedEntries below: a
// 2000-point sweep meets about 32768 pairs over some hundred passes).
struct CorrectedEntry {
  int cell = 0;
  double a = 0, b = 0;
  bool mean = false;
  unsigned done = 0;        // the sectors (kPlusSector, kMinusSector) `ranges` holds
  bool bounded = false;     // whether `bounds` is worked out
  bool started = false;     // whether `terms` and `start` are
  CorrectedReading ranges;  // the intervals (no values)
  PointInterval plain;      // what the readings give through the stated figures alone
  ReactanceBounds bounds;
  ErrorTerms terms;  // the cell's
  SectorStart start;
};

// Entries kept by a hash, two places to each hash, the newer of the two kept
// when a third comes; an entry is taken only when `same` accepts it. Up to
// 32768 entries, made one after another as they are first needed: a new
// table touches only the memory its entries take, and emptying it only the
// places they took.
template <typename Entry>
class HashedEntries {
 public:
  // The entry of `hash` that `same` accepts, and whether it is held; when it
  // is not, `fresh` takes the older place, to be filled by the caller.
  template <typename Same>
  Entry& entry(uint64_t hash, Same same, const Entry& fresh, bool& held) {
    const uint32_t tag = static_cast<uint32_t>(hash) | 1;  // 0: a place not taken
    const size_t set = static_cast<size_t>(hash >> (64 - kBits)) & ~size_t{1};
    held = true;
    for (size_t k : {set, set + 1}) {
      if (tags_[k] != tag) continue;
      Entry& e = entries_[places_[k]];
      if (same(e)) {
        newer_[set / 2] = static_cast<uint8_t>(k - set);
        return e;
      }
    }
    held = false;
    // The older of the two gives up its entry; an empty place takes a new one.
    const size_t older = set + (newer_[set / 2] == 0 && tags_[set] != 0);
    newer_[set / 2] = static_cast<uint8_t>(older - set);
    if (tags_[older] == 0) {
      taken_.make(used_, static_cast<uint16_t>(older));
      places_.make(older, used_++);
    }
    tags_[older] = tag;
    return entries_.make(places_[older], fresh);
  }
  // The entry of `hash` that `same` accepts, or none.
  template <typename Same>
  Entry* find(uint64_t hash, Same same) {
    const uint32_t tag = static_cast<uint32_t>(hash) | 1;
    const size_t set = static_cast<size_t>(hash >> (64 - kBits)) & ~size_t{1};
    for (size_t k : {set, set + 1})
      if (tags_[k] == tag && same(entries_[places_[k]])) return &entries_[places_[k]];
    return nullptr;
  }
  void clear() {
    for (uint16_t k = 0; k < used_; ++k) tags_[taken_[k]] = 0, newer_[taken_[k] / 2] = 0;
    used_ = 0;
  }

 private:
  static constexpr int kBits = 15;
  std::vector<uint32_t> tags_ = std::vector<uint32_t>(size_t{1} << kBits);
  std::vector<uint8_t> newer_ = std::vector<uint8_t>(size_t{1} << (kBits - 1));
  LazyArray<uint16_t> places_{size_t{1} << kBits};  // of a place taken: its entry
  LazyArray<uint16_t> taken_{size_t{1} << kBits};   // of an entry: its place
  LazyArray<Entry> entries_{size_t{1} << kBits};
  uint16_t used_ = 0;  // entries made
};

// A reading corrected at one frequency, as met lately: pass after pass a
// point's readings come back among a few values, its terms the same. Its
// values and resolution, its correction and its calibration cell (`inside`
// false outside the calibration).
//
// A point of these readings, once read, has the same intervals and pending
// sectors as any other of the same readings and mean (the intervals of its
// cell's entry, worked out or not; those pending are the sectors not worked
// out), and the same reading held in its intervals and narrowed: what
// inferSigns made of one whose settling worked nothing out (`settled`) stands
// for the next.
struct SettledValues {
  CorrectedReading corrected;  // the point's reading as read
  SettledReading reading;      // `taken` false: none
  bool mean = false;
  unsigned sectors = 0;  // the point's pending sectors
  PointValues values{}, halfWidths{};
  UncertainSet uncertain = 0;
  float swrLow = 0;
  PointFlag flag = PointFlag::Valid;  // as corrected
};
struct CorrectedValues {
  double mhz = 0, a = 0, b = 0;
  bool inside = false;
  Correction correction{};
  int cell = 0;
  PointValues plus{}, minus{};
  float resolution = 0;
  SettledValues settled;
};

class CorrectedReadings {
 public:
  CorrectedReadings(const BridgeFigures& f, int passes) : figures(f), passes(passes) {}
  BridgeFigures figures;
  int passes;

  // Empty, for other figures or passes (its memory kept: a first pass after
  // every change of the figures takes no new memory).
  void reset(const BridgeFigures& f, int p) {
    figures = f;
    passes = p;
    intervals_.clear();
    values_.clear();
  }

  // The entry of these readings in `cell`, and whether it holds their result;
  // when it does not, it is theirs from now on, to be filled by the caller.
  CorrectedEntry& entry(int cell, double a, double b, bool mean, bool& held) {
    const uint64_t hash = (uint64_t{static_cast<uint32_t>(cell)} * 0x9E3779B97F4A7C15ull) ^
                          (bits(a) * 0xC2B2AE3D27D4EB4Full) ^ (bits(b) * 0x165667B19E3779F9ull) ^
                          uint64_t { mean };
    auto same = [&](const CorrectedEntry& e) {
      return e.cell == cell && e.a == a && e.b == b && e.mean == mean;
    };
    return intervals_.entry(hash, same, {cell, a, b, mean, 0, false, false, {}, {}, {}, {}, {}},
                            held);
  }
  // The values of readings `a`, `b` at `mhz`, the same way.
  CorrectedValues& values(double mhz, double a, double b, bool& held) {
    CorrectedValues fresh;
    fresh.mhz = mhz, fresh.a = a, fresh.b = b;
    return values_.entry(valuesHash(mhz, a, b), SameValues{mhz, a, b}, fresh, held);
  }
  // The values of readings `a`, `b` at `mhz` if they are held.
  CorrectedValues* heldValues(double mhz, double a, double b) {
    return values_.find(valuesHash(mhz, a, b), SameValues{mhz, a, b});
  }

 private:
  static uint64_t bits(double v) { return std::bit_cast<uint64_t>(v); }
  static uint64_t valuesHash(double mhz, double a, double b) {
    return (bits(mhz) * 0x9E3779B97F4A7C15ull) ^ (bits(a) * 0xC2B2AE3D27D4EB4Full) ^
           (bits(b) * 0x165667B19E3779F9ull);
  }
  // Whether an entry holds readings `a`, `b` at `mhz`, to the last bit.
  struct SameValues {
    double mhz, a, b;
    bool operator()(const CorrectedValues& v) const {
      return bits(v.mhz) == bits(mhz) && bits(v.a) == bits(a) && bits(v.b) == bits(b);
    }
  };
  HashedEntries<CorrectedEntry> intervals_;
  HashedEntries<CorrectedValues> values_;
};

// The table of figures `f` and `passes` on this thread (it keeps two: a live
// trace and its memory may be read differently).
CorrectedReadings& correctedReadings(const BridgeFigures& f, int passes);

// The entry's intervals of `sectors` and, with `bounds`, its reactance bounds
// worked out where they are not yet, with its cell's terms.
void fillEntry(CorrectedEntry& e, const BridgeCalibration& calibration, const BridgeFigures& f,
               int passes, unsigned sectors, bool bounds, CalibrationMemo* memo = nullptr);

// A corrected reading's ranges taken within `plain`, what the same readings
// give through the bridge's stated figures alone (both hold the load: the
// truth lies where they overlap), its values kept within them.
void narrowCorrected(CorrectedReading& c, const PointInterval& plain, unsigned sectors);

// inferSigns, keeping what a corrected point is settled to in `table` (the
// one its values were read with) where it is given (settled_signs.cpp).
void inferSignsKeeping(TraceValues& t, bool behindLine, CorrectedReadings* table);

// Point i's intervals of `sectors` that are still pending (TraceValues::
// pending) worked out, held to its values and narrowed as its others were.
void settleRanges(TraceValues& t, size_t i, unsigned sectors);

}  // namespace kolm::analyzer
