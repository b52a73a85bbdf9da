// Background threads and the cache behind PM.dll's system backend.
#include "SystemBrightness.h"

#include "BrightnessLevelMap.h"
#include "ModulePin.h"
#include "ComHandles.h"
#include "WmiDisplayBrightness.h"

#include <thread>

namespace tabvisor::brightness {
namespace {

// While calls come: without events a change made elsewhere shows within a second; with them the
// re-read is only a safety net. Between calls the worker sleeps, and where events are not seen to
// arrive the first read after the quiet period waits briefly for a fresh reading.
constexpr DWORD kResyncWithoutEventsMs = 1000;
constexpr DWORD kResyncWithEventsMs = 5000;

} // namespace

SystemBrightness& SystemBrightness::Instance()
{
    static SystemBrightness* instance = new SystemBrightness();
    return *instance;
}

SystemBrightness::SystemBrightness()
    : m_resubscribe(CreateEventW(nullptr, FALSE, FALSE, nullptr)), m_probed(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    // The threads run code of this DLL for the rest of the process, so it must stay loaded.
    PinThisModule();
    std::thread([this] { RunWorker(); }).detach();
}

unsigned int SystemBrightness::CurrentLevel()
{
    m_resync.BeforeRead();
    return m_level.load();
}

bool SystemBrightness::RequestLevel(unsigned int level)
{
    if (level > kUncontrolledLevel) return false;
    m_resync.BeforeWrite();
    // Accepting a level before the display is found would report a change that may never happen.
    if (m_availability.load() == Availability::Probing) WaitForSingleObject(m_probed.get(), kProbeWaitMs);
    if (m_availability.load() != Availability::Available) return false;
    m_level.store(level);
    m_requestedLevel.store(static_cast<int>(level));
    m_resync.Wake();
    return true;
}

void SystemBrightness::Publish(uint8_t percent)
{
    // A level the caller asked for and the worker has not applied yet stays on show.
    if (m_requestedLevel.load() < 0) m_level.store(m_readBack.LevelFor(m_supported, percent));
}

uint64_t SystemBrightness::EventsSoFar()
{
    std::lock_guard lock(m_publishGuard);
    return m_eventsPublished;
}

void SystemBrightness::PublishEvent(uint8_t percent)
{
    std::lock_guard lock(m_publishGuard);
    ++m_eventsPublished;
    Publish(percent);
}

void SystemBrightness::PublishReading(uint8_t percent, uint64_t eventsBefore)
{
    std::lock_guard lock(m_publishGuard);
    // An event that came while the query ran is at least as new as what the query saw; the older
    // value would otherwise stay until the next reading, which for a sleeping worker may be hours.
    if (m_eventsPublished == eventsBefore) Publish(percent);
}

void SystemBrightness::SetAvailability(Availability availability)
{
    m_availability.store(availability);
    SetEvent(m_probed.get());
}

void SystemBrightness::RunWorker()
{
    HRESULT joined = E_FAIL;
    const auto apartment = afx::co_initialize(COINIT_MULTITHREADED, joined);
    auto display = SUCCEEDED(joined) ? WmiDisplayBrightness::Connect() : std::nullopt;
    const auto first = display ? display->Read() : std::nullopt;
    if (!first) {
        m_level.store(kUncontrolledLevel);
        SetAvailability(Availability::Unavailable);
        return;
    }
    m_supported = NormaliseSupportedValues(first->supportedPercents);
    Publish(first->currentPercent);
    SetAvailability(Availability::Available);
    std::thread([this] { RunListener(); }).detach();

    for (;;) {
        // A broken subscription is tried again when a quiet period ends, never on a timer, which
        // would wake an idle process (or spin, where subscribing fails at once).
        if (m_resync.WaitForWork(m_eventsArrive.load() ? kResyncWithEventsMs : kResyncWithoutEventsMs))
            SetEvent(m_resubscribe.get());
        const int requested = m_requestedLevel.load();
        if (requested >= 0) {
            const uint8_t percent = PercentForLevel(m_supported, static_cast<unsigned int>(requested));
            // Remembered first: the change event may come before SetPercent returns.
            m_readBack.Applied(static_cast<unsigned int>(requested), percent);
            display->SetPercent(percent);
        }
        // Only the request just applied is cleared: a newer one waits for the next round.
        int expected = requested;
        m_requestedLevel.compare_exchange_strong(expected, -1);
        const uint64_t eventsBefore = EventsSoFar();
        const auto now = display->Read();
        if (now) PublishReading(now->currentPercent, eventsBefore);
        m_resync.Resynced(now.has_value());
    }
}

void SystemBrightness::RunListener()
{
    HRESULT joined = E_FAIL;
    const auto apartment = afx::co_initialize(COINIT_MULTITHREADED, joined);
    if (FAILED(joined)) return;
    for (;;) {
        // A subscription breaks with its connection (WMI restarted, say), so each try connects anew.
        auto display = WmiDisplayBrightness::Connect();
        uint8_t percent = 0;
        if (display && display->Subscribe()) {
            // A subscription counts once it has brought an event: a driver may send none.
            while (display->WaitForChange(percent)) {
                PublishEvent(percent);
                if (!m_eventsArrive.exchange(true)) m_resync.NotificationsArrive();
            }
        }
        m_eventsArrive.store(false);
        m_resync.NotificationsLost();
        // Set by the worker when a quiet period ends; one set while this still listened only
        // brings the next try forward.
        WaitForSingleObject(m_resubscribe.get(), INFINITE);
    }
}

} // namespace tabvisor::brightness
