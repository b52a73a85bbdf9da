// The measurements. Every wait is bounded; a program that does not answer counts as a failure
// in the figures and is ended, never waited for.
#include "Phases.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "Input.h"

namespace {

constexpr int kCloseButtonId = 1007;   // the panel's close mark, and the floor's close button
constexpr int kBrightnessSliderId = 1014;
constexpr int kVolumeSliderId = 1012;
constexpr int kFirstSwitchId = 1004;   // four device buttons, 1004 to 1007
constexpr DWORD kShowTimeoutMs = 2000;
constexpr POINT kRestingPointer{2, 2};  // off every window of the programs

LONGLONG g_softDeadline = 0;

bool WaitUntil(Target& target, bool (Target::*condition)() const, bool wanted, DWORD timeoutMs)
{
    const LONGLONG start = Now();
    while (((target.*condition)()) != wanted) {
        if (MsSince(start) > timeoutMs || !target.Running())
            return false;
        ::Sleep(1);
    }
    return true;
}

// The hotkey, then a close look until the main window shows, then until the pages show. The
// look at the main window is a tight loop (each look is a round trip to the wineserver, some
// tens of microseconds); pages are looked at in the same loop, the last-shown page first.
struct PressTiming {
    bool shown = false;
    bool pagesShown = false;
    double panelMs = -1;
    double firstPageMs = -1;
    double pagesMs = -1;
    double sendInputMs = -1;
    long looks = 0;
};

PressTiming PressAndTime(Target& target)
{
    PressTiming timing;
    // The key's up follows once everything is visible (or given up on), as a finger lifts long
    // after the press: sent together, the up waits in the program's hook for whatever the program
    // does right after the down, and SendInput would time that too.
    struct ReleaseAfterwards {
        ~ReleaseAfterwards() { SendHotkey(false); }
    } release;
    const LONGLONG start = Now();
    if (!SendHotkey(true))
        return timing;
    timing.sendInputMs = MsSince(start);
    while (!target.MainVisible()) {
        ++timing.looks;
        if (MsSince(start) > kShowTimeoutMs)
            return timing;
    }
    timing.panelMs = MsSince(start);
    timing.shown = true;
    if (!target.Kind().hasPages)
        return timing;
    // The brightness page is shown first and the device-switch page last.
    while (!::IsWindowVisible(target.PageWindow(Page::Brightness))) {
        if (MsSince(start) > kShowTimeoutMs)
            return timing;
    }
    timing.firstPageMs = MsSince(start);
    while (!target.AllPagesVisible()) {
        if (MsSince(start) > kShowTimeoutMs)
            return timing;
    }
    timing.pagesMs = MsSince(start);
    timing.pagesShown = true;
    return timing;
}

// A click on the close button; if that did not hide everything (a click lost or blocked), the
// same command the button sends. Then the pointer rests away from the windows.
bool HideByCloseButton(Target& target, int& fallbacks)
{
    HWND close = ::GetDlgItem(target.Main(), kCloseButtonId);
    bool hidden = false;
    if (close != nullptr && ClickOn(close, CentreOf(close)))
        hidden = WaitUntil(target, &Target::AnythingVisible, false, 1500);
    if (!hidden) {
        ++fallbacks;
        ::PostMessageW(target.Main(), WM_COMMAND, MAKEWPARAM(kCloseButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(close));
        hidden = WaitUntil(target, &Target::AnythingVisible, false, 1500);
    }
    MouseMoveTo(kRestingPointer);
    return hidden;
}

// The X server's own pointer, through xdotool: X input is hit-tested by the X server, which lets
// the clicks through where a colour-keyed window is transparent. Under Wine, SendInput is
// hit-tested by window rectangles, so a colour-keyed window over a slider takes its clicks.
constexpr wchar_t kXdotool[] = L"/usr/bin/xdotool";

bool HaveXdotool() { return ::GetFileAttributesW(kXdotool) != INVALID_FILE_ATTRIBUTES; }

bool XDrag(POINT from, POINT to)
{
    // The X server takes the events in order; the one pause lets the pointer's arrival reach the
    // program before the press, as a hand would.
    std::wstring command = std::wstring(kXdotool) + L" mousemove " + std::to_wstring(from.x) + L" " +
                           std::to_wstring(from.y) + L" sleep 0.002 mousedown 1";
    constexpr int kSteps = 4;
    for (int step = 1; step <= kSteps; ++step)
        command += L" mousemove " + std::to_wstring(from.x + (to.x - from.x) * step / kSteps) + L" " +
                   std::to_wstring(from.y);
    command += L" mouseup 1";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Wine starts a Unix program by its path; its handle does not wait for it, so the caller
    // waits for the slider to move instead.
    if (!::CreateProcessW(kXdotool, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return true;
}

LRESULT Ask(HWND hwnd, UINT message)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(hwnd, message, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer))
        return -1;
    return static_cast<LRESULT>(answer);
}

// Drags a trackbar's thumb a quarter of the range in from one end, alternately from the other.
// The thumb's place follows the trackbar's geometry (channel from x 8, thumb 11 x 21 at y 2, its
// left edge from x 8 at the minimum to x 133 at the maximum). With SendInput where the slider is
// the window at the thumb, else as X input. 1: moved, 0: did not, -1: could not be sent.
int DragSlider(HWND slider, bool towardsMinimum, int& xDrags)
{
    const LRESULT minimum = Ask(slider, TBM_GETRANGEMIN);
    const LRESULT maximum = Ask(slider, TBM_GETRANGEMAX);
    const LRESULT position = Ask(slider, TBM_GETPOS);
    if (maximum <= minimum || position < minimum || position > maximum)
        return 0;
    RECT rect{};
    ::GetWindowRect(slider, &rect);
    const auto thumbCentre = [&](LRESULT value) {
        return static_cast<LONG>(rect.left + 8 + (value - minimum) * 125 / (maximum - minimum) + 5);
    };
    const LRESULT target = towardsMinimum ? minimum + (maximum - minimum) / 4 : maximum - (maximum - minimum) / 4;
    const LONG y = rect.top + 12;
    const POINT from{thumbCentre(position), y};
    const POINT to{thumbCentre(target), y};
    if (!DragOn(slider, from, to)) {
        if (!HaveXdotool() || !XDrag(from, to))
            return -1;
        ++xDrags;
    }
    // Moved, and the drag over: the button up and the slider's capture released, so the next
    // click is not taken into a drag still going on.
    const DWORD thread = ::GetWindowThreadProcessId(slider, nullptr);
    const auto dragOver = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0 && ::GetGUIThreadInfo(thread, &info) &&
               info.hwndCapture == nullptr;
    };
    bool moved = false;
    const LONGLONG start = Now();
    while (MsSince(start) < 1000) {
        moved = moved || Ask(slider, TBM_GETPOS) != position;
        if (moved && dragOver())
            return 1;
        ::Sleep(1);
    }
    return moved ? 1 : 0;
}

// Memory first: the count's own scan would otherwise show in it.
Snapshot TakeSnapshot(Target& target)
{
    Snapshot snapshot;
    snapshot.memory = target.Sample();
    snapshot.counted = target.Count(snapshot.objects);
    return snapshot;
}

} // namespace

