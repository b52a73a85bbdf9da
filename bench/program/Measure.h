// The clock and the summary statistics every measurement uses.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

inline LONGLONG Now()
{
    LARGE_INTEGER value;
    ::QueryPerformanceCounter(&value);
    return value.QuadPart;
}

inline double TicksToMs(LONGLONG ticks)
{
    static const double frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    return static_cast<double>(ticks) * 1000.0 / frequency;
}

inline double MsSince(LONGLONG start) { return TicksToMs(Now() - start); }

struct Summary {
    size_t count = 0;
    double median = 0;
    double p95 = 0;
    double min = 0;
    double max = 0;
    double mean = 0;
};

// Percentiles by the nearest rank on the sorted samples.
inline Summary Summarise(std::vector<double> samples)
{
    Summary s;
    s.count = samples.size();
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double fraction) { return samples[static_cast<size_t>(fraction * (samples.size() - 1) + 0.5)]; };
    s.median = at(0.5);
    s.p95 = at(0.95);
    s.min = samples.front();
    s.max = samples.back();
    double total = 0;
    for (double v : samples)
        total += v;
    s.mean = total / static_cast<double>(samples.size());
    return s;
}

// A small deterministic generator, so two runs space their key presses alike.
class Lcg {
public:
    explicit Lcg(unsigned seed) : m_state(seed) {}
    unsigned Next(unsigned bound)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % bound;
    }

private:
    unsigned m_state;
};
