// The worker thread and cache behind VolumeVista's system backend.
#include "SystemVolume.h"

#include "ModulePin.h"
#include "ComHandles.h"

#include <thread>

namespace tabvisor::audio {
namespace {

// Both only while calls come: between them the notifications keep the cache, and where they
// cannot, the first read after a quiet period waits briefly for a fresh reading.
constexpr DWORD kResyncMs = 5000;     // safety net in case a notification is lost
constexpr DWORD kRetryDeviceMs = 2000; // while there is no output device

} // namespace

SystemVolume& SystemVolume::Instance()
{
    static SystemVolume* instance = new SystemVolume();
    return *instance;
}

SystemVolume::SystemVolume()
    : m_volumeCallback([this](float scalar) { PublishChange(scalar); }),
      m_deviceWatcher([this] {
          m_defaultDeviceChanged.store(true);
          m_resync.Wake();
      })
{
    PinThisModule();
    std::thread([this] { Run(); }).detach();
}

HRESULT SystemVolume::Read(float& scalar)
{
    m_resync.BeforeRead();
    std::lock_guard lock(m_guard);
    if (SUCCEEDED(m_readResult)) scalar = m_scalar;
    return m_readResult;
}

HRESULT SystemVolume::Write(float scalar)
{
    m_resync.BeforeWrite();
    {
        std::lock_guard lock(m_guard);
        if (FAILED(m_readResult) && m_readResult != E_PENDING) return m_readResult;
        m_requested = scalar;
        if (SUCCEEDED(m_readResult)) m_scalar = scalar;
    }
    m_resync.Wake();
    std::lock_guard lock(m_guard);
    return m_lastWriteResult;
}

uint64_t SystemVolume::ChangesSoFar()
{
    std::lock_guard lock(m_guard);
    return m_changesNotified;
}

void SystemVolume::PublishReading(HRESULT result, float scalar, uint64_t changesBefore)
{
    std::lock_guard lock(m_guard);
    m_readResult = result;
    // A write not yet applied stays on show, and so does a change notified while the reading was
    // under way: it is at least as new as what the reading saw.
    if (SUCCEEDED(result) && !m_requested && m_changesNotified == changesBefore) m_scalar = scalar;
}

void SystemVolume::PublishChange(float scalar)
{
    std::lock_guard lock(m_guard);
    ++m_changesNotified;
    m_readResult = S_OK;
    if (!m_requested) m_scalar = scalar;
}

void SystemVolume::Run()
{
    HRESULT result = E_FAIL;
    const auto apartment = afx::co_initialize(COINIT_MULTITHREADED, result);
    afx::com_ptr<IMMDeviceEnumerator> enumerator;
    if (SUCCEEDED(result))
        result = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(IMMDeviceEnumerator), enumerator.put_void());
    if (FAILED(result)) {
        PublishReading(result, 0.0f, 0);
        return;
    }
    m_devicesWatched = SUCCEEDED(enumerator->RegisterEndpointNotificationCallback(&m_deviceWatcher));
    for (;;) {
        if (!m_endpoint) AcquireEndpoint(enumerator.get());
        m_resync.WaitForWork(m_endpoint ? kResyncMs : kRetryDeviceMs);
        if (m_defaultDeviceChanged.exchange(false)) DropEndpoint();
        if (m_endpoint) ApplyRequestAndReread();
    }
}

void SystemVolume::AcquireEndpoint(IMMDeviceEnumerator* enumerator)
{
    afx::com_ptr<IMMDevice> device;
    afx::com_ptr<IAudioEndpointVolume> endpoint;
    HRESULT result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.put());
    if (SUCCEEDED(result))
        result = device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr, endpoint.put_void());
    // Registered before the reading: a change between the two would otherwise be lost, and with
    // the worker asleep the cache would keep the older value until the next call after it.
    const bool callbackRegistered =
        SUCCEEDED(result) && SUCCEEDED(endpoint->RegisterControlChangeNotify(&m_volumeCallback));
    const uint64_t changesBefore = ChangesSoFar();
    float scalar = 0.0f;
    if (SUCCEEDED(result)) result = endpoint->GetMasterVolumeLevelScalar(&scalar);
    PublishReading(result, scalar, changesBefore);
    bool announced = m_devicesWatched && result == E_NOTFOUND;
    if (SUCCEEDED(result)) {
        m_endpoint = endpoint;
        announced = m_devicesWatched && callbackRegistered;
    } else if (callbackRegistered) {
        endpoint->UnregisterControlChangeNotify(&m_volumeCallback);
    }
    // With no output device at all, the device watcher announces the first one to come; after any
    // other failure nothing says when to look again.
    if (announced) m_resync.NotificationsArrive();
    else m_resync.NotificationsLost();
    m_resync.Resynced(true);
}

void SystemVolume::DropEndpoint()
{
    if (!m_endpoint) return;
    m_endpoint->UnregisterControlChangeNotify(&m_volumeCallback);
    m_endpoint.reset();
    m_resync.NotificationsLost();
}

void SystemVolume::ApplyRequestAndReread()
{
    std::optional<float> requested;
    {
        std::lock_guard lock(m_guard);
        requested = m_requested;
    }
    if (requested) {
        const HRESULT result = m_endpoint->SetMasterVolumeLevelScalar(*requested, nullptr);
        std::lock_guard lock(m_guard);
        m_lastWriteResult = result;
        // Only the value just applied is settled; a newer one waits for the next round.
        if (m_requested == requested) m_requested.reset();
    }
    const uint64_t changesBefore = ChangesSoFar();
    float scalar = 0.0f;
    const HRESULT result = m_endpoint->GetMasterVolumeLevelScalar(&scalar);
    PublishReading(result, scalar, changesBefore);
    // A failed endpoint is dropped, and the reading that counts is the next acquisition's.
    if (FAILED(result)) DropEndpoint();
    else m_resync.Resynced(true);
}

} // namespace tabvisor::audio