void SetSoftDeadline(LONGLONG when) { g_softDeadline = when; }

bool PastSoftDeadline() { return g_softDeadline != 0 && Now() > g_softDeadline; }

namespace {

// Starts the program again beside the waiting one and times it from CreateProcess to its end;
// the running one must show its panel for it. Nothing when it did not end within 10 s (it is
// ended then) or the panel did not come up; the panel is hidden again afterwards.
std::optional<double> TimeSecondStart(Target& running)
{
    Target second(running.Kind());
    const LONGLONG start = Now();
    if (!second.Start() || ::WaitForSingleObject(second.Process(), 10000) != WAIT_OBJECT_0)
        return std::nullopt;
    const double ms = MsSince(start);
    const bool shown = WaitUntil(running, &Target::AllPagesVisible, true, 2000);
    int fallbacks = 0;
    HideByCloseButton(running, fallbacks);
    return shown ? std::optional<double>(ms) : std::nullopt;
}

} // namespace

void MeasureOneStart(const TargetKind& kind, StartupResult& result)
{
    result.label = kind.label;
    Target target(kind);
    if (!target.Start() || !target.WaitReady(30000)) {
        ++result.failures;
        return;
    }
    result.startupMs.push_back(target.StartupMs());
    if (kind.showsAtStart)
        result.firstShownMs.push_back(target.FirstShownMs());
    ::Sleep(1000);
    result.memory.push_back(target.Sample());
    result.privateByMapping = PrivateByMapping(target.UnixPid());
    if (kind.onePerSession) {
        if (const std::optional<double> ms = TimeSecondStart(target))
            result.secondStartMs.push_back(*ms);
        else
            ++result.secondStartFailures;
    }
    target.Close();
}

