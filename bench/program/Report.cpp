// The Markdown of a run: tables side by side with the floor, ratios, and each goal met or missed.
#include "Report.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace {

std::string F(double value, int decimals = 1)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

std::string N(long long value) { return std::to_string(value); }

std::string Ratio(double value, double floor)
{
    if (floor == 0 && value == 0)
        return "both 0";
    if (floor <= 0 || value < 0)
        return "n/a";
    return F(value / floor, 2) + "x";
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string KiB(long long bytes) { return bytes < 0 ? "n/a" : F(static_cast<double>(bytes) / 1024.0, 1); }

struct MemoryAtStart {
    double privateKb = 0;
    double rssKb = 0;
    double anonKb = 0;
    double xshmKb = 0;
};

MemoryAtStart MedianMemory(const StartupResult& start)
{
    std::vector<double> priv, rss, anon, xshm;
    for (const ProcessSample& s : start.memory) {
        if (!s.ok)
            continue;
        priv.push_back(static_cast<double>(s.privateKb));
        rss.push_back(static_cast<double>(s.rssKb));
        anon.push_back(static_cast<double>(s.anonKb));
        xshm.push_back(static_cast<double>(s.xshmKb));
    }
    return {Summarise(priv).median, Summarise(rss).median, Summarise(anon).median, Summarise(xshm).median};
}

struct Goal {
    std::string what;
    std::string measured;
    std::string verdict;  // "met", "missed", or why it could not be judged
};

std::string Verdict(bool known, bool met) { return !known ? "not measured" : met ? "met" : "**missed**"; }

const IdleResult* IdleOf(const RunReport& r, size_t index) { return index < r.idle.size() ? &r.idle[index] : nullptr; }

double PerSecond(double value, const IdleResult& idle) { return idle.seconds > 0 ? value / idle.seconds : 0; }

std::vector<Goal> Goals(const RunReport& r)
{
    std::vector<Goal> goals;
    const Summary panel = Summarise(r.latencyTabvisor.panelMs);
    const Summary floorPanel = Summarise(r.latencyFloor.panelMs);
    const Summary pages = Summarise(r.latencyTabvisor.pagesMs);
    const bool latencyKnown = panel.count > 0 && floorPanel.count > 0;
    if (!r.basic) {
        goals.push_back({"panel visible within one frame (16 ms) of the hotkey, median",
                         F(panel.median, 2) + " ms", Verdict(panel.count > 0, panel.median <= 16.0)});
        goals.push_back({"panel visible no slower than 1.2x the floor, median",
                         F(panel.median, 2) + " vs " + F(floorPanel.median, 2) + " ms = " + Ratio(panel.median, floorPanel.median),
                         Verdict(latencyKnown, panel.median <= 1.2 * floorPanel.median)});
        goals.push_back({"all five pages visible within 50 ms (95th percentile; worst in brackets)",
                         F(pages.p95, 1) + " ms (" + F(pages.max, 1) + ")", Verdict(pages.count > 0, pages.p95 <= 50.0)});
    }

    if (!r.basic && !r.keyLatency.empty()) {
        const Summary none = Summarise(r.keyLatency.front().ms);
        for (size_t i = 1; i < r.keyLatency.size(); ++i) {
            const KeyLatencyResult& k = r.keyLatency[i];
            if (k.label.rfind(L"Tabvisor", 0) != 0)
                continue;
            const Summary with = Summarise(k.ms);
            const bool known = none.count > 0 && with.count > 0 && k.failures == 0;
            const double added = with.p95 - none.p95;
            goals.push_back({"key latency Tabvisor adds under 1 ms, 95th percentile: " + Narrow(k.label),
                             F(with.p95, 3) + " vs " + F(none.p95, 3) + " ms: " + (added >= 0 ? "+" : "") + F(added, 3) +
                                 " ms" + (k.lost > 0 ? ", " + N(k.lost) + " keys lost" : ""),
                             Verdict(known, added < 1.0 && k.lost == 0)});
        }
    }

    // Beside the design's floor (three timers), and beside the zero floor (no timer, a hook that
    // only posts): hidden, nothing of the program's own should run.
    const IdleResult* floor = IdleOf(r, 0);
    const IdleResult* zero = IdleOf(r, 1);
    for (size_t i = 2; i < r.idle.size(); ++i) {
        const IdleResult& idle = r.idle[i];
        const double cpu = PerSecond(idle.cpuMs, idle);
        const double wakes = PerSecond(idle.timeslices, idle);
        for (const auto& [reference, name, bound] :
             {std::tuple{floor, std::string("the floor"), 1.2}, std::tuple{zero, std::string("the zero floor"), 1.1}}) {
            const bool known = reference != nullptr && reference->ok && idle.ok;
            const double referenceCpu = reference ? PerSecond(reference->cpuMs, *reference) : 0;
            const double referenceWakes = reference ? PerSecond(reference->timeslices, *reference) : 0;
            const std::string times = F(bound, 1) + "x " + name + ": " + Narrow(idle.label);
            goals.push_back({"idle CPU no more than " + times,
                             F(cpu, 3) + " vs " + F(referenceCpu, 3) + " ms/s = " + Ratio(cpu, referenceCpu),
                             Verdict(known, cpu <= bound * referenceCpu)});
            goals.push_back({"idle wake-ups no more than " + times,
                             F(wakes, 1) + " vs " + F(referenceWakes, 1) + " /s = " + Ratio(wakes, referenceWakes),
                             Verdict(known, wakes <= bound * referenceWakes)});
        }
    }

    if (!r.basic) {
        double worstKey = -1;
        std::string worstKind;
        for (const HookFigures& h : r.hook) {
            if (h.kind.rfind("hotkey", 0) == 0 || h.kind.rfind("reference", 0) == 0)
                continue;
            if (h.tabvisorMedianNs > worstKey) {
                worstKey = h.tabvisorMedianNs;
                worstKind = h.kind;
            }
    }
    goals.push_back({"a hook call under 1 microsecond (the hook's own work; slowest median of the ordinary keys)",
                     worstKey < 0 ? "n/a" : F(worstKey, 1) + " ns (" + worstKind + ")",
                     Verdict(worstKey >= 0, worstKey < 1000.0)});
    }

    const MemoryAtStart tabvisorMemory = MedianMemory(r.startTabvisor);
    const MemoryAtStart floorMemory = MedianMemory(r.startFloor);
    const bool memoryKnown = tabvisorMemory.privateKb > 0 && floorMemory.privateKb > 0;
    const double extraMb = (tabvisorMemory.privateKb - floorMemory.privateKb) / 1024.0;
    goals.push_back({"private bytes within 4 MB of the floor (after start)",
                     F(tabvisorMemory.privateKb / 1024.0, 1) + " vs " + F(floorMemory.privateKb / 1024.0, 1) +
                         " MiB: +" + F(extraMb, 2) + " MiB",
                     Verdict(memoryKnown, extraMb <= 4.0)});

    if (!r.basic) {
        const CyclesResult& c = r.cyclesTabvisor;
        const bool cyclesKnown = c.started && c.early.counted && c.atEnd.counted && c.early.memory.ok && c.atEnd.memory.ok;
        const long long privateGrowth =
            static_cast<long long>(c.atEnd.memory.privateKb) - static_cast<long long>(c.early.memory.privateKb);
        const long long gdiGrowth = static_cast<long long>(c.atEnd.objects.gdiTotal) - c.early.objects.gdiTotal;
        const long long userGrowth = static_cast<long long>(c.atEnd.objects.userTotal) - c.early.objects.userTotal;
        const std::string span = "cycles " + N(c.earlyCycles) + " to " + N(c.cycles);
        goals.push_back({"zero growth of GDI and USER objects over the cycles (" + span + ")",
                         "GDI " + std::string(gdiGrowth >= 0 ? "+" : "") + N(gdiGrowth) + ", USER " +
                             std::string(userGrowth >= 0 ? "+" : "") + N(userGrowth),
                         Verdict(cyclesKnown, gdiGrowth <= 0 && userGrowth <= 0)});
        goals.push_back({"zero growth of private memory over the cycles (" + span + ")",
                         std::string(privateGrowth >= 0 ? "+" : "") + N(privateGrowth) + " KiB",
                         Verdict(cyclesKnown, privateGrowth <= 0)});
    }

    long long exe = -1;
    for (const FileSize& f : r.sizes)
        if (f.name == L"Tabvisor.exe")
            exe = f.strippedBytes >= 0 ? f.strippedBytes : f.bytes;
    const Summary second = Summarise(r.startTabvisor.secondStartMs);
    goals.push_back({"a second start ends within a second, having shown the running panel (slowest; failures in brackets)",
                     F(second.max, 0) + " ms (" + N(r.startTabvisor.secondStartFailures) + ")",
                     Verdict(second.count > 0, second.max <= 1000.0 && r.startTabvisor.secondStartFailures == 0)});
    goals.push_back({"Tabvisor.exe under 1.5 MB with all artwork (stripped, as shipped)",
                     exe < 0 ? "n/a" : F(static_cast<double>(exe) / 1e6, 3) + " MB",
                     Verdict(exe >= 0, exe >= 0 && exe < 1500000)});
    return goals;
}

void Line(std::string& out, const std::string& text) { out += text + "\n"; }

void SnapshotRow(std::string& out, const std::string& label, const std::string& point, const Snapshot& s)
{
    const ObjectCounts& o = s.objects;
    std::string gdi = "n/a";
    std::string user = "n/a";
    if (s.counted) {
        gdi = o.gdiTableUsable ? N(o.gdiTotal) + " (" + N(o.gdiDc) + " / " + N(o.gdiBitmap) + " / " + N(o.gdiBrush) +
                                     " / " + N(o.gdiPen) + " / " + N(o.gdiFont) + " / " + N(o.gdiRegion) + " / " +
                                     N(o.gdiOther) + ")"
                               : "table unusable";
        user = N(o.userTotal) + " (" + N(o.userWindows) + " / " + N(o.userMenus) + " / " + N(o.userIcons) + ")";
    }
    Line(out, "| " + label + " | " + point + " | " + (s.memory.ok ? N(s.memory.privateKb) : "n/a") + " | " +
                  (s.memory.ok ? N(s.memory.rssKb) : "n/a") + " | " + (s.memory.ok ? N(s.memory.anonKb) : "n/a") + " | " +
                  (s.counted ? N(static_cast<long long>(o.workingSet / 1024)) + " / " +
                                   N(static_cast<long long>(o.pagefileUsage / 1024))
                             : "n/a") +
                  " | " + gdi + " | " + user + " |");
}

// The heading prefix of the other build's sections.
std::string Build(const RunReport& r) { return r.basic ? r.build + ": " : ""; }

void GoalsSection(std::string& out, const RunReport& r)
{
    Line(out, "#### " + Build(r) + "Goals");
    Line(out, "");
    Line(out, "| goal | measured | verdict |");
    Line(out, "|---|---|---|");
    for (const Goal& g : Goals(r))
        Line(out, "| " + g.what + " | " + g.measured + " | " + g.verdict + " |");
    Line(out, "");
}

void LatencySection(std::string& out, const RunReport& r)
{
    // Latency
    const Summary panel = Summarise(r.latencyTabvisor.panelMs);
    const Summary floorPanel = Summarise(r.latencyFloor.panelMs);
    const Summary pages = Summarise(r.latencyTabvisor.pagesMs);
    Line(out, "#### " + Build(r) + "Tablet key to visible (ms)");
    Line(out, "");
    Line(out, "| program | presses | panel median | panel p95 | panel worst | all pages median | all pages p95 | all pages worst | first press after each start, median (panel / pages) | misses | close-command fallbacks |");
    Line(out, "|---|---|---|---|---|---|---|---|---|---|---|");
    Line(out, "| Tabvisor | " + N(static_cast<long long>(panel.count)) + " | " + F(panel.median, 2) + " | " + F(panel.p95, 2) +
                  " | " + F(panel.max, 2) + " | " + F(pages.median, 1) + " | " + F(pages.p95, 1) + " | " + F(pages.max, 1) + " | " +
                  F(Summarise(r.latencyTabvisor.warmupPanelMs).median, 2) + " / " +
                  F(Summarise(r.latencyTabvisor.warmupPagesMs).median, 1) + " | " +
                  N(r.latencyTabvisor.misses) + " | " + N(r.latencyTabvisor.closeFallbacks) + " |");
    Line(out, "| floor | " + N(static_cast<long long>(floorPanel.count)) + " | " + F(floorPanel.median, 2) + " | " +
                  F(floorPanel.p95, 2) + " | " + F(floorPanel.max, 2) + " | (no pages) | | | " +
                  F(Summarise(r.latencyFloor.warmupPanelMs).median, 2) + " | " + N(r.latencyFloor.misses) + " | " +
                  N(r.latencyFloor.closeFallbacks) + " |");
    Line(out, "| ratio | | " + Ratio(panel.median, floorPanel.median) + " | " + Ratio(panel.p95, floorPanel.p95) + " | " +
                  Ratio(panel.max, floorPanel.max) + " | | | | | | |");
    Line(out, "");
    const Summary send = Summarise(r.latencyTabvisor.sendInputMs);
    const Summary floorSend = Summarise(r.latencyFloor.sendInputMs);
    const Summary firstPage = Summarise(r.latencyTabvisor.firstPageMs);
    std::vector<double> requestWait, showing;
    for (size_t i = 0; i < r.latencyTabvisor.firstPageMs.size() && i < r.latencyTabvisor.panelMs.size(); ++i) {
        requestWait.push_back(r.latencyTabvisor.firstPageMs[i] - r.latencyTabvisor.panelMs[i]);
        showing.push_back(r.latencyTabvisor.pagesMs[i] - r.latencyTabvisor.firstPageMs[i]);
    }
    const Summary wait = Summarise(requestWait);
    const Summary show = Summarise(showing);
    Line(out, "Of the time to all pages: from the panel visible to the first page shown, median " +
                  F(wait.median, 1) + " ms (p95 " + F(wait.p95, 1) + ", worst " + F(wait.max, 1) +
                  "), the wait for the show request; from the first page visible to the last, median " +
                  F(show.median, 1) + " ms (p95 " + F(show.p95, 1) + ", worst " + F(show.max, 1) +
                  "), showing the five pages. The first page was visible " + F(firstPage.median, 1) +
                  " ms after SendInput at the median.");
    Line(out, "");
    Line(out, "SendInput itself took " + F(send.median, 2) + " ms at the median (floor: " + F(floorSend.median, 2) +
                  " ms), and the window was already visible when it returned after " +
                  N(r.latencyTabvisor.visibleAtFirstLook) + " of " + N(static_cast<long long>(panel.count)) +
                  " presses (floor: " + N(r.latencyFloor.visibleAtFirstLook) + " of " +
                  N(static_cast<long long>(floorPanel.count)) + ").");
    Line(out, "");
}

void IdleSection(std::string& out, const RunReport& r)
{
    // Idle
    Line(out, "#### " + Build(r) + "Hidden and idle for " + N(r.idleSeconds) + " s, all at once");
    Line(out, "");
    Line(out, "| program | CPU ms/s (schedstat) | CPU ms/s (GetProcessTimes) | wake-ups/s (times on a CPU) | blocked and woken (voluntary switches)/s | preempted/s | threads | voluntary switches by thread over the window | ratio CPU / wake-ups to the floor | to the zero floor |");
    Line(out, "|---|---|---|---|---|---|---|---|---|---|");
    const IdleResult* floor = IdleOf(r, 0);
    const IdleResult* zero = IdleOf(r, 1);
    const auto ratios = [](const IdleResult& idle, const IdleResult* reference) -> std::string {
        if (reference == nullptr || &idle == reference)
            return "";
        return Ratio(PerSecond(idle.cpuMs, idle), PerSecond(reference->cpuMs, *reference)) + " / " +
               Ratio(PerSecond(idle.timeslices, idle), PerSecond(reference->timeslices, *reference));
    };
    for (const IdleResult& idle : r.idle) {
        const double cpu = PerSecond(idle.cpuMs, idle);
        const double wakes = PerSecond(idle.timeslices, idle);
        const bool isFloor = &idle == floor || &idle == zero;
        Line(out, "| " + Narrow(idle.label) + (idle.ok ? "" : " (not measured: did not stay hidden and running)") + " | " +
                      F(cpu, 3) + " | " +
                      (idle.processTimesMs < 0 ? std::string("n/a") : F(PerSecond(idle.processTimesMs, idle), 3)) + " | " +
                      F(wakes, 1) + " | " + F(PerSecond(idle.voluntary, idle), 1) + " | " +
                      F(PerSecond(idle.involuntary, idle), 1) + " | " + N(idle.threads) + " | " + idle.byThread + " | " +
                      (isFloor ? "" : ratios(idle, floor)) + " | " + (isFloor ? "" : ratios(idle, zero)) + " |");
    }
    Line(out, "");
}

void KeyLatencySection(std::string& out, const RunReport& r)
{
    if (r.keyLatency.empty())
        return;
    Line(out, "#### " + Build(r) + "Another program's keys: SendInput to its WM_KEYDOWN (ms)");
    Line(out, "");
    Line(out, "| running beside it | keys | median | p95 | worst | added at the median / p95 (to no Tabvisor) | keys lost | blocks (failed) |");
    Line(out, "|---|---|---|---|---|---|---|---|");
    const Summary none = Summarise(r.keyLatency.front().ms);
    for (const KeyLatencyResult& k : r.keyLatency) {
        const Summary s = Summarise(k.ms);
        const bool reference = &k == &r.keyLatency.front();
        Line(out, "| " + Narrow(k.label) + " | " + N(static_cast<long long>(s.count)) + " | " + F(s.median, 3) + " | " +
                      F(s.p95, 3) + " | " + F(s.max, 2) + " | " +
                      (reference ? std::string() : F(s.median - none.median, 3) + " / " + F(s.p95 - none.p95, 3)) +
                      " | " + N(k.lost) + " | " + N(k.blocks) + " (" + N(k.failures) + ") |");
    }
    Line(out, "");
}

void HookSection(std::string& out, const RunReport& r)
{
    // Hook
    Line(out, "#### " + Build(r) + "One hook call, in-process (ns)");
    Line(out, "");
    if (!r.hookRan) {
        Line(out, "The hook benchmark did not run.");
    } else {
        Line(out, "| key event | calls | own work: Tabvisor median | p99 | floor median | p99 | ratio | whole call with CallNextHookEx: Tabvisor median | p99 | floor median | p99 | ratio |");
        Line(out, "|---|---|---|---|---|---|---|---|---|---|---|---|");
        for (const HookFigures& h : r.hook)
            Line(out, "| " + h.kind + " | " + N(h.calls) + " | " + F(h.tabvisorMedianNs, 1) + " | " + F(h.tabvisorP99Ns, 1) +
                          " | " + F(h.floorMedianNs, 1) + " | " + F(h.floorP99Ns, 1) + " | " +
                          Ratio(h.tabvisorMedianNs, h.floorMedianNs) + " | " + F(h.tabvisorWholeMedianNs, 1) + " | " +
                          F(h.tabvisorWholeP99Ns, 1) + " | " + F(h.floorWholeMedianNs, 1) + " | " + F(h.floorWholeP99Ns, 1) +
                          " | " + Ratio(h.tabvisorWholeMedianNs, h.floorWholeMedianNs) + " |");
    }
    Line(out, "");
}

void MemorySection(std::string& out, const RunReport& r)
{
    // Memory after start
    const MemoryAtStart tabvisorMemory = MedianMemory(r.startTabvisor);
    const MemoryAtStart floorMemory = MedianMemory(r.startFloor);
    Line(out, "#### " + Build(r) + "Memory one second after start (KiB, median of the starts)");
    Line(out, "");
    Line(out, "| program | private bytes (Private_Dirty) | working set (VmRSS) | anonymous (RssAnon) | X shared memory (not counted as private) |");
    Line(out, "|---|---|---|---|---|");
    const auto memoryRow = [&](const std::string& label, const MemoryAtStart& m) {
        Line(out, "| " + label + " | " + F(m.privateKb, 0) + " | " + F(m.rssKb, 0) + " | " + F(m.anonKb, 0) + " | " +
                      F(m.xshmKb, 0) + " |");
    };
    memoryRow("Tabvisor", tabvisorMemory);
    memoryRow("floor", floorMemory);
    memoryRow("difference", {tabvisorMemory.privateKb - floorMemory.privateKb, tabvisorMemory.rssKb - floorMemory.rssKb,
                             tabvisorMemory.anonKb - floorMemory.anonKb, tabvisorMemory.xshmKb - floorMemory.xshmKb});
    Line(out, "");
    {
        // Where the difference lies: private pages per mapped file, largest differences first.
        std::vector<std::pair<std::string, std::pair<long long, long long>>> rows;
        for (const auto& [name, kb] : r.startTabvisor.privateByMapping)
            rows.push_back({name, {static_cast<long long>(kb), 0}});
        for (const auto& [name, kb] : r.startFloor.privateByMapping) {
            auto found = std::find_if(rows.begin(), rows.end(), [&](const auto& row) { return row.first == name; });
            if (found == rows.end())
                rows.push_back({name, {0, static_cast<long long>(kb)}});
            else
                found->second.second = static_cast<long long>(kb);
        }
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            return a.second.first - a.second.second > b.second.first - b.second.second;
        });
        if (!rows.empty()) {
            Line(out, "Private bytes by mapping (KiB, last start), the ten largest differences:");
            Line(out, "");
            Line(out, "| mapping | Tabvisor | floor | difference |");
            Line(out, "|---|---|---|---|");
            for (size_t i = 0; i < rows.size() && i < 10; ++i)
                Line(out, "| " + rows[i].first + (rows[i].first.rfind("SYSV", 0) == 0 ? " (X shared memory, not counted)" : "") + " | " + N(rows[i].second.first) + " | " + N(rows[i].second.second) + " | " +
                              N(rows[i].second.first - rows[i].second.second) + " |");
            Line(out, "");
        }
    }
}

