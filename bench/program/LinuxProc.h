// What Linux knows about a Wine process, read through Wine's Z: drive: the Unix process behind a
// Windows process, its threads' CPU time and context switches, and its memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ThreadSample {
    int tid = 0;
    std::string name;
    std::uint64_t cpuNs = 0;        // schedstat: time on a CPU
    std::uint64_t timeslices = 0;   // schedstat: times it was put on a CPU
    std::uint64_t voluntary = 0;    // blocked and woken again
    std::uint64_t involuntary = 0;  // preempted
};

struct ProcessSample {
    bool ok = false;
    std::vector<ThreadSample> threads;
    std::uint64_t rssKb = 0;      // VmRSS: the working set
    std::uint64_t anonKb = 0;     // RssAnon
    std::uint64_t privateKb = 0;  // Private_Dirty: pages only this process has written (heap, stacks,
                                  // written data of its DLLs), its private bytes; without X shared memory
    std::uint64_t xshmKb = 0;     // Private_Dirty of System V shared memory: pictures Wine shares with
                                  // the X server (MIT-SHM), which the X server maps too
    std::uint64_t CpuNs() const;
    std::uint64_t Voluntary() const;
    std::uint64_t Involuntary() const;
    std::uint64_t Timeslices() const;
};

// The Unix process whose command line holds `tag`, or 0.
int FindUnixProcess(const std::string& tag);

ProcessSample SampleProcess(int unixPid);

// Private_Dirty per mapped file ("[anonymous]" for heap, stacks and other anonymous memory), in KiB.
std::vector<std::pair<std::string, std::uint64_t>> PrivateByMapping(int unixPid);

// The whole text of a file under /proc (or anywhere), empty when it cannot be read.
std::string ReadUnixFile(const std::string& unixPath);
