// The power meter's passes averaged: levels in linear power. A logarithmic
// detector's noise near its floor spreads a level's dBm unevenly; the mean of
// the powers (mW) is the power the detector saw on average, and comes back as
// a level in dBm. The flags then follow the averaged level (LevelLimits).
#pragma once

#include <vector>

#include "common/pass_average.h"

namespace kolm::powermeter {

// A level in dBm as a power in mW, and back.
double dbmToMilliwatt(double dbm);
double milliwattToDbm(double mw);

// Adds the levels 0 to `points` of a pass just made to `ring` (as mW), then
// makes them the mean of the passes the ring holds (dBm). With a ring of one
// pass the levels stay as read.
void averageLevels(common::PassAverage& ring, std::vector<float>& levels, int points);
// During a pass: level `i` as it will stand once `level`, just read, is added.
float averagedLevel(const common::PassAverage& ring, size_t i, float level);

}  // namespace kolm::powermeter
