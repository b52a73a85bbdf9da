// Everything one benchmark run measured, and its Markdown: the full tables for bench/RESULTS.md
// and the short table of goals for the README.
#pragma once

#include <string>
#include <vector>

#include "KeyLatency.h"
#include "Phases.h"

struct FileSize {
    std::wstring name;
    long long bytes = -1;          // as built
    long long strippedBytes = -1;  // without symbols, as shipped
    long long resourceBytes = -1;  // its resource section: dialogs, bitmaps, PNG artwork, icon
};

struct HookFigures {
    std::string kind;
    int calls = 0;
    // The hook procedure's own work: CallNextHookEx answered by a stub.
    double tabvisorMedianNs = 0;
    double tabvisorP99Ns = 0;
    double floorMedianNs = 0;
    double floorP99Ns = 0;
    // The whole call, the platform's CallNextHookEx included.
    double tabvisorWholeMedianNs = 0;
    double tabvisorWholeP99Ns = 0;
    double floorWholeMedianNs = 0;
    double floorWholeP99Ns = 0;
};

struct RunReport {
    std::string build = "x64";
    // Only sizes, start-up (and memory after it) and idle were measured: the other build's run.
    bool basic = false;
    std::string command;
    std::string when;
    std::string machine;
    std::string wineVersion;
    std::string loadBefore;
    std::string loadAfter;
    double minutes = 0;

    std::vector<FileSize> sizes;
    std::vector<HookFigures> hook;
    bool hookRan = false;
    StartupResult startTabvisor;
    StartupResult startFloor;
    LatencyResult latencyTabvisor;
    LatencyResult latencyFloor;
    // Another program's keys: with no Tabvisor first, then the reference and Tabvisor's cases.
    std::vector<KeyLatencyResult> keyLatency;
    // The floor first, then the zero floor, then Tabvisor on the simulated tablet, then on the
    // system backends.
    std::vector<IdleResult> idle;
    int idleSeconds = 0;
    CyclesResult cyclesTabvisor;
    CyclesResult cyclesFloor;
    std::string tabletAfterCycles;  // tabsim status lines of interest
};

// The full report of one build, followed by the basic one of the other build when there is one.
std::string ResultsMarkdown(const RunReport& report, const RunReport* other = nullptr);
std::string SummaryMarkdown(const RunReport& report, const RunReport* other = nullptr);
