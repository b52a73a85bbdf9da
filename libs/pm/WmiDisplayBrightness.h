// The built-in display's brightness through WMI (namespace root\wmi): reading the current value
// and the supported values, setting a value, and waiting for change events. Each call blocks for
// as long as WMI takes, so only the background threads of SystemBrightness use these.
#pragma once
#include "ComHandles.h"

#include <wbemidl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tabvisor::brightness {

struct DisplayBrightness {
    uint8_t currentPercent = 0;
    std::vector<uint8_t> supportedPercents;
};

class WmiDisplayBrightness {
public:
    // Connects to root\wmi on the calling thread, which must be in the multithreaded apartment.
    static std::optional<WmiDisplayBrightness> Connect();

    // The active display's brightness, or nothing when no display offers brightness control.
    std::optional<DisplayBrightness> Read();

    // Sets the display found by the last successful Read.
    bool SetPercent(uint8_t percent);

    // Subscribes to brightness change events; WaitForChange then blocks, without a timeout, until
    // the next one and gives its value, or returns false once the subscription has failed.
    bool Subscribe();
    bool WaitForChange(uint8_t& percent);

private:
    explicit WmiDisplayBrightness(afx::com_ptr<IWbemServices> services) : m_services(std::move(services)) {}
    afx::com_ptr<IEnumWbemClassObject> Query(const wchar_t* wql, long flags);

    afx::com_ptr<IWbemServices> m_services;
    afx::com_ptr<IEnumWbemClassObject> m_events;
    std::wstring m_methodsPath;
};

} // namespace tabvisor::brightness
