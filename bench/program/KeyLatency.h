// Key latency as another program sees it: a window of the driver in front, ordinary keys sent
// with SendInput, and the time until that window takes each WM_KEYDOWN from its queue. Every
// low-level hook of the session (the benchmarked program's too) runs before the key is queued.
#pragma once

#include <string>
#include <vector>

#include "Target.h"

struct KeyLatencyResult {
    std::wstring label;
    std::vector<double> ms;  // SendInput of the key-down to its WM_KEYDOWN in the window in front
    int blocks = 0;          // blocks run, each with the program freshly started
    int failures = 0;        // blocks that could not run (the program did not start or show) or
                             // after which a program meant to be shown no longer was
    int lost = 0;            // keys that did not arrive within two seconds
};

// One block of `keys` keys with `kind` running (none when null), shown with the tablet key first
// when `shown`; adds to `result`.
void MeasureKeyLatencyBlock(const TargetKind* kind, bool shown, int keys, KeyLatencyResult& result);
