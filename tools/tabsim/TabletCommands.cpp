// tabsim's reset, status, set and log commands against a simulated tablet.
#include "TabletCommands.h"

#include "ConsoleOutput.h"
#include "EmbeddedControllerModel.h"
#include "PortHolders.h"
#include "StatusReport.h"
#include "TabletOperations.h"

#include <memory>

namespace tabvisor::tabsim {
namespace {

using simulated::TabletProblem;
using simulated::TabletState;

int Report(TabletProblem problem, const std::wstring& path)
{
    switch (problem) {
    case TabletProblem::None: return kExitOk;
    case TabletProblem::NotATablet:
        WriteError(L"tabsim: " + path + L" is not a simulated tablet of this version; run: tabsim reset\n");
        return kExitNotATablet;
    case TabletProblem::CannotOpen:
        WriteError(L"tabsim: cannot open or create " + path + L"\n");
        return kExitNoAccess;
    case TabletProblem::LockTimeout:
        WriteError(L"tabsim: another process holds the tablet lock\n");
        return kExitNoAccess;
    }
    return kExitNoAccess;
}

struct SetVisitor {
    TabletState& state;
    void operator()(const SetSwitches& set) const { simulated::SetSwitchesElsewhere(state, set.value); }
    void operator()(const SetBrightness& set) const { simulated::SetBrightnessElsewhere(state, set.level); }
    void operator()(const SetVolume& set) const { simulated::SetVolumeElsewhere(state, set.scalar); }
    void operator()(const SetAck& set) const { simulated::SetAckMode(state, set.mode, set.afterReads); }
    void operator()(const SetAckDelay& set) const { simulated::SetAckDelay(state, set.ms); }
    void operator()(const SetWinio& set) const { simulated::SetPortAccessGranted(state, set.granted); }
    template <class Other>
    void operator()(const Other&) const {}
};

int ShowStatus(simulated::SimulatedTablet& tablet)
{
    // Copied under the lock, formatted and printed after it, so the lock is held for microseconds.
    auto snapshot = std::make_unique<TabletState>();
    const TabletProblem problem = tablet.Use([&](TabletState& state) {
        // A holder that was killed never gave its port access back; it holds nothing now.
        simulated::ForgetPortUsers(state, simulated::PortHolderHasEnded);
        *snapshot = state;
    });
    if (problem != TabletProblem::None) return Report(problem, tablet.Path());
    return PrintOut(FormatStatus(*snapshot));
}

// The log is cleared only once it has been printed, and only of what was printed: a failed print
// loses nothing, and accesses logged meanwhile stay.
int ShowLog(simulated::SimulatedTablet& tablet, bool clear)
{
    std::string text;
    uint64_t printed = 0;
    const TabletProblem problem = tablet.Use([&](TabletState& state) {
        const size_t count = simulated::LoggedAccessCount(state);
        text.reserve(count * 16);
        for (size_t i = 0; i < count; ++i) text += FormatLogLine(simulated::LoggedAccess(state, i));
        printed = state.log.total;
    });
    if (problem != TabletProblem::None) return Report(problem, tablet.Path());
    const int result = PrintOut(text);
    if (result != kExitOk || !clear) return result;
    return Report(tablet.Use([&](TabletState& state) { simulated::ClearPortLogUpTo(state, printed); }), tablet.Path());
}

} // namespace

int PrintOut(const std::string& text)
{
    if (WriteOut(text)) return kExitOk;
    WriteError(L"tabsim: the output could not be written\n");
    return kExitNoOutput;
}

int RunTabletCommand(simulated::SimulatedTablet& tablet, const Command& command)
{
    if (std::holds_alternative<ResetCommand>(command)) return Report(tablet.Reset(), tablet.Path());
    if (std::holds_alternative<StatusCommand>(command)) return ShowStatus(tablet);
    if (const auto* log = std::get_if<LogCommand>(&command)) return ShowLog(tablet, log->clear);
    return Report(tablet.Use([&](TabletState& state) { std::visit(SetVisitor{state}, command); }), tablet.Path());
}

} // namespace tabvisor::tabsim
