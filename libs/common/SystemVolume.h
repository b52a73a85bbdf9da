// The system backend of VolumeVista: the default output device's master volume, cached and kept
// fresh by a background thread and Core Audio's change notifications, so that a read on the GUI
// thread only copies a float and a write only queues the value. The thread resyncs on a period
// only while calls come (ResyncGate); in between only the notifications wake it.
#pragma once
#include "AudioNotifications.h"
#include "ComHandles.h"
#include "ResyncGate.h"

#include <mutex>
#include <optional>

namespace tabvisor::audio {

class SystemVolume {
public:
    // The process's one instance, started on first use and never destroyed.
    static SystemVolume& Instance();

    // S_OK with the cached scalar; E_PENDING until the first reading; otherwise why there is no
    // volume to read (no output device, for instance).
    HRESULT Read(float& scalar);

    // Queues the scalar (already checked to be in 0..1) and shows it as current at once. Returns
    // the failure that stops writes (no device), or the refusal of the last write applied, if
    // any; S_OK otherwise.
    HRESULT Write(float scalar);

private:
    SystemVolume();
    void Run();
    void AcquireEndpoint(IMMDeviceEnumerator* enumerator);
    void DropEndpoint();
    void ApplyRequestAndReread();
    uint64_t ChangesSoFar();
    void PublishReading(HRESULT result, float scalar, uint64_t changesBefore);
    void PublishChange(float scalar);

    std::mutex m_guard; // guards the fields below it
    HRESULT m_readResult = E_PENDING;
    float m_scalar = 0.0f;
    HRESULT m_lastWriteResult = S_OK;
    std::optional<float> m_requested;
    uint64_t m_changesNotified = 0; // volume callbacks so far

    ResyncGate m_resync;
    std::atomic<bool> m_defaultDeviceChanged{false};
    VolumeChangeCallback m_volumeCallback;
    DefaultDeviceWatcher m_deviceWatcher;
    // Only the worker thread touches these.
    afx::com_ptr<IAudioEndpointVolume> m_endpoint;
    bool m_devicesWatched = false; // the default device's changes are announced
};

} // namespace tabvisor::audio