void MeasureLatencyBlock(const TargetKind& kind, int presses, LatencyResult& result)
{
    result.label = kind.label;
    Target target(kind);
    if (!target.Start() || !target.WaitReady(30000) || (kind.hasPages && !target.AllPagesFound()))
        return;
    ++result.starts;
    MouseMoveTo(kRestingPointer);
    ::Sleep(500);
    Lcg spacing(12345u + static_cast<unsigned>(result.starts));
    for (int press = -1; press < presses && target.Running() && !PastSoftDeadline(); ++press) {
        // Presses land at spread-out moments of the programs' 100 ms timers.
        ::Sleep(120 + spacing.Next(100));
        const PressTiming timing = PressAndTime(target);
        if (!timing.shown || (kind.hasPages && !timing.pagesShown)) {
            ++result.misses;
        } else if (press < 0) {
            result.warmupPanelMs.push_back(timing.panelMs);
            if (kind.hasPages)
                result.warmupPagesMs.push_back(timing.pagesMs);
        } else {
            result.panelMs.push_back(timing.panelMs);
            if (kind.hasPages) {
                result.pagesMs.push_back(timing.pagesMs);
                result.firstPageMs.push_back(timing.firstPageMs);
            }
            result.sendInputMs.push_back(timing.sendInputMs);
            if (timing.looks == 0)
                ++result.visibleAtFirstLook;
        }
        ::Sleep(30);
        if (!HideByCloseButton(target, result.closeFallbacks))
            ++result.misses;
    }
    target.Close();
}

std::vector<IdleResult> MeasureIdle(const std::vector<TargetKind>& kinds, int seconds)
{
    std::vector<IdleResult> results(kinds.size());
    std::vector<std::unique_ptr<Target>> targets;
    for (size_t i = 0; i < kinds.size(); ++i) {
        results[i].label = kinds[i].label;
        targets.push_back(std::make_unique<Target>(kinds[i]));
        targets.back()->Start();
    }
    std::vector<bool> ready(kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i)
        ready[i] = targets[i]->WaitReady(30000) && targets[i]->UnixPid() != 0;
    // Settle until start-up work is over: the boot task, the first library calls, and the system
    // backends' workers, which stay awake 5 s after the last call and one resync period more.
    ::Sleep(12000);

    // The program's own CPU time is read before the first /proc sample and after the last, so
    // the two windows match but for the counter's own few microseconds.
    struct Mark {
        bool timed = false;
        ObjectCounts times;
        ProcessSample sample;
    };
    std::vector<Mark> before(kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i) {
        before[i].timed = targets[i]->Times(before[i].times);
        before[i].sample = targets[i]->Sample();
    }
    const LONGLONG start = Now();
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    const double elapsed = MsSince(start) / 1000.0;
    for (size_t i = 0; i < kinds.size(); ++i) {
        Mark after;
        after.sample = targets[i]->Sample();
        after.timed = targets[i]->Times(after.times);
        IdleResult& r = results[i];
        r.seconds = elapsed;
        r.ok = ready[i] && targets[i]->Running() && before[i].sample.ok && after.sample.ok && !targets[i]->AnythingVisible();
        if (before[i].timed && after.timed)
            r.processTimesMs = static_cast<double>(after.times.cpuTime100ns - before[i].times.cpuTime100ns) / 1e4;
        r.cpuMs = static_cast<double>(after.sample.CpuNs() - before[i].sample.CpuNs()) / 1e6;
        r.voluntary = static_cast<double>(after.sample.Voluntary() - before[i].sample.Voluntary());
        r.involuntary = static_cast<double>(after.sample.Involuntary() - before[i].sample.Involuntary());
        r.timeslices = static_cast<double>(after.sample.Timeslices() - before[i].sample.Timeslices());
        r.threads = static_cast<int>(after.sample.threads.size());
        std::vector<std::pair<std::uint64_t, int>> perThread;
        for (const ThreadSample& t : after.sample.threads) {
            std::uint64_t earlier = 0;
            for (const ThreadSample& b : before[i].sample.threads)
                if (b.tid == t.tid)
                    earlier = b.voluntary;
            perThread.emplace_back(t.voluntary - earlier, t.tid == targets[i]->UnixPid() ? 0 : 1);
        }
        std::sort(perThread.begin(), perThread.end(), std::greater<>());
        for (const auto& [count, other] : perThread) {
            if (!r.byThread.empty())
                r.byThread += ", ";
            r.byThread += std::to_string(count) + (other == 0 ? " (main)" : "");
        }
    }
    for (auto& target : targets)
        target->Close();
    return results;
}