void CyclesSection(std::string& out, const RunReport& r)
{
    // Cycles
    Line(out, "#### " + Build(r) + "Show/hide cycles: memory (KiB) and objects (counting builds)");
    Line(out, "");
    Line(out, "| program | when | private bytes | working set | anonymous | in-process working set / page-file use | GDI objects (DC / bitmap / brush / pen / font / region / other) | USER objects (windows / menus / icons) |");
    Line(out, "|---|---|---|---|---|---|---|---|");
    for (const CyclesResult* c : {&r.cyclesTabvisor, &r.cyclesFloor}) {
        const std::string label = Narrow(c->label);
        if (!c->started) {
            Line(out, "| " + label + " | did not start | | | | | | |");
            continue;
        }
        SnapshotRow(out, label, "after start", c->atStart);
        SnapshotRow(out, label, "after " + N(c->earlyCycles) + " cycles", c->early);
        SnapshotRow(out, label, "after " + N(c->middleCycles) + " cycles", c->middle);
        SnapshotRow(out, label, "after " + N(c->cycles) + " cycles", c->atEnd);
    }
    Line(out, "");
    Line(out, "| program | cycles completed | seconds | ms per cycle: key to all shown / drag / switch click / hide | slider drags that moved / did not (of them as X input) | switch clicks | clicks not sent (window in the way) | close-command fallbacks |");
    Line(out, "|---|---|---|---|---|---|---|---|");
    for (const CyclesResult* c : {&r.cyclesTabvisor, &r.cyclesFloor})
        Line(out, "| " + Narrow(c->label) + " | " + N(c->completed) + " of " + N(c->cycles) + " | " + F(c->seconds, 1) + " | " +
                      (c->cycles > 0 ? F(c->showMs / c->cycles, 1) + " / " + F(c->dragMs / c->cycles, 1) + " / " +
                                           F(c->switchMs / c->cycles, 1) + " / " + F(c->hideMs / c->cycles, 1)
                                     : std::string("n/a")) +
                      " | " + (c->hasSliders ? N(c->sliderMoves) + " / " + N(c->sliderMisses) + " (" + N(c->xDrags) + ")" : "no sliders") + " | " +
                      (c->hasSwitches ? N(c->switchClicks) : "no switches") + " | " + N(c->blockedClicks) + " | " +
                      N(c->closeFallbacks) + " |");
    if (!r.tabletAfterCycles.empty())
        Line(out, "\nThe simulated tablet after the cycles: " + r.tabletAfterCycles + ".");
    Line(out, "");
}

