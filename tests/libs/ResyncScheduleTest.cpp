// When the system backends' workers read the system again, and when a read waits for them: on a
// period while calls come, asleep without a timeout once they stop, and after a quiet period a
// read answers at once only from a cache that notifications kept current.
#include "ResyncGate.h"
#include "ResyncSchedule.h"
#include "Handles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using tabvisor::ResyncGate;
using tabvisor::ResyncSchedule;

namespace {

constexpr DWORD kPeriod = 1000;
constexpr uint64_t kQuiet = ResyncSchedule::kKeepAwakeMs;
constexpr uint64_t kFreshWait = ResyncSchedule::kFreshReadWaitMs;
constexpr uint64_t kHours = 3 * 3600 * 1000;

// A schedule whose worker has read once, with or without notifications arriving, and then seen
// no call for hours.
ResyncSchedule AsleepAfterReading(bool notificationsArrive)
{
    ResyncSchedule schedule(0);
    if (notificationsArrive) schedule.OnNotificationsArrive();
    schedule.OnResynced(true);
    EXPECT_EQ(schedule.NextWaitMs(kHours, kPeriod), INFINITE);
    return schedule;
}

TEST(ResyncSchedule, TheWorkerResyncsOnItsPeriodWhileCallsComeAndSleepsWithoutATimeoutOnceTheyStop)
{
    ResyncSchedule schedule(1000); // the call that started the backend counts
    EXPECT_EQ(schedule.NextWaitMs(1000, kPeriod), kPeriod);
    EXPECT_EQ(schedule.NextWaitMs(1000 + kQuiet - 1, kPeriod), kPeriod);
    // A shown page's polls keep it going, however long it stays shown.
    uint64_t now = 1000;
    for (int poll = 0; poll < 1000; ++poll) {
        now += 100;
        EXPECT_FALSE(schedule.OnCall(now));
        ASSERT_EQ(schedule.NextWaitMs(now + 50, kPeriod), kPeriod);
    }
    EXPECT_EQ(schedule.NextWaitMs(now + kQuiet, kPeriod), INFINITE);
    // Asked again (a spurious wake-up), it stays asleep.
    EXPECT_EQ(schedule.NextWaitMs(now + kHours, kPeriod), INFINITE);
    // The first call wakes it, and only that one; then the period resumes.
    EXPECT_TRUE(schedule.OnCall(now + kHours));
    EXPECT_FALSE(schedule.OnCall(now + kHours + 100));
    EXPECT_EQ(schedule.NextWaitMs(now + kHours + 100, kPeriod), kPeriod);
    // Something else that wakes it (a device change, say) is one round, not a reason to stay up.
    EXPECT_EQ(schedule.NextWaitMs(now + 2 * kHours, kPeriod), INFINITE);
    schedule.OnWorkerWoken();
    EXPECT_FALSE(schedule.OnCall(now + 2 * kHours - 1)) << "already awake: not woken twice";
    EXPECT_EQ(schedule.NextWaitMs(now + 3 * kHours, kPeriod), INFINITE);
}

TEST(ResyncSchedule, ReadsNeverWaitWhileTheWorkerIsAwake)
{
    ResyncSchedule schedule(0);
    // Before the first reading a read answers at once (E_PENDING, or the stable level).
    EXPECT_FALSE(schedule.OnCall(0));
    EXPECT_EQ(schedule.FreshReadWaitMs(0), 0u);
    // Without notifications the value is at most one period old while the worker is awake.
    schedule.OnResynced(true);
    for (uint64_t now = 100; now <= 3 * kQuiet; now += 100) {
        ASSERT_FALSE(schedule.OnCall(now));
        ASSERT_EQ(schedule.FreshReadWaitMs(now), 0u);
        if (now % kPeriod == 0) {
            ASSERT_EQ(schedule.NextWaitMs(now, kPeriod), kPeriod);
        }
    }
}

TEST(ResyncSchedule, AfterAQuietPeriodOnlyACacheNotificationsKeptIsAnsweredAtOnce)
{
    auto covered = AsleepAfterReading(true);
    EXPECT_TRUE(covered.OnCall(kHours));
    EXPECT_EQ(covered.FreshReadWaitMs(kHours), 0u);

    auto uncovered = AsleepAfterReading(false);
    EXPECT_TRUE(uncovered.OnCall(kHours));
    EXPECT_EQ(uncovered.FreshReadWaitMs(kHours), kFreshWait);
    // The reads that follow share that one deadline: a slow reading holds the panel once, not
    // once per poll.
    EXPECT_FALSE(uncovered.OnCall(kHours + 40));
    EXPECT_EQ(uncovered.FreshReadWaitMs(kHours + 40), kFreshWait - 40);
    EXPECT_EQ(uncovered.FreshReadWaitMs(kHours + kFreshWait), 0u);
    EXPECT_EQ(uncovered.FreshReadWaitMs(kHours + kFreshWait + 100), 0u);

    // A reading ends the wait, a failed one too (nothing fresher is coming), but a failed one
    // vouches for nothing, notifications or not.
    auto failed = AsleepAfterReading(true);
    failed.OnResynced(false);
    EXPECT_EQ(failed.NextWaitMs(2 * kHours, kPeriod), INFINITE);
    EXPECT_TRUE(failed.OnCall(2 * kHours));
    EXPECT_EQ(failed.FreshReadWaitMs(2 * kHours), kFreshWait);
    failed.OnResynced(false);
    EXPECT_EQ(failed.FreshReadWaitMs(2 * kHours + 1), 0u);
}

TEST(ResyncSchedule, NotificationsLostMeanwhileMakeTheNextReadWaitUntilAReadingCoversAgain)
{
    auto schedule = AsleepAfterReading(true);
    schedule.OnNotificationsLost(); // the endpoint went away, or the event subscription broke
    // Back before the next reading, they cannot bring what was missed in between.
    schedule.OnNotificationsArrive();
    EXPECT_TRUE(schedule.OnCall(kHours));
    EXPECT_EQ(schedule.FreshReadWaitMs(kHours), kFreshWait);
    schedule.OnResynced(true);
    EXPECT_EQ(schedule.FreshReadWaitMs(kHours), 0u);
    // Covered again from that reading on: the next quiet period ends without a wait.
    EXPECT_EQ(schedule.NextWaitMs(2 * kHours, kPeriod), INFINITE);
    EXPECT_TRUE(schedule.OnCall(2 * kHours));
    EXPECT_EQ(schedule.FreshReadWaitMs(2 * kHours), 0u);
}

// --- the gate, with a worker thread -------------------------------------------------------------

// A clock the test moves, which notes when the worker thread has read it: the worker reads it
// and decides to sleep in one hold of the gate's lock, so a call made after the note finds it
// asleep.
struct TestClock {
    static inline std::atomic<uint64_t> now{0};
    static inline std::atomic<DWORD> workerThread{0};
    static inline std::atomic<bool> workerAsked{false};
    static uint64_t Read()
    {
        if (GetCurrentThreadId() == workerThread.load()) workerAsked.store(true);
        return now.load();
    }
};

// Waits for a state a thread will reach; a generous bound, so a broken gate fails, not hangs.
bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return condition();
}

