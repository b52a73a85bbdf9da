// The job thread behind BackgroundQueue.
#include "BackgroundQueue.h"

#include "ModulePin.h"
#include "ComHandles.h"

#include <thread>

namespace tabvisor {

BackgroundQueue::BackgroundQueue()
{
    PinThisModule();
    std::thread([this] { Run(); }).detach();
}

void BackgroundQueue::Post(std::function<void()> job)
{
    {
        std::lock_guard lock(m_guard);
        m_jobs.push_back(std::move(job));
    }
    m_jobArrived.notify_one();
}

void BackgroundQueue::Run()
{
    HRESULT joined = E_FAIL;
    const auto apartment = afx::co_initialize(COINIT_MULTITHREADED, joined);
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_guard);
            m_jobArrived.wait(lock, [this] { return !m_jobs.empty(); });
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}

} // namespace tabvisor
