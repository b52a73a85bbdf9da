// Background threads and the cache behind PM.dll's system backend.
#include "SystemBrightness.h"

#include "BrightnessLevelMap.h"
#include "ModulePin.h"
#include "OleValues.h"
#include "WmiDisplayBrightness.h"

#include <thread>

namespace tabvisor::brightness {
namespace {

// Without events a change made elsewhere shows within a second; with them the re-read is only a
// safety net.
constexpr DWORD kResyncWithoutEventsMs = 1000;
constexpr DWORD kResyncWithEventsMs = 5000;
constexpr uint32_t kEventWaitMs = 5000;

} // namespace

SystemBrightness& SystemBrightness::Instance()
{
    static SystemBrightness* instance = new SystemBrightness();
    return *instance;
}

SystemBrightness::SystemBrightness()
    : m_wakeWorker(CreateEventW(nullptr, FALSE, FALSE, nullptr)), m_probed(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    // The threads run code of this DLL for the rest of the process, so it must stay loaded.
    PinThisModule();
    std::thread([this] { RunWorker(); }).detach();
}

unsigned int SystemBrightness::CurrentLevel()
{
    return m_level.load();
}

bool SystemBrightness::RequestLevel(unsigned int level)
{
    if (level > kUncontrolledLevel) return false;
    // Accepting a level before the display is found would report a change that may never happen.
    if (m_availability.load() == Availability::Probing) WaitForSingleObject(m_probed.Get(), kProbeWaitMs);
    if (m_availability.load() != Availability::Available) return false;
    m_level.store(level);
    m_requestedLevel.store(static_cast<int>(level));
    SetEvent(m_wakeWorker.Get());
    return true;
}

void SystemBrightness::Publish(uint8_t percent)
{
    // A level the caller asked for and the worker has not applied yet stays on show.
    if (m_requestedLevel.load() < 0) m_level.store(m_readBack.LevelFor(m_supported, percent));
}

void SystemBrightness::SetAvailability(Availability availability)
{
    m_availability.store(availability);
    SetEvent(m_probed.Get());
}

void SystemBrightness::RunWorker()
{
    MtaApartment apartment;
    auto display = SUCCEEDED(apartment.Result()) ? WmiDisplayBrightness::Connect() : std::nullopt;
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
        WaitForSingleObject(m_wakeWorker.Get(), m_eventsArrive.load() ? kResyncWithEventsMs : kResyncWithoutEventsMs);
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
        if (const auto now = display->Read()) Publish(now->currentPercent);
    }
}

void SystemBrightness::RunListener()
{
    MtaApartment apartment;
    auto display = SUCCEEDED(apartment.Result()) ? WmiDisplayBrightness::Connect() : std::nullopt;
    if (!display || !display->Subscribe()) return;
    m_eventsArrive.store(true);
    for (;;) {
        uint8_t percent = 0;
        const auto wait = display->WaitForChange(kEventWaitMs, percent);
        if (wait == WmiDisplayBrightness::Wait::Failed) break;
        if (wait == WmiDisplayBrightness::Wait::Changed) Publish(percent);
    }
    m_eventsArrive.store(false);
}

} // namespace tabvisor::brightness
