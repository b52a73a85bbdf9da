// The benchmark driver: measures Tabvisor next to the floor from outside, as a user and the
// tablet's driver meet it (real key and mouse input from this process), and writes the results
// as Markdown. Run by bench/run.sh, which builds everything and gives it a display and a prefix.
//
//   bench_driver --results FILE --summary FILE [--presses 50] [--cycles 1000] [--idle-seconds 60]
//                [--starts 5] [--keys 200] [--programs-dir DIR] [--slow-programs-dir DIR]
//                [--wine-version TEXT] [--command TEXT] [--deadline-seconds 570]
//                [--x86-programs-dir DIR --x86-built-dir DIR]
// With the slow folder (Tabvisor beside test libraries whose calls take 60 ms), another
// program's keys are measured beside that Tabvisor too.
// With the x86 folders, the x86 build (with its own floor) is measured too: sizes, start-up and
// memory, and idle at the same time as the x64 build.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>
#include <string>

#include "Phases.h"
#include "Report.h"

namespace {

struct Options {
    std::wstring results;
    std::wstring summary;
    std::wstring programsDir;
    std::wstring x86ProgramsDir;  // stripped x86 programs, as shipped
    std::wstring x86BuiltDir;     // the x86 tree's bin, as built
    std::wstring slowProgramsDir; // Tabvisor beside the slow test libraries
    std::string wineVersion = "Wine";
    std::string command = "bench/run.sh";
    int presses = 50;
    int cycles = 1000;
    int idleSeconds = 60;
    int starts = 5;
    int keys = 200;
    int deadlineSeconds = 570;
};

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

bool Parse(int argc, wchar_t** argv, Options& o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring name = argv[i];
        const std::wstring value = argv[i + 1];
        if (name == L"--results") o.results = value;
        else if (name == L"--summary") o.summary = value;
        else if (name == L"--programs-dir") o.programsDir = value;
        else if (name == L"--x86-programs-dir") o.x86ProgramsDir = value;
        else if (name == L"--x86-built-dir") o.x86BuiltDir = value;
        else if (name == L"--slow-programs-dir") o.slowProgramsDir = value;
        else if (name == L"--keys") o.keys = _wtoi(value.c_str());
        else if (name == L"--wine-version") o.wineVersion = Narrow(value);
        else if (name == L"--command") o.command = Narrow(value);
        else if (name == L"--presses") o.presses = _wtoi(value.c_str());
        else if (name == L"--cycles") o.cycles = _wtoi(value.c_str());
        else if (name == L"--idle-seconds") o.idleSeconds = _wtoi(value.c_str());
        else if (name == L"--starts") o.starts = _wtoi(value.c_str());
        else if (name == L"--deadline-seconds") o.deadlineSeconds = _wtoi(value.c_str());
        else return false;
    }
    return (argc % 2) == 1 && !o.results.empty() && o.presses > 0 && o.cycles > 0 && o.idleSeconds > 0 && o.starts > 0 && o.keys > 0 &&
           o.x86ProgramsDir.empty() == o.x86BuiltDir.empty();
}

void Progress(const char* text)
{
    std::fprintf(stderr, "bench: %s\n", text);
    std::fflush(stderr);
}

// The whole run has a deadline: past it the driver ends, and its job ends every program it started.
DWORD WINAPI Watchdog(void* seconds)
{
    ::Sleep(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(seconds)) * 1000);
    std::fprintf(stderr, "bench: deadline passed, giving up\n");
    std::fflush(stderr);
    ::ExitProcess(3);
}

