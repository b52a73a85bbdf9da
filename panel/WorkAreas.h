// The work area of every monitor, as the panel's screen rule needs them.
#pragma once

#include <vector>

#include "Geometry.h"

// The primary monitor's first, then the others in the system's order. Empty if none can be read.
std::vector<CRect> CurrentWorkAreas();
