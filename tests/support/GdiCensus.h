// The GDI census under its other name; see GdiObjectCounter.h.
#pragma once

#include "GdiObjectCounter.h"

namespace gdi_census = gdi_count;
