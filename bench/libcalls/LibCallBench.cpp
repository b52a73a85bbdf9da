// Measures what one call of each tablet-library export costs the caller, on a simulated tablet
// and on the system backends, and prints a Markdown table (median, 99th percentile, worst).
#include "ClosedLibraries.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kCalls = 20000;

std::wstring BinaryDirectory()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

template <class Function>
Function Bind(const wchar_t* library, const char* name)
{
    HMODULE module = LoadLibraryW((BinaryDirectory() + library).c_str());
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

double Microseconds(LONGLONG ticks)
{
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    return static_cast<double>(ticks) * 1e6 / frequency;
}

LONGLONG Now()
{
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

void Measure(const char* backend, const char* call, const std::function<void()>& once, int calls = kCalls)
{
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(calls));
    for (int i = 0; i < calls; ++i) {
        const LONGLONG start = Now();
        once();
        samples.push_back(Microseconds(Now() - start));
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double fraction) { return samples[static_cast<size_t>(fraction * (samples.size() - 1))]; };
    std::printf("| %s | %s | %d | %.2f | %.2f | %.1f |\n", backend, call, calls, at(0.5), at(0.99), samples.back());
}

void MeasureFirst(const char* backend, const char* call, const std::function<void()>& once)
{
    const LONGLONG start = Now();
    once();
    std::printf("| %s | %s (first call in the process) | 1 | %.2f | | |\n", backend, call, Microseconds(Now() - start));
}

} // namespace

int main()
{
    using namespace closed_libraries;
    const auto initialize = Bind<PFN_InitializeWinIo>(kWinIoLibrary, "InitializeWinIo");
    const auto shutdown = Bind<PFN_ShutdownWinIo>(kWinIoLibrary, "ShutdownWinIo");
    const auto getPort = Bind<PFN_GetPortVal>(kWinIoLibrary, "GetPortVal");
    const auto setPort = Bind<PFN_SetPortVal>(kWinIoLibrary, "SetPortVal");
    const auto query = Bind<PFN_QueryCurrentBrightnessLevel>(kPowerLibrary, "QueryCurrentBrightnessLevel");
    const auto setLevel = Bind<PFN_SetBrightnessLevel>(kPowerLibrary, "SetBrightnessLevel");
    const auto volume = Bind<PFN_VolumeVista>(kCommonLibrary, "VolumeVista");
    if (!initialize || !shutdown || !getPort || !setPort || !query || !setLevel || !volume) {
        std::fprintf(stderr, "libraries or exports missing next to the benchmark\n");
        return 1;
    }

    std::printf("| backend | call | calls | median us | p99 us | worst us |\n|---|---|---|---|---|---|\n");

    // System backends first: without the variable.
    SetEnvironmentVariableW(kSimulatedTabletVariable, nullptr);
    float scalar = 0.5f;
    MeasureFirst("system", "QueryCurrentBrightnessLevel", [&] { query(); });
    MeasureFirst("system", "VolumeVista read", [&] { volume(kVolumeRead, 0, &scalar); });
    Sleep(500); // let the background threads settle on their answers
    Measure("system", "QueryCurrentBrightnessLevel", [&] { query(); });
    Measure("system", "SetBrightnessLevel", [&] { setLevel(3); });
    Measure("system", "VolumeVista read", [&] { volume(kVolumeRead, 0, &scalar); });
    Measure("system", "VolumeVista write", [&] {
        float half = 0.5f;
        volume(kVolumeWrite, 0, &half);
    });
    Measure("system", "InitializeWinIo", [&] { initialize(); });

    wchar_t folder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, folder);
    const std::wstring file = std::wstring(folder) + L"libcall-bench.tablet";
    DeleteFileW(file.c_str());
    SetEnvironmentVariableW(kSimulatedTabletVariable, file.c_str());
    MeasureFirst("simulated", "QueryCurrentBrightnessLevel", [&] { query(); });
    Measure("simulated", "QueryCurrentBrightnessLevel", [&] { query(); });
    Measure("simulated", "SetBrightnessLevel", [&] { setLevel(3); });
    Measure("simulated", "VolumeVista read", [&] { volume(kVolumeRead, 0, &scalar); });
    Measure("simulated", "VolumeVista write", [&] {
        float half = 0.5f;
        volume(kVolumeWrite, 0, &half);
    });
    Measure("simulated", "InitializeWinIo + ShutdownWinIo", [&] {
        initialize();
        shutdown();
    });
    initialize();
    DWORD value = 0;
    Measure("simulated", "GetPortVal (0x68)", [&] { getPort(0x68, &value, 1); });
    Measure("simulated", "SetPortVal (0x360)", [&] { setPort(0x360, 0, 1); });
    Measure("simulated", "EC read sequence (4 port calls)", [&] {
        setPort(0x6C, 0x11, 1);
        getPort(0x68, &value, 1);
        setPort(0x360, 0, 1);
        getPort(0x361, &value, 1);
    }, 5000);
    shutdown();

    // For reading the figures above: the simulated tablet's every call takes and releases one
    // named mutex, and under Wine each of those is a round trip to the wineserver.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\LibCallBenchReference");
    Measure("reference", "named mutex wait + release", [&] {
        WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
    });
    CloseHandle(mutex);
    SetEnvironmentVariableW(kSimulatedTabletVariable, nullptr);
    DeleteFileW(file.c_str());
    return 0;
}