TEST(ResyncGate, AWakeThatComesWhileTheWorkerIsBusyIsKeptForItsNextWait)
{
    // The clock stands still, so the worker stays awake on its period, here hours long.
    ResyncGate gate{&TestClock::Read};
    gate.Wake(); // a write queued while the worker applies the one before
    std::atomic<bool> returned{false};
    std::atomic<bool> slept{true};
    std::thread worker([&] {
        slept = gate.WaitForWork(static_cast<DWORD>(kHours));
        returned = true;
    });
    EXPECT_TRUE(Eventually([&] { return returned.load(); })) << "the write would wait a whole period";
    if (!returned) gate.Wake();
    worker.join();
    EXPECT_FALSE(slept) << "an awake worker's round is no end of a quiet period";
}

// A worker that reads once, sees no call for hours and falls asleep; once woken it holds its
// next reading (a slow WMI query, say) until the test lets it go.
class SleepingWorker : public ::testing::Test {
protected:
    void Start(bool notificationsArrive)
    {
        TestClock::workerAsked = false;
        if (notificationsArrive) m_gate.NotificationsArrive();
        m_worker = std::thread([this] {
            m_gate.Resynced(true);
            TestClock::now += kHours;
            TestClock::workerThread = GetCurrentThreadId();
            m_slept = m_gate.WaitForWork(kPeriod);
            m_woke = true;
            WaitForSingleObject(m_answer.get(), INFINITE);
            m_cache = 2;
            m_gate.Resynced(true);
        });
        ASSERT_TRUE(Eventually([] { return TestClock::workerAsked.load(); }));
    }

