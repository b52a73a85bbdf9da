// A thread that runs queued jobs one after another, in the order they were queued, inside the
// multithreaded COM apartment. Used for slow system calls a caller must not wait for.
#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace tabvisor {

class BackgroundQueue {
public:
    // Starts the thread. The object must live until the process ends (the thread is never
    // joined); create it with new and keep it.
    BackgroundQueue();
    BackgroundQueue(const BackgroundQueue&) = delete;
    BackgroundQueue& operator=(const BackgroundQueue&) = delete;

    void Post(std::function<void()> job);

private:
    void Run();

    std::mutex m_guard;
    std::condition_variable m_jobArrived;
    std::deque<std::function<void()>> m_jobs;
};

} // namespace tabvisor
