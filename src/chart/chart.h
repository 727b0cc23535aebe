// The sweep chart engine shared by the power meter and the antenna analyzer.
#pragma once

#include "chart/colour.h"
#include "chart/grid.h"
#include "chart/markers.h"
#include "chart/polyline.h"
#include "chart/readout.h"
#include "chart/scale.h"
#include "chart/zoom.h"