CyclesResult MeasureCycles(const TargetKind& kind, int cycles)
{
    CyclesResult result;
    result.label = kind.label;
    result.cycles = cycles;
    result.earlyCycles = std::min(10, cycles);
    result.middleCycles = std::max(result.earlyCycles, cycles / 2);
    Target target(kind);
    if (!target.Start() || !target.WaitReady(30000) || (kind.hasPages && !target.AllPagesFound()))
        return result;
    result.started = true;
    MouseMoveTo(kRestingPointer);
    ::Sleep(1000);
    result.atStart = TakeSnapshot(target);

    HWND brightness = kind.hasPages ? ::GetDlgItem(target.PageWindow(Page::Brightness), kBrightnessSliderId) : nullptr;
    HWND volume = kind.hasPages ? ::GetDlgItem(target.PageWindow(Page::Volume), kVolumeSliderId) : nullptr;
    HWND switches[4] = {};
    for (int i = 0; i < 4 && kind.hasPages; ++i)
        switches[i] = ::GetDlgItem(target.PageWindow(Page::Switches), kFirstSwitchId + i);
    result.hasSliders = brightness != nullptr || volume != nullptr;
    result.hasSwitches = switches[0] != nullptr;

    const LONGLONG start = Now();
    int cycle = 0;
    for (; cycle < cycles && target.Running() && !PastSoftDeadline(); ++cycle) {
        LONGLONG step = Now();
        const auto lap = [&step](double& total) {
            const LONGLONG now = Now();
            total += TicksToMs(now - step);
            step = now;
        };
        const PressTiming timing = PressAndTime(target);
        bool complete = timing.shown && (!kind.hasPages || timing.pagesShown);
        lap(result.showMs);
        if (complete) {
            // One slider a cycle, each in turn, each towards one end and then the other.
            if (HWND slider = cycle % 2 == 0 ? brightness : volume) {
                const int moved = DragSlider(slider, cycle % 4 < 2, result.xDrags);
                if (moved > 0)
                    ++result.sliderMoves;
                else if (moved == 0)
                    ++result.sliderMisses;
                else
                    ++result.blockedClicks;
            }
            lap(result.dragMs);
            // Each switch in turn, so over eight cycles each goes on and off again.
            if (HWND button = switches[cycle % 4]) {
                if (ClickOn(button, CentreOf(button)))
                    ++result.switchClicks;
                else
                    ++result.blockedClicks;
            }
            lap(result.switchMs);
        }
        complete = HideByCloseButton(target, result.closeFallbacks) && complete;
        lap(result.hideMs);
        if (complete)
            ++result.completed;
        if (cycle + 1 == result.earlyCycles) {
            ::Sleep(500);
            result.early = TakeSnapshot(target);
        }
        if (cycle + 1 == result.middleCycles) {
            ::Sleep(500);
            result.middle = TakeSnapshot(target);
        }
    }
    result.seconds = MsSince(start) / 1000.0;
    result.cycles = cycle;
    ::Sleep(1000);
    result.atEnd = TakeSnapshot(target);
    target.Close();
    return result;
}

std::string RunAndCapture(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs, DWORD* exitCode)
{
    // Output goes through a temporary file: a console program's pipe could outlive the wait.
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    wchar_t path[MAX_PATH + 1] = {};
    ::GetTempFileNameW(folder, L"bch", 0, path);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE file = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    std::string output;
    if (file == INVALID_HANDLE_VALUE)
        return output;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = nullptr;
    std::wstring command = L"\"" + DriverFolder() + L"\\" + exe + L"\" " + arguments;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        if (::WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            ::TerminateProcess(info.hProcess, 1);
            ::WaitForSingleObject(info.hProcess, 5000);
        }
        if (exitCode != nullptr)
            ::GetExitCodeProcess(info.hProcess, exitCode);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
        ::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
            output.append(buffer, got);
    }
    ::CloseHandle(file);
    ::DeleteFileW(path);
    return output;
}
