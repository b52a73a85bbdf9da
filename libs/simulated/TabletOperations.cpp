// The simulated tablet's answers to the library calls and to tabsim's changes.
#include "TabletOperations.h"

#include "ClosedLibraries.h"
#include "EmbeddedControllerModel.h"

#include <algorithm>
#include <cmath>

namespace tabvisor::simulated {
namespace {

template <size_t Capacity>
void CopyString(wchar_t (&target)[Capacity], const std::wstring& source)
{
    const size_t length = std::min(source.size(), Capacity - 1);
    std::copy_n(source.data(), length, target);
    std::fill(target + length, target + Capacity, L'\0');
}

} // namespace

bool OpenPortWindow(TabletState& state, uint32_t processId)
{
    ++state.counters.winioOpens;
    if (!state.winio.granted || processId == 0) return false;
    uint32_t* freeSlot = nullptr;
    for (uint32_t& user : state.winio.openBy) {
        if (user == processId) return true;
        if (user == 0 && !freeSlot) freeSlot = &user;
    }
    if (!freeSlot) return false;
    *freeSlot = processId;
    return true;
}

bool ClosePortWindow(TabletState& state, uint32_t processId)
{
    bool wasOpen = false;
    for (uint32_t& user : state.winio.openBy) {
        if (processId != 0 && user == processId) {
            user = 0;
            wasOpen = true;
        }
    }
    return wasOpen;
}

bool AnyPortWindowOpen(const TabletState& state)
{
    return std::any_of(std::begin(state.winio.openBy), std::end(state.winio.openBy),
                       [](uint32_t user) { return user != 0; });
}

namespace {

bool MayUsePorts(TabletState& state, uint32_t processId)
{
    const bool open = processId != 0 && std::find(std::begin(state.winio.openBy), std::end(state.winio.openBy),
                                                  processId) != std::end(state.winio.openBy);
    if (!open) ++state.counters.portDenied;
    return open;
}

} // namespace

bool ReadPort(TabletState& state, uint32_t processId, uint16_t port, uint8_t& value)
{
    if (!MayUsePorts(state, processId)) return false;
    value = ReadEcPort(state, port);
    return true;
}

bool WritePort(TabletState& state, uint32_t processId, uint16_t port, uint8_t value)
{
    if (!MayUsePorts(state, processId)) return false;
    WriteEcPort(state, port, value);
    return true;
}

unsigned int QueryBrightness(TabletState& state)
{
    ++state.counters.brightnessQueries;
    return state.brightness;
}

bool SetBrightness(TabletState& state, unsigned int level)
{
    ++state.counters.brightnessSets;
    return SetBrightnessElsewhere(state, level);
}

bool ReadVolume(TabletState& state, float* scalar)
{
    ++state.counters.volumeReads;
    if (!scalar) return false;
    *scalar = state.volume;
    return true;
}

bool WriteVolume(TabletState& state, const float* scalar)
{
    ++state.counters.volumeWrites;
    return scalar && SetVolumeElsewhere(state, *scalar);
}

void RegisterTask(TabletState& state, const TaskRequest* request)
{
    ++state.counters.taskCalls;
    if (!request) return;
    RegisteredTask& task = state.task;
    task.kind = request->kind;
    CopyString(task.name, request->name);
    CopyString(task.program, request->program);
    CopyString(task.author, request->author);
    CopyString(task.description, request->description);
}

void SetSwitchesElsewhere(TabletState& state, uint8_t switches)
{
    state.ec.switches = switches;
}

bool SetBrightnessElsewhere(TabletState& state, unsigned int level)
{
    if (level > closed_libraries::kMaxBrightnessLevel) return false;
    state.brightness = level;
    return true;
}

bool SetVolumeElsewhere(TabletState& state, float scalar)
{
    if (!closed_libraries::IsVolumeScalar(scalar)) return false;
    // -0.0 passes the range check; it is stored as 0.0 so that status never shows "-0.000000".
    state.volume = scalar + 0.0f;
    return true;
}

void SetAckMode(TabletState& state, AckMode mode, uint32_t afterReads)
{
    state.ec.ackMode = mode;
    state.ec.ackAfterReads = std::max<uint32_t>(afterReads, 1);
}

void SetAckDelay(TabletState& state, uint32_t ms)
{
    state.ec.ackDelayMs = std::min(ms, kMaxAckDelayMs);
}

void SetPortAccessGranted(TabletState& state, bool granted)
{
    state.winio.granted = granted ? 1 : 0;
}

} // namespace tabvisor::simulated
