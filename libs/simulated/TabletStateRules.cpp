// Fresh state, header check and field repair for the simulated tablet's state file.
#include "TabletStateRules.h"

#include "ClosedLibraries.h"
#include "TabletOperations.h"

#include <cmath>
#include <cstring>

namespace tabvisor::simulated {
namespace {

template <size_t Capacity>
void TerminateString(wchar_t (&text)[Capacity])
{
    text[Capacity - 1] = L'\0';
}

} // namespace

void MakeFreshTablet(TabletState& state)
{
    std::memset(&state, 0, sizeof state);
    std::memcpy(state.header.magic, kTabletMagic, sizeof kTabletMagic);
    state.header.version = kTabletStateVersion;
    state.header.size = sizeof(TabletState);
    state.ec.switches = kFreshSwitches;
    state.ec.ackMode = AckMode::Now;
    state.ec.ackAfterReads = 1;
    state.winio.granted = 1;
    state.brightness = kFreshBrightness;
    state.volume = kFreshVolume;
}

bool HasCurrentHeader(const TabletState& state)
{
    return std::memcmp(state.header.magic, kTabletMagic, sizeof kTabletMagic) == 0 &&
           state.header.version == kTabletStateVersion && state.header.size == sizeof(TabletState);
}

void RepairFields(TabletState& state)
{
    EmbeddedController& ec = state.ec;
    if (ec.ackMode != AckMode::Now && ec.ackMode != AckMode::Never && ec.ackMode != AckMode::AfterReads)
        ec.ackMode = AckMode::Now;
    if (ec.ackAfterReads == 0) ec.ackAfterReads = 1;
    if (ec.ackDelayMs > kMaxAckDelayMs) ec.ackDelayMs = kMaxAckDelayMs;
    ec.acknowledged = ec.acknowledged ? 1 : 0;
    state.winio.granted = state.winio.granted ? 1 : 0;
    if (state.brightness > closed_libraries::kMaxBrightnessLevel) state.brightness = closed_libraries::kMaxBrightnessLevel;
    if (!(state.volume >= 0.0f && state.volume <= 1.0f)) state.volume = kFreshVolume;
    TerminateString(state.task.name);
    TerminateString(state.task.program);
    TerminateString(state.task.author);
    TerminateString(state.task.description);
}

} // namespace tabvisor::simulated