long long FileBytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The raw size of the PE file's resource section.
long long ResourceBytes(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    std::string head(64 * 1024, '\0');
    DWORD got = 0;
    ::ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
    ::CloseHandle(file);
    head.resize(got);
    if (head.size() < sizeof(IMAGE_DOS_HEADER))
        return -1;
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, head.data(), sizeof(dos));
    const size_t nt = static_cast<size_t>(dos.e_lfanew);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || nt + sizeof(IMAGE_NT_HEADERS64) > head.size())
        return -1;
    IMAGE_NT_HEADERS64 headers;
    std::memcpy(&headers, head.data() + nt, sizeof(headers));
    size_t section = nt + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + headers.FileHeader.SizeOfOptionalHeader;
    for (int i = 0; i < headers.FileHeader.NumberOfSections; ++i, section += sizeof(IMAGE_SECTION_HEADER)) {
        if (section + sizeof(IMAGE_SECTION_HEADER) > head.size())
            return -1;
        IMAGE_SECTION_HEADER s;
        std::memcpy(&s, head.data() + section, sizeof(s));
        if (std::strncmp(reinterpret_cast<const char*>(s.Name), ".rsrc", 8) == 0)
            return s.SizeOfRawData;
    }
    return 0;
}

std::vector<FileSize> Sizes(const std::wstring& builtDir, const std::wstring& programsDir)
{
    std::vector<FileSize> sizes;
    for (const wchar_t* name : {L"Tabvisor.exe", L"WINIO.dll", L"PM.dll", L"common.dll", L"bench_floor.exe"}) {
        FileSize f;
        f.name = name;
        const std::wstring built = builtDir + L"\\" + name;
        f.bytes = FileBytes(built);
        if (!programsDir.empty())
            f.strippedBytes = FileBytes(programsDir + L"\\" + name);
        f.resourceBytes = ResourceBytes(built);
        sizes.push_back(f);
    }
    return sizes;
}

std::vector<HookFigures> ParseHook(const std::string& output)
{
    std::vector<HookFigures> figures;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, '\t'))
            fields.push_back(cell);
        if (fields.size() != 11 || fields[0] != "hook")
            continue;
        HookFigures h;
        h.kind = fields[1];
        h.calls = std::atoi(fields[2].c_str());
        double* values[] = {&h.tabvisorMedianNs, &h.tabvisorP99Ns, &h.floorMedianNs, &h.floorP99Ns,
                            &h.tabvisorWholeMedianNs, &h.tabvisorWholeP99Ns, &h.floorWholeMedianNs, &h.floorWholeP99Ns};
        for (size_t i = 0; i < 8; ++i)
            *values[i] = std::atof(fields[3 + i].c_str());
        figures.push_back(h);
    }
    return figures;
}

// The counters of the simulated tablet that the cycles should have moved.
std::string TabletCounters(const std::string& status)
{
    std::string picked;
    std::istringstream lines(status);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        for (const char* field : {"switches=", "brightness_sets=", "volume_writes=", "ec_writes="})
            if (line.rfind(field, 0) == 0)
                picked += (picked.empty() ? "" : ", ") + ("`" + line + "`");
    }
    return picked;
}

std::string LoadAverage()
{
    std::string text = ReadUnixFile("/proc/loadavg");
    const size_t third = text.find(' ', text.find(' ', text.find(' ') + 1) + 1);
    return third == std::string::npos ? "n/a" : text.substr(0, third);
}

std::string Machine()
{
    const std::string cpuinfo = ReadUnixFile("/proc/cpuinfo");
    std::string model = "an unknown CPU";
    const size_t at = cpuinfo.find("model name");
    if (at != std::string::npos) {
        const size_t colon = cpuinfo.find(':', at);
        model = cpuinfo.substr(colon + 2, cpuinfo.find('\n', colon) - colon - 2);
    }
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return std::to_string(info.dwNumberOfProcessors) + " cores of " + model + " (shared with other work)";
}

