// tabsim: creates, shows and changes a simulated tablet, and injects the tablet's keys.
#include "ClosedLibraries.h"
#include "ConsoleOutput.h"
#include "KeyInjection.h"
#include "TabletCommands.h"
#include "TabletSelection.h"

#include <windows.h>

#include <vector>

using namespace tabvisor;
using namespace tabvisor::tabsim;

namespace {

std::wstring TabletPathFromEnvironment()
{
    std::vector<wchar_t> value(32768);
    const DWORD length = GetEnvironmentVariableW(closed_libraries::kSimulatedTabletVariable, value.data(),
                                                 static_cast<DWORD>(value.size()));
    return length > 0 && length < value.size() ? std::wstring(value.data(), length) : std::wstring();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::vector<std::wstring> arguments(argv + 1, argv + argc);
    const ParseResult result = ParseCommandLine(arguments);
    if (!result.parsed) {
        WriteError(L"tabsim: " + result.error + L"\n" + kUsage);
        return kExitUsage;
    }
    const Command& command = result.parsed->command;
    if (std::holds_alternative<HelpCommand>(command)) {
        const std::wstring usage(kUsage);
        return PrintOut(std::string(usage.begin(), usage.end()));
    }
    if (const auto* key = std::get_if<KeyCommand>(&command)) {
        if (InjectKey(*key)) return kExitOk;
        WriteError(L"tabsim: the system did not take the key\n");
        return kExitKeyRefused;
    }

    std::wstring file = result.parsed->file.empty() ? TabletPathFromEnvironment() : result.parsed->file;
    if (file.empty()) {
        WriteError(L"tabsim: no tablet: set TABVISOR_SIMULATED_TABLET or pass --file PATH\n");
        return kExitUsage;
    }
    simulated::SimulatedTablet tablet(simulated::ResolveTabletPath(file));
    return RunTabletCommand(tablet, command);
}
