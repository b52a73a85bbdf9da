// What a fresh simulated tablet holds, how to recognise a state file of this version, and how to
// bring every field back into its range.
#pragma once
#include "TabletState.h"

namespace tabvisor::simulated {

inline constexpr uint8_t kFreshSwitches = 0x00;
inline constexpr uint32_t kFreshBrightness = 3;
inline constexpr float kFreshVolume = 0.5f;

// Overwrites everything with a fresh tablet: switches 0x00, brightness 3, volume 0.5, the EC
// acknowledging at once (no delay), port access granted, no task, counters and log empty.
void MakeFreshTablet(TabletState& state);

// True when the header names this layout and version.
bool HasCurrentHeader(const TabletState& state);

// Clamps every field to its range and terminates every string, so a state file written by
// anything else than our libraries can be read safely.
void RepairFields(TabletState& state);

} // namespace tabvisor::simulated