void StartupSection(std::string& out, const RunReport& r)
{
    // Start-up and sizes
    const Summary start = Summarise(r.startTabvisor.startupMs);
    const Summary floorStart = Summarise(r.startFloor.startupMs);
    const Summary shown = Summarise(r.startTabvisor.firstShownMs);
    Line(out, "#### " + Build(r) + "Start-up to the hidden, waiting state (ms)");
    Line(out, "");
    Line(out, "| program | starts | median | fastest | slowest | failures |");
    Line(out, "|---|---|---|---|---|---|");
    Line(out, "| Tabvisor | " + N(static_cast<long long>(start.count)) + " | " + F(start.median, 0) + " | " + F(start.min, 0) +
                  " | " + F(start.max, 0) + " | " + N(r.startTabvisor.failures) + " |");
    Line(out, "| floor | " + N(static_cast<long long>(floorStart.count)) + " | " + F(floorStart.median, 0) + " | " +
                  F(floorStart.min, 0) + " | " + F(floorStart.max, 0) + " | " + N(r.startFloor.failures) + " |");
    Line(out, "| ratio | | " + Ratio(start.median, floorStart.median) + " | | | |");
    Line(out, "");
    Line(out, "Tabvisor's panel first showed " + F(shown.median, 0) + " ms after CreateProcess (median); it hides itself about 50 ms later, by design.");
    const Summary second = Summarise(r.startTabvisor.secondStartMs);
    Line(out, "");
    Line(out, "A second start beside the waiting one ended " + F(second.median, 0) + " ms after CreateProcess (median; slowest " +
                  F(second.max, 0) + " ms, " + N(r.startTabvisor.secondStartFailures) +
                  " failures), having shown the running one's panel and pages.");
    Line(out, "");
}

