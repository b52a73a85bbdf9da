// The measurements of the running programs, each side by side for Tabvisor and the floor.
#pragma once

#include <string>
#include <vector>

#include "LinuxProc.h"
#include "Measure.h"
#include "ObjectCounts.h"
#include "Target.h"

// ---- start-up --------------------------------------------------------------------------------

struct StartupResult {
    std::wstring label;
    std::vector<double> startupMs;     // CreateProcess to the hidden, waiting state
    std::vector<double> firstShownMs;  // CreateProcess to the start-up show (Tabvisor only)
    std::vector<ProcessSample> memory; // one second after reaching the waiting state
    std::vector<double> secondStartMs; // a second start beside the waiting one: CreateProcess to its end
    int secondStartFailures = 0;       // second starts that did not end, or whose panel did not come up
    std::vector<std::pair<std::string, std::uint64_t>> privateByMapping;  // of the last start
    int failures = 0;
};

// One start: appends to `result`. For a program that runs once per session, a second start
// beside it is timed too.
void MeasureOneStart(const TargetKind& kind, StartupResult& result);

// ---- hotkey latency --------------------------------------------------------------------------

struct LatencyResult {
    std::wstring label;
    int starts = 0;               // blocks of presses, each in a fresh process
    std::vector<double> panelMs;  // SendInput to the main window visible
    std::vector<double> pagesMs;  // SendInput to all five pages visible (Tabvisor only)
    std::vector<double> firstPageMs;  // SendInput to the first page shown by the timer visible
    std::vector<double> warmupPanelMs;  // the first press after each start, not counted
    std::vector<double> warmupPagesMs;
    std::vector<double> sendInputMs;  // how long SendInput itself took
    int visibleAtFirstLook = 0;   // presses after which the window was visible when SendInput returned
    int misses = 0;               // presses after which nothing showed within 2 s
    int closeFallbacks = 0;       // close clicks that did not hide, so the close command was sent
};

// One block: starts the program, presses `presses` times (after one uncounted press) and ends
// it; adds to `result`. The driver alternates blocks of Tabvisor and the floor, so both meet
// the same load on a shared machine.
void MeasureLatencyBlock(const TargetKind& kind, int presses, LatencyResult& result);

// ---- idle ------------------------------------------------------------------------------------

struct IdleResult {
    std::wstring label;
    bool ok = false;
    double seconds = 0;
    double processTimesMs = -1;  // GetProcessTimes in the program, kernel + user, over the window
    double cpuMs = 0;            // /proc schedstat, all threads
    double voluntary = 0;        // context switches in which a thread blocked (then woke)
    double involuntary = 0;
    double timeslices = 0;       // times a thread was put on a CPU
    int threads = 0;
    std::string byThread;        // voluntary switches per thread, busiest first
};

// Starts every kind (counting builds, for their own GetProcessTimes), waits until all are hidden
// and waiting, settles, then samples them all over the same `seconds`.
std::vector<IdleResult> MeasureIdle(const std::vector<TargetKind>& kinds, int seconds);

// ---- show/hide cycles: memory and objects -----------------------------------------------------

struct Snapshot {
    bool counted = false;
    ObjectCounts objects;
    ProcessSample memory;
};

struct CyclesResult {
    std::wstring label;
    bool started = false;
    int cycles = 0;
    int completed = 0;          // cycles in which everything showed and hid again
    int sliderMoves = 0;        // drags after which the slider's position changed
    int sliderMisses = 0;       // drags after which it did not
    int xDrags = 0;             // drags given as X input (another window lay over the slider for SendInput)
    int switchClicks = 0;
    int blockedClicks = 0;      // a click not sent because another window lay over the target
    int closeFallbacks = 0;
    double seconds = 0;
    // Time spent per step over all cycles, in ms: key to all shown, slider drag, switch click, hide.
    double showMs = 0;
    double dragMs = 0;
    double switchMs = 0;
    double hideMs = 0;
    Snapshot atStart;           // hidden and waiting, before the first cycle
    Snapshot early;             // after the first few cycles (first-show caches filled)
    Snapshot middle;            // half way
    Snapshot atEnd;             // after the last cycle
    int earlyCycles = 0;
    int middleCycles = 0;
    bool hasSliders = false;
    bool hasSwitches = false;
};

CyclesResult MeasureCycles(const TargetKind& kind, int cycles);

// ---- helpers shared with the driver ----------------------------------------------------------

// Loops of presses and cycles stop early, counting what they did, once this moment (a Now()
// value) has passed, so that a slow machine still gets its results written.
void SetSoftDeadline(LONGLONG when);
bool PastSoftDeadline();

// Runs a program of the driver's folder with `arguments`, waits up to `timeoutMs`, and returns
// what it wrote to standard output (empty if it could not run). Kills it when it overruns.
std::string RunAndCapture(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs,
                          DWORD* exitCode = nullptr);
