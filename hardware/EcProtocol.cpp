// The device-switch protocol on the EC's command, answer, index and data ports.
#include "EcProtocol.h"

uint8_t g_deviceSwitches = 0;

namespace {

const WinIoLibrary* g_portLibrary = nullptr;  // null: WinIo()
bool g_portAccessOpen = false;                 // between a granted InitializeWinIo and ShutdownWinIo

const WinIoLibrary& Ports() { return g_portLibrary != nullptr ? *g_portLibrary : WinIo(); }

// Port calls happen only while access is open: on real hardware an unpermitted access faults.
bool WritePort(WORD port, uint8_t value)
{
    return g_portAccessOpen && Ports().setPortVal(port, value, 1);
}

bool ReadPort(WORD port, uint8_t* value)
{
    DWORD raw = 0;
    if (!g_portAccessOpen || !Ports().getPortVal(port, &raw, 1))
        return false;
    *value = static_cast<uint8_t>(raw);
    return true;
}

uint8_t BitMask(uint8_t bit) { return bit < 8 ? static_cast<uint8_t>(1u << bit) : 0; }

// The write sequence: the byte into the register window, then the write command and its wait.
void WriteDeviceSwitches(uint8_t value)
{
    CEcPortAccess access;
    WritePort(ec::kIndexPort, ec::kSwitchIndex);
    // The copy takes the new byte first: without port access the page still works on it.
    g_deviceSwitches = value;
    WritePort(ec::kDataPort, value);
    EcWriteCommand(ec::kWriteCommand);
    EcWaitForAcknowledge();
}

} // namespace

CEcPortAccess::CEcPortAccess()
{
    if (g_portAccessOpen)
        return;
    const WinIoLibrary& ports = Ports();
    // All four entry points or none: a half-bound library must not open what it cannot close.
    if (!ports.Complete())
        return;
    m_opened = ports.initializeWinIo();
    g_portAccessOpen = m_opened;
}

CEcPortAccess::~CEcPortAccess()
{
    if (!m_opened)
        return;
    Ports().shutdownWinIo();
    g_portAccessOpen = false;
}

bool CEcPortAccess::IsOpen() const { return g_portAccessOpen; }

void EcWriteCommand(uint8_t command) { WritePort(ec::kCommandPort, command); }

uint8_t EcReadStatus()
{
    uint8_t value = ec::kFloatingBus;
    ReadPort(ec::kAnswerPort, &value);
    return value;
}

bool EcWaitForAcknowledge()
{
    LARGE_INTEGER frequency{};
    LARGE_INTEGER start{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const long long limit = frequency.QuadPart * ec::kAckWaitMaxMicroseconds / 1000000;

    for (uint32_t reads = 0; reads < ec::kAckWaitMaxReads; ++reads) {
        uint8_t answer = 0;
        if (!ReadPort(ec::kAnswerPort, &answer))
            return false;  // no access, or a port that cannot be read: waiting cannot help
        if (answer == ec::kAcknowledge)
            return true;
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        if (now.QuadPart - start.QuadPart >= limit)
            return false;
    }
    return false;
}

void ReadDeviceSwitches()
{
    if (!g_portAccessOpen)
        return;
    EcWriteCommand(ec::kReadCommand);
    // Unacknowledged, the EC has not put the byte into the window: what is there is stale.
    if (!EcWaitForAcknowledge())
        return;
    WritePort(ec::kIndexPort, ec::kSwitchIndex);
    uint8_t value = 0;
    if (!ReadPort(ec::kDataPort, &value))
        return;
    g_deviceSwitches = value == ec::kFloatingBus ? 0 : value;
}

void SetDeviceSwitch(uint8_t bit) { WriteDeviceSwitches(static_cast<uint8_t>(g_deviceSwitches | BitMask(bit))); }

void ClearDeviceSwitch(uint8_t bit) { WriteDeviceSwitches(static_cast<uint8_t>(g_deviceSwitches & ~BitMask(bit))); }

void SetEcPortLibrary(const WinIoLibrary* library) { g_portLibrary = library; }
