// Core Audio callback objects for the volume cache.
#include "AudioNotifications.h"

namespace tabvisor::audio {
namespace {

template <class Interface, class Object>
HRESULT AnswerQuery(Object* self, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(Interface)) {
        *object = static_cast<Interface*>(self);
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

} // namespace

HRESULT VolumeChangeCallback::QueryInterface(REFIID iid, void** object)
{
    return AnswerQuery<IAudioEndpointVolumeCallback>(this, iid, object);
}

HRESULT VolumeChangeCallback::OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data)
{
    if (data) m_onChange(data->fMasterVolume);
    return S_OK;
}

HRESULT DefaultDeviceWatcher::QueryInterface(REFIID iid, void** object)
{
    return AnswerQuery<IMMNotificationClient>(this, iid, object);
}

HRESULT DefaultDeviceWatcher::OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR)
{
    if (flow == eRender && role == eConsole) m_onChange();
    return S_OK;
}

} // namespace tabvisor::audio
