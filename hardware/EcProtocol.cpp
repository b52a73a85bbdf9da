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

uint8_t Changed(uint8_t byte, uint8_t bit, bool on)
{
    const uint8_t mask = BitMask(bit);
    return on ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
}

// The write sequence: the byte into the register window, then the write command and its wait.
// It stops at the first port call that fails: a byte written at an index that was not selected
// would land in another register, and a command that never reached the EC has nothing to answer.
bool WriteDeviceSwitches(uint8_t value)
{
    return WritePort(ec::kIndexPort, ec::kSwitchIndex) && WritePort(ec::kDataPort, value) &&
           EcWriteCommand(ec::kWriteCommand) && EcWaitForAcknowledge();
}

// The EC's byte is read just before it is written, so only the one bit changes: the EC has no
// read-modify-write of its own, and the tablet's keys or another program may have changed it.
EcResult ChangeDeviceSwitch(uint8_t bit, bool on)
{
    CEcPortAccess access;
    const EcResult read = ReadDeviceSwitches();
    if (read != EcResult::Done)
        return read;
    const uint8_t value = Changed(g_deviceSwitches, bit, on);
    if (!WriteDeviceSwitches(value))
        return EcResult::NoAnswer;
    g_deviceSwitches = value;
    return EcResult::Done;
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

bool EcWriteCommand(uint8_t command) { return WritePort(ec::kCommandPort, command); }

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
    const long long limit = frequency.QuadPart * ec::kAckWaitMicroseconds / 1000000;

    for (;;) {
        // Time is taken before the read, so the last read comes after the wait's time is up.
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        const bool last = now.QuadPart - start.QuadPart >= limit;
        uint8_t answer = 0;
        if (!ReadPort(ec::kAnswerPort, &answer))
            return false;  // no access, or a port that cannot be read: waiting cannot help
        if (answer == ec::kAcknowledge)
            return true;
        if (last)
            return false;
    }
}

EcResult ReadDeviceSwitches()
{
    if (!g_portAccessOpen)
        return EcResult::NoPortAccess;
    // Unacknowledged, the EC has not put the byte into the window: what is there is stale. A
    // command that was not written leaves the previous command's 0xFA on the answer port, so
    // there is nothing to wait for.
    if (!EcWriteCommand(ec::kReadCommand) || !EcWaitForAcknowledge())
        return EcResult::NoAnswer;
    if (!WritePort(ec::kIndexPort, ec::kSwitchIndex))
        return EcResult::NoAnswer;
    uint8_t value = 0;
    if (!ReadPort(ec::kDataPort, &value) || value == ec::kFloatingBus)
        return EcResult::NoAnswer;
    g_deviceSwitches = value;
    return EcResult::Done;
}

EcResult SetDeviceSwitch(uint8_t bit) { return ChangeDeviceSwitch(bit, true); }
EcResult ClearDeviceSwitch(uint8_t bit) { return ChangeDeviceSwitch(bit, false); }

void SetEcPortLibrary(const WinIoLibrary* library) { g_portLibrary = library; }