bool WriteFile(const std::wstring& path, const std::string& text)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: bench_driver --results FILE [--summary FILE] [--presses N] [--cycles N] "
                             "[--idle-seconds N] [--starts N] [--keys N] [--programs-dir DIR] [--slow-programs-dir DIR] "
                             "[--wine-version TEXT] "
                             "[--command TEXT] [--deadline-seconds N] [--x86-programs-dir DIR --x86-built-dir DIR]\n");
        return 2;
    }
    if (!o.programsDir.empty())
        SetProgramsFolder(o.programsDir);
    HANDLE watchdog = ::CreateThread(nullptr, 0, Watchdog, reinterpret_cast<void*>(static_cast<ULONG_PTR>(o.deadlineSeconds)), 0, nullptr);
    if (watchdog != nullptr)
        ::CloseHandle(watchdog);

    const TargetKind tabvisor{L"Tabvisor", L"Tabvisor.exe", L"Tabvisor", true, true, true, {}, true, {}};
    const TargetKind floor{L"floor", L"bench_floor.exe", L"Tabvisor bench floor", false, false, true, {}, false, {}};
    const TargetKind tabvisorCounted{L"Tabvisor", L"bench_tabvisor_counted.exe", L"Tabvisor", true, true, true, {}, false, {}};
    const TargetKind floorCounted{L"floor", L"bench_floor_counted.exe", L"Tabvisor bench floor", false, false, true, {}, false, {}};
    const TargetKind zeroFloor{L"zero floor", L"bench_zero_floor.exe", L"Tabvisor bench zero floor", false, false, true, {},
                               false, {}};
    const TargetKind zeroFloorCounted{L"zero floor", L"bench_zero_floor_counted.exe", L"Tabvisor bench zero floor",
                                      false, false, true, {}, false, {}};
    // Tabvisor beside a PM.dll and a common.dll whose every call takes 60 ms, answering sanely.
    const TargetKind slowTabvisor{L"Tabvisor, 60 ms libraries", L"Tabvisor.exe", L"Tabvisor", true, true, true,
                                  o.slowProgramsDir, false,
                                  {{L"TABVISOR_FAKE_DELAY_MS", L"60"}, {L"TABVISOR_FAKE_LEVEL", L"3"},
                                   {L"TABVISOR_FAKE_VOLUME", L"0.5"}, {L"TABVISOR_FAKE_VOLUME_RESULT", L"0"},
                                   {L"TABVISOR_FAKE_SET_RESULT", L"1"}, {L"TABVISOR_FAKE_TASK_RESULT", L"0"}}};
    const TargetKind tabvisorCountedSystem{L"Tabvisor, system backends", L"bench_tabvisor_counted.exe", L"Tabvisor",
                                           true, true, false, {}, false, {}};
    // The same programs of the x86 build, from its folder.
    auto x86 = [&](TargetKind kind) {
        kind.folder = o.x86ProgramsDir;
        return kind;
    };
    const bool withX86 = !o.x86ProgramsDir.empty();

    RunReport report;
    RunReport report86;
    report86.build = "x86";
    report86.basic = true;
    report.command = o.command;
    report.wineVersion = o.wineVersion;
    report.machine = Machine();
    report.loadBefore = LoadAverage();
    report.idleSeconds = o.idleSeconds;
    {
        char when[64];
        const std::time_t now = std::time(nullptr);
        std::strftime(when, sizeof(when), "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
        report.when = when;
    }
    const LONGLONG begin = Now();
    {
        // The loops stop a minute and a half before the hard deadline, leaving time for the
        // floor's cycles and the writing.
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        SetSoftDeadline(begin + frequency.QuadPart * std::max(o.deadlineSeconds - 90, 30));
    }

    Progress("sizes");
    report.sizes = Sizes(DriverFolder(), o.programsDir);
    if (withX86)
        report86.sizes = Sizes(o.x86BuiltDir, o.x86ProgramsDir);

    Progress("hook calls, in-process");
    DWORD hookExit = 1;
    report.hook = ParseHook(RunAndCapture(L"bench_hook.exe", L"", 120000, &hookExit));
    report.hookRan = hookExit == 0 && !report.hook.empty();

    Progress("start-up");
    for (int i = 0; i < o.starts; ++i) {
        MeasureOneStart(tabvisor, report.startTabvisor);
        MeasureOneStart(floor, report.startFloor);
        if (withX86) {
            MeasureOneStart(x86(tabvisor), report86.startTabvisor);
            MeasureOneStart(x86(floor), report86.startFloor);
        }
    }

    Progress("hotkey latency, Tabvisor and the floor in turn");
    constexpr int kLatencyBlocks = 5;
    for (int block = 0; block < kLatencyBlocks; ++block) {
        const int presses = o.presses / kLatencyBlocks + (block < o.presses % kLatencyBlocks ? 1 : 0);
        MeasureLatencyBlock(tabvisor, presses, report.latencyTabvisor);
        MeasureLatencyBlock(floor, presses, report.latencyFloor);
    }

    Progress("another program's keys, beside each case in turn");
    {
        struct KeyCase {
            const wchar_t* label;
            const TargetKind* kind;
            bool shown;
        };
        std::vector<KeyCase> cases = {{L"no Tabvisor", nullptr, false},
                                      {L"zero floor (a hook that only posts), hidden", &zeroFloor, false},
                                      {L"Tabvisor, stand-ins, hidden", &tabvisor, false},
                                      {L"Tabvisor, stand-ins, shown", &tabvisor, true}};
        if (!o.slowProgramsDir.empty()) {
            cases.push_back({L"Tabvisor, 60 ms PM.dll and common.dll, hidden", &slowTabvisor, false});
            cases.push_back({L"Tabvisor, 60 ms PM.dll and common.dll, shown", &slowTabvisor, true});
        }
        report.keyLatency.resize(cases.size());
        constexpr int kKeyBlocks = 4;
        for (int block = 0; block < kKeyBlocks; ++block) {
            const int keys = o.keys / kKeyBlocks + (block < o.keys % kKeyBlocks ? 1 : 0);
            for (size_t i = 0; i < cases.size(); ++i) {
                report.keyLatency[i].label = cases[i].label;
                MeasureKeyLatencyBlock(cases[i].kind, cases[i].shown, keys, report.keyLatency[i]);
            }
        }
    }

    Progress("idle, all at once");
    {
        const std::vector<TargetKind> kinds{floorCounted, zeroFloorCounted, tabvisorCounted, tabvisorCountedSystem};
        std::vector<TargetKind> idle = kinds;
        if (withX86)
            for (const TargetKind& kind : kinds)
                idle.push_back(x86(kind));
        std::vector<IdleResult> results = MeasureIdle(idle, o.idleSeconds);
        for (size_t i = 0; i < results.size(); ++i)
            (i < kinds.size() ? report.idle : report86.idle).push_back(results[i]);
        for (RunReport* r : {&report, &report86})
            if (r->idle.size() > 2)
                r->idle[2].label = L"Tabvisor, simulated tablet";
    }
    report86.idleSeconds = o.idleSeconds;

    // The floor's cycles first: they are quick, and Tabvisor's may be cut short by the deadline.
    Progress("show/hide cycles: floor");
    report.cyclesFloor = MeasureCycles(floorCounted, o.cycles);
    Progress("show/hide cycles: Tabvisor");
    RunAndCapture(L"tabsim.exe", L"reset", 30000);
    report.cyclesTabvisor = MeasureCycles(tabvisorCounted, o.cycles);
    report.tabletAfterCycles = TabletCounters(RunAndCapture(L"tabsim.exe", L"status", 30000));

    report.loadAfter = LoadAverage();
    report.minutes = MsSince(begin) / 60000.0;
    report86.when = report.when;
    report86.loadBefore = report.loadBefore;
    report86.loadAfter = report.loadAfter;
    const RunReport* other = withX86 ? &report86 : nullptr;
    bool written = WriteFile(o.results, ResultsMarkdown(report, other));
    if (!o.summary.empty())
        written = WriteFile(o.summary, SummaryMarkdown(report, other)) && written;
    Progress(written ? "done" : "could not write the results");
    return written ? 0 : 1;
}
