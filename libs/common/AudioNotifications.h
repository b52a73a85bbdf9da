// The two Core Audio callbacks the volume cache listens to: master volume changes on the
// endpoint, and a change of the default output device. Each forwards to a plain function.
#pragma once
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <functional>

namespace tabvisor::audio {

// COM objects are released through Release, never deleted through an interface pointer, so the
// interfaces' non-virtual destructors are harmless here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// These objects belong to the volume cache, which lives until the process ends, so the reference
// count only guards against misuse and never frees them.
class VolumeChangeCallback final : public IAudioEndpointVolumeCallback {
public:
    explicit VolumeChangeCallback(std::function<void(float)> onChange) : m_onChange(std::move(onChange)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) override;

private:
    std::function<void(float)> m_onChange;
    std::atomic<ULONG> m_references{1};
};

class DefaultDeviceWatcher final : public IMMNotificationClient {
public:
    explicit DefaultDeviceWatcher(std::function<void()> onChange) : m_onChange(std::move(onChange)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override;
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    std::function<void()> m_onChange;
    std::atomic<ULONG> m_references{1};
};

#pragma GCC diagnostic pop

} // namespace tabvisor::audio
