// /proc through Wine's Z: drive. Files are opened by their full path: Wine's own server opens
// them, so "self" would name the server, never this process.
#include "LinuxProc.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::uint64_t FieldKb(const std::string& text, const char* field)
{
    const size_t at = text.find(field);
    if (at == std::string::npos)
        return 0;
    return std::strtoull(text.c_str() + at + std::strlen(field), nullptr, 10);
}

std::vector<std::string> Entries(const std::string& unixFolder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((L"Z:" + Widen(unixFolder) + L"/*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (found.cFileName[0] >= L'0' && found.cFileName[0] <= L'9') {
            std::string name;
            for (const wchar_t* c = found.cFileName; *c != 0; ++c)
                name.push_back(static_cast<char>(*c));
            names.push_back(name);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

} // namespace

std::string ReadUnixFile(const std::string& unixPath)
{
    HANDLE file = ::CreateFileW((L"Z:" + Widen(unixPath)).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text;
    char buffer[8192];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        text.append(buffer, got);
    ::CloseHandle(file);
    return text;
}

int FindUnixProcess(const std::string& tag)
{
    for (const std::string& pid : Entries("/proc")) {
        std::string commandLine = ReadUnixFile("/proc/" + pid + "/cmdline");
        if (commandLine.find(tag) != std::string::npos)
            return std::atoi(pid.c_str());
    }
    return 0;
}

ProcessSample SampleProcess(int unixPid)
{
    ProcessSample sample;
    if (unixPid <= 0)
        return sample;
    const std::string root = "/proc/" + std::to_string(unixPid);
    for (const std::string& tid : Entries(root + "/task")) {
        const std::string task = root + "/task/" + tid;
        ThreadSample thread;
        thread.tid = std::atoi(tid.c_str());
        std::istringstream schedstat(ReadUnixFile(task + "/schedstat"));
        std::uint64_t waitNs = 0;
        if (!(schedstat >> thread.cpuNs >> waitNs >> thread.timeslices))
            continue;  // ended meanwhile
        const std::string status = ReadUnixFile(task + "/status");
        thread.voluntary = FieldKb(status, "\nvoluntary_ctxt_switches:");
        thread.involuntary = FieldKb(status, "\nnonvoluntary_ctxt_switches:");
        thread.name = ReadUnixFile(task + "/comm");
        while (!thread.name.empty() && (thread.name.back() == '\n' || thread.name.back() == '\r'))
            thread.name.pop_back();
        sample.threads.push_back(thread);
    }
    const std::string status = ReadUnixFile(root + "/status");
    sample.rssKb = FieldKb(status, "\nVmRSS:");
    sample.anonKb = FieldKb(status, "\nRssAnon:");
    for (const auto& [name, kb] : PrivateByMapping(unixPid)) {
        if (name.rfind("SYSV", 0) == 0)
            sample.xshmKb += kb;
        else
            sample.privateKb += kb;
    }
    sample.ok = !sample.threads.empty() && !status.empty();
    return sample;
}

std::vector<std::pair<std::string, std::uint64_t>> PrivateByMapping(int unixPid)
{
    std::vector<std::pair<std::string, std::uint64_t>> totals;
    if (unixPid <= 0)
        return totals;
    std::istringstream lines(ReadUnixFile("/proc/" + std::to_string(unixPid) + "/smaps"));
    std::string line;
    std::string current = "[anonymous]";
    while (std::getline(lines, line)) {
        // A mapping's first line: "start-end perms offset dev inode [path]".
        const size_t dash = line.find('-');
        if (dash != std::string::npos && dash > 0 && line.find(':') > dash &&
            line.find_first_not_of("0123456789abcdef") == dash) {
            std::istringstream fields(line);
            std::string range, perms, offset, device, inode, path;
            fields >> range >> perms >> offset >> device >> inode;
            std::getline(fields, path);
            path.erase(0, path.find_first_not_of(' '));
            current = path.empty() || path[0] == '[' ? "[anonymous]" : path.substr(path.find_last_of('/') + 1);
            continue;
        }
        if (line.rfind("Private_Dirty:", 0) != 0)
            continue;
        const std::uint64_t kb = std::strtoull(line.c_str() + 14, nullptr, 10);
        if (kb == 0)
            continue;
        auto found = std::find_if(totals.begin(), totals.end(), [&](const auto& t) { return t.first == current; });
        if (found == totals.end())
            totals.emplace_back(current, kb);
        else
            found->second += kb;
    }
    return totals;
}

std::uint64_t ProcessSample::CpuNs() const
{
    std::uint64_t total = 0;
    for (const ThreadSample& t : threads)
        total += t.cpuNs;
    return total;
}

std::uint64_t ProcessSample::Voluntary() const
{
    std::uint64_t total = 0;
    for (const ThreadSample& t : threads)
        total += t.voluntary;
    return total;
}

std::uint64_t ProcessSample::Involuntary() const
{
    std::uint64_t total = 0;
    for (const ThreadSample& t : threads)
        total += t.involuntary;
    return total;
}

std::uint64_t ProcessSample::Timeslices() const
{
    std::uint64_t total = 0;
    for (const ThreadSample& t : threads)
        total += t.timeslices;
    return total;
}
