// A second process for the sharing tests. It uses the tablet named by TABVISOR_SIMULATED_TABLET:
//   tablet_client hammer N     N rounds of the program's calls through the DLLs
//   tablet_client hold EVENT   takes the tablet lock, signals the named event, and waits to be killed
//   tablet_client hold-changing EVENT
//                              the same in the middle of a change to the tablet
//   tablet_client open-ports EVENT
//                              opens port access, signals the named event, and waits to be killed
//   tablet_client first-set    the process's first call of PM.dll, a SetBrightnessLevel(3) of the
//                              system build; its result is the exit code
#include "LibsTestSupport.h"
#include "SimulatedTablet.h"
#include "WireSequences.h"

#include <cstdlib>
#include <string>

using namespace tabvisor::testing;

namespace {

int Hammer(int rounds)
{
    TabletLibraries libs;
    if (!libs.AllBound()) return 2;
    auto read = [&](uint16_t port) {
        DWORD value = 0;
        libs.getPortVal(port, &value, 1);
        return static_cast<uint8_t>(value);
    };
    auto write = [&](uint16_t port, uint8_t value) { libs.setPortVal(port, value, 1); };
    for (int i = 0; i < rounds; ++i) {
        libs.setBrightness(static_cast<unsigned int>(i % 8));
        float scalar = static_cast<float>(i % 100) / 100.0f;
        libs.volumeVista(4, 0, &scalar);
        // Reads while the other process changes both values.
        if (libs.queryBrightness() > 7) return 6;
        if (libs.volumeVista(3, 0, &scalar) != S_OK || !(scalar >= 0.0f && scalar <= 1.0f)) return 7;
        if (!libs.initializeWinIo()) return 3;
        WriteSwitchesOnWire(read, write, static_cast<uint8_t>(i));
        libs.shutdownWinIo();
    }
    return 0;
}

int HoldLock(const wchar_t* eventName, bool changing)
{
    afx::unique_handle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName));
    if (!ready) return 5;
    if (changing) {
        wchar_t path[MAX_PATH] = {};
        GetEnvironmentVariableW(L"TABVISOR_SIMULATED_TABLET", path, MAX_PATH);
        tabvisor::simulated::SimulatedTablet tablet(path);
        tablet.Use([&](tabvisor::simulated::TabletState& state) {
            state.brightness = 6;  // half done
            SetEvent(ready.get());
            Sleep(INFINITE);
        });
        return 4;
    }
    tabvisor::simulated::TabletLock lock;
    if (!lock.Held()) return 4;
    SetEvent(ready.get());
    Sleep(INFINITE);
    return 0;
}

int OpenPortsAndWait(const wchar_t* eventName)
{
    TabletLibraries libs;
    if (!libs.AllBound() || !libs.initializeWinIo()) return 3;
    afx::unique_handle ready(OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName));
    if (!ready) return 5;
    SetEvent(ready.get());
    Sleep(INFINITE);
    return 0;
}

int FirstBrightnessSet()
{
    Library power(std::wstring(kSystemBuilds) + closed_libraries::kPowerLibrary);
    const auto set = power.Bind<PFN_SetBrightnessLevel>("SetBrightnessLevel");
    return set ? static_cast<int>(set(3)) : 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"hammer") return Hammer(_wtoi(argv[2]));
    if (argc == 3 && std::wstring(argv[1]) == L"hold") return HoldLock(argv[2], false);
    if (argc == 3 && std::wstring(argv[1]) == L"hold-changing") return HoldLock(argv[2], true);
    if (argc == 2 && std::wstring(argv[1]) == L"first-set") return FirstBrightnessSet();
    if (argc == 3 && std::wstring(argv[1]) == L"open-ports") return OpenPortsAndWait(argv[2]);
    return 1;
}
