// The system builds' answers for the simulated tablet: there is none, every export goes to the
// system.
#include "TabletSimulation.h"

namespace tabvisor::simulation {

std::optional<bool> InitializeWinIo() { return std::nullopt; }
std::optional<bool> ShutdownWinIo() { return std::nullopt; }
std::optional<bool> GetPortVal(WORD, DWORD&) { return std::nullopt; }
std::optional<bool> SetPortVal(WORD, DWORD) { return std::nullopt; }
std::optional<unsigned int> QueryCurrentBrightnessLevel() { return std::nullopt; }
std::optional<unsigned int> SetBrightnessLevel(unsigned int) { return std::nullopt; }
std::optional<HRESULT> VolumeVista(int, float*) { return std::nullopt; }
std::optional<HRESULT> AddTask7EveryBoot(HRESULT, const TaskRequest&) { return std::nullopt; }

} // namespace tabvisor::simulation
