// The system backend of PM.dll: a cached brightness level kept fresh by background threads, so a
// caller on the GUI thread never waits for WMI.
//
// The first use starts a worker thread that finds the display. From then on the worker applies
// requested levels and, while calls come, re-reads the value every few seconds (ResyncGate); a
// listener thread picks up brightness change events as they happen. A machine without brightness
// control stops both; the level then stays at the stable answer 7. A level set is refused (and not
// queued) until the worker has found a display with brightness control, waiting at most
// kProbeWaitMs for it.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "BrightnessLevelMap.h"
#include "ClosedLibraries.h"
#include "ResyncGate.h"
#include "Handles.h"

namespace tabvisor::brightness {

class SystemBrightness {
public:
    static constexpr unsigned int kUncontrolledLevel = closed_libraries::kMaxBrightnessLevel;
    // How long a level set waits for the worker to find out whether there is brightness control.
    // Only a set made right after the first call can wait: the program's first call is a query.
    static constexpr DWORD kProbeWaitMs = 500;

    // The process's one instance. It is never destroyed: its threads may outlive every caller.
    static SystemBrightness& Instance();

    unsigned int CurrentLevel();
    // Queues the level for the worker and shows it as current at once. False, with nothing
    // queued, above level 7 or unless the machine is known to have brightness control.
    bool RequestLevel(unsigned int level);

    enum class Availability { Probing, Available, Unavailable };
    Availability GetAvailability() const { return m_availability.load(); }

private:
    SystemBrightness();
    void RunWorker();
    void RunListener();
    void Publish(uint8_t percent);
    uint64_t EventsSoFar();
    void PublishEvent(uint8_t percent);
    void PublishReading(uint8_t percent, uint64_t eventsBefore);
    void SetAvailability(Availability availability);

    std::atomic<Availability> m_availability{Availability::Probing};
    std::atomic<unsigned int> m_level{kUncontrolledLevel};
    std::atomic<int> m_requestedLevel{-1};
    // Subscribed, and an event has come since: events are seen to reach the cache.
    std::atomic<bool> m_eventsArrive{false};
    ResyncGate m_resync;
    afx::unique_handle m_resubscribe;  // the listener may try a broken subscription again
    afx::unique_handle m_probed;  // set once the availability is known
    LevelReadBack m_readBack;
    // Orders the worker's readings against the listener's events: the publishing of either, and
    // the count of events published so far.
    std::mutex m_publishGuard;
    uint64_t m_eventsPublished = 0;
    // Written once by the worker before Available is published; read-only afterwards.
    std::vector<uint8_t> m_supported;
};

} // namespace tabvisor::brightness