    // Runs a call and says whether it came back while the clock stood still; if not, the clock
    // moves past every deadline so that it does.
    bool ReturnsWithTheClockStill(const std::function<void()>& call)
    {
        std::atomic<bool> done{false};
        std::thread caller([&] {
            call();
            done = true;
        });
        const bool returned = Eventually([&] { return done.load(); });
        TestClock::now += kHours;
        caller.join();
        return returned;
    }

    // A page's read on a thread of its own: what it saw once the gate let it answer.
    void StartReader()
    {
        m_reader = std::thread([this] {
            m_gate.BeforeRead();
            m_seen = m_cache.load();
        });
    }
    int ReaderSaw()
    {
        m_reader.join();
        return m_seen;
    }

    void TearDown() override
    {
        // A test that failed before anything woke the worker must still end it.
        m_gate.Wake();
        SetEvent(m_answer.get());
        TestClock::now += kHours;
        if (m_reader.joinable()) m_reader.join();
        if (m_worker.joinable()) m_worker.join();
        TestClock::workerThread = 0;
    }

    ResyncGate m_gate{&TestClock::Read};
    afx::unique_handle m_answer{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> m_cache{1};
    std::atomic<bool> m_slept{false};
    std::atomic<bool> m_woke{false};
    std::atomic<int> m_seen{0};
    std::thread m_worker;
    std::thread m_reader;
};

TEST_F(SleepingWorker, ACoveredCacheAnswersAtOnceAndWakesTheWorker)
{
    Start(true);
    int seen = 0;
    EXPECT_TRUE(ReturnsWithTheClockStill([&] {
        m_gate.BeforeRead();
        seen = m_cache;
    }));
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(Eventually([&] { return m_woke.load(); }));
    EXPECT_TRUE(m_slept);
}

TEST_F(SleepingWorker, AnUncoveredCacheIsAnsweredWithTheWorkersFreshReading)
{
    Start(false);
    StartReader();
    ASSERT_TRUE(Eventually([&] { return m_woke.load(); })) << "the read wakes the worker";
    SetEvent(m_answer.get());
    EXPECT_EQ(ReaderSaw(), 2);
    EXPECT_TRUE(m_slept);
}

TEST_F(SleepingWorker, AWorkerThatDoesNotAnswerHoldsReadsOnlyUntilTheDeadline)
{
    Start(false);
    StartReader();
    ASSERT_TRUE(Eventually([&] { return m_woke.load(); }));
    TestClock::now += kFreshWait;
    EXPECT_EQ(ReaderSaw(), 1) << "the old value, the only one there is";
    // Past the deadline the next poll answers at once, and so do writes, which never wait.
    EXPECT_TRUE(ReturnsWithTheClockStill([&] { m_gate.BeforeRead(); }));
    EXPECT_TRUE(ReturnsWithTheClockStill([&] { m_gate.BeforeWrite(); }));
}

TEST_F(SleepingWorker, AWriteWakesTheWorkerWithoutWaitingForIt)
{
    Start(false);
    EXPECT_TRUE(ReturnsWithTheClockStill([&] { m_gate.BeforeWrite(); }));
    EXPECT_TRUE(Eventually([&] { return m_woke.load(); }));
}

} // namespace