void SizesSection(std::string& out, const RunReport& r)
{
    Line(out, "#### " + Build(r) + "Sizes (KiB)");
    Line(out, "");
    Line(out, "| file | as built (with symbols) | stripped | resources in it |");
    Line(out, "|---|---|---|---|");
    for (const FileSize& f : r.sizes)
        Line(out, "| " + Narrow(f.name) + " | " + KiB(f.bytes) + " | " + KiB(f.strippedBytes) + " | " + KiB(f.resourceBytes) + " |");
}

} // namespace

std::string ResultsMarkdown(const RunReport& r, const RunReport* other)
{
    std::string out;
    Line(out, "Command: `" + r.command + "`. Run " + r.when + " under " + r.wineVersion + " on " + r.machine +
                  "; load average " + r.loadBefore + " before and " + r.loadAfter + " after; the run took " +
                  F(r.minutes, 1) + " minutes. Figures are for the " + r.build + " build unless a heading names " +
                  (other != nullptr ? "the " + other->build + " build." : "another."));
    Line(out, "");
    GoalsSection(out, r);
    LatencySection(out, r);
    KeyLatencySection(out, r);
    IdleSection(out, r);
    HookSection(out, r);
    MemorySection(out, r);
    CyclesSection(out, r);
    StartupSection(out, r);
    SizesSection(out, r);
    if (other != nullptr) {
        Line(out, "");
        Line(out, "The " + other->build + " build, in the same run: sizes, start-up, memory after start and idle, "
                  "each beside a floor built for " + other->build + " (idle measured at the same time as the " +
                  r.build + " build's).");
        Line(out, "");
        GoalsSection(out, *other);
        IdleSection(out, *other);
        MemorySection(out, *other);
        StartupSection(out, *other);
        SizesSection(out, *other);
    }
    return out;
}

std::string SummaryMarkdown(const RunReport& r, const RunReport* other)
{
    std::string out;
    Line(out, "Run " + r.when + ", load average " + r.loadBefore + " before and " + r.loadAfter + " after.");
    Line(out, "");
    Line(out, "| build | goal | measured | verdict |");
    Line(out, "|---|---|---|---|");
    for (const RunReport* report : {&r, other})
        if (report != nullptr)
            for (const Goal& g : Goals(*report))
                Line(out, "| " + report->build + " | " + g.what + " | " + g.measured + " | " + g.verdict + " |");
    return out;
}
