// The crystal fixture's record beside Quartz.rif: the calibration counts its
// through path was read with, and the loss steps measured through it. A loss
// step is a known attenuator put in the crystal's place: the detector's
// reading of it against the through path, at each of the table's 1601
// frequencies, shows how the detector's slope reads losses there. Losses the
// crystal meter reads are then corrected through the steps, so that the
// detector's slope and its conformance between the steps no longer count at
// their full stated size.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "powermeter/level.h"
#include "powermeter/reference.h"

namespace kolm::powermeter {

inline constexpr const char* kFixtureRecordFile = "Quartz.cfg";

// An attenuator of `lossDb`, stated within `pmDb`, read as `levels` with
// `calibration`.
struct FixtureStep {
  double lossDb = 0;
  double pmDb = 0;
  Calibration calibration{};
  ReferenceTable levels{};
  bool operator==(const FixtureStep&) const = default;
};

// The steps an attenuator of a few dB to a few tens of dB can make: 0.5 to 60 dB.
inline constexpr double kMinStepDb = 0.5;
inline constexpr double kMaxStepDb = 60;
// The tolerance of an attenuator whose own is not stated: a good fixed pad's
// at HF.
inline constexpr double kDefaultStepPmDb = 0.1;

struct FixtureRecord {
  // The counts Quartz.rif was read with; empty for a table measured before
  // they were kept.
  std::optional<Calibration> through;
  std::vector<FixtureStep> steps;  // by rising loss, at most one per loss
  bool operator==(const FixtureRecord&) const = default;
};

std::string formatFixtureRecord(const FixtureRecord& record);
// Refused whole (empty, `error` naming the line) when any part cannot be read.
std::optional<FixtureRecord> parseFixtureRecord(std::string_view content, std::string* error);
// The record at `path`; a missing file is an empty record.
std::optional<FixtureRecord> readFixtureRecord(const std::filesystem::path& path,
                                               std::string* error);

// Adds `step`, replacing one of the same loss.
void putStep(FixtureRecord& record, FixtureStep step);

// Adds `step` measured against `through` (Quartz.rif as the record's counts
// read it) unless stepProblem refuses it; returns the refusal, empty when
// added.
std::string keepStep(FixtureRecord& record, FixtureStep step, const ReferenceTable& through);

// A table read with `from` as `to` would have read it: each level back to
// the count it was, then through `to`.
ReferenceTable inCalibration(const ReferenceTable& table, const Calibration& from,
                             const Calibration& to);

// Why a step measured against `through` cannot be kept: the detector reads a
// loss that no attenuator of the stated size can give with a detector of the
// stated slope (the attenuator not in the fixture, another value), or a step
// of a loss outside 0.5 to 60 dB. Empty when it can.
std::string stepProblem(const FixtureStep& step, const ReferenceTable& through);

// A measured loss against the loss it is, at one frequency.
struct LossKnot {
  double measuredDb = 0;
  double trueDb = 0;
  double pmDb = 0;  // how far trueDb may be off (the attenuator and the readings)
};

// The losses the detector reads at one frequency, corrected through the
// fixture's steps: piecewise linear between the knots (0 dB reads 0 dB), on
// the last stretch's slope beyond them. What the correction may still be off
// by: the knots' own tolerance, and between knots what a conformance error
// whose slope stays within `conformance` can leave against the straight line
// between them.
class LossCorrection {
 public:
  LossCorrection(std::vector<LossKnot> knots, double conformance);
  double corrected(double measuredDb) const;
  double bound(double lossDb) const;
  const std::vector<LossKnot>& knots() const { return knots_; }

 private:
  std::vector<LossKnot> knots_;  // from (0, 0), by rising loss
  double conformance_ = 0;
};

// The correction at `fMHz`: each step's loss against the through path there
// (both tables as `calibration` reads them). Empty without steps.
std::optional<LossCorrection> lossCorrection(const FixtureRecord& record,
                                             const ReferenceTable& through,
                                             const Calibration& calibration, double fMHz,
                                             double conformance);

}  // namespace kolm::powermeter
