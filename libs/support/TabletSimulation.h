// The simulated tablet's side of each export. The simulated builds of the stand-ins link the
// simulator's answers (libs/simulated/*Simulation.cpp); the system builds, which the setup
// installs, link answers that are always "no tablet" (libs/system/NoSimulation.cpp), so they hold
// no simulator and read no environment variable. Each returns the export's result when a
// simulated tablet is selected, and nothing when the export should go to the system. The export
// has already refused what it refuses on every backend.
#pragma once
#include "TaskRequest.h"

#include <windows.h>

#include <optional>

namespace tabvisor::simulation {

std::optional<bool> InitializeWinIo();
std::optional<bool> ShutdownWinIo();
std::optional<bool> GetPortVal(WORD port, DWORD& value);  // size already checked to be 1
std::optional<bool> SetPortVal(WORD port, DWORD value);

std::optional<unsigned int> QueryCurrentBrightnessLevel();
std::optional<unsigned int> SetBrightnessLevel(unsigned int level);

// operation is kVolumeRead or kVolumeWrite.
std::optional<HRESULT> VolumeVista(int operation, float* scalar);
// check is what CheckTaskRequest said of the arguments, and `request` what it made of them.
std::optional<HRESULT> AddTask7EveryBoot(HRESULT check, const TaskRequest& request);

} // namespace tabvisor::simulation
