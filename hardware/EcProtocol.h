// The embedded controller's device-switch byte: read, and single bits of it set, cleared or flipped
// in a fresh read, over four one-byte I/O ports reached through WINIO.dll. GUI thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "TabletLibraries.h"

// The EC's device-switch byte as last read or written with the EC's acknowledgement: bit 0
// wireless network, bit 1 3G, bit 2 camera, bit 3 Bluetooth; bits 4 to 7 are carried along as read.
extern uint8_t g_deviceSwitches;

namespace ec {

inline constexpr WORD kCommandPort = 0x6C;
inline constexpr WORD kAnswerPort = 0x68;
inline constexpr WORD kIndexPort = 0x360;
inline constexpr WORD kDataPort = 0x361;

inline constexpr uint8_t kReadCommand = 0x11;
inline constexpr uint8_t kWriteCommand = 0x12;
inline constexpr uint8_t kAcknowledge = 0xFA;
inline constexpr uint8_t kSwitchIndex = 0;
// What a read gives when nothing answers; a device-switch byte read as this means "all off".
inline constexpr uint8_t kFloatingBus = 0xFF;

// One acknowledgement wait ends after this many reads of the answer port or this much time,
// whichever comes first. The GUI thread also runs the low-level keyboard hook, which the system
// drops when it stalls for about 300 ms, and start-up runs five waits in a row: an EC that never
// answers costs at most about 5 x 20 ms there. A real port read takes about a microsecond, so an
// EC gets several milliseconds; the simulated tablet (about 60 us a read) meets the time first.
inline constexpr uint32_t kAckWaitMaxReads = 5000;
inline constexpr uint32_t kAckWaitMaxMicroseconds = 20000;

} // namespace ec

// Port access for one operation: InitializeWinIo when constructed, ShutdownWinIo when destroyed.
// Nothing is opened, and no port is touched until the scope ends, when the port library is
// incomplete or InitializeWinIo refuses. Inside a scope that already holds access, a nested one
// does nothing, so the outer scope alone closes it.
class CEcPortAccess {
public:
    CEcPortAccess();
    ~CEcPortAccess();
    CEcPortAccess(const CEcPortAccess&) = delete;
    CEcPortAccess& operator=(const CEcPortAccess&) = delete;

    // Whether port access is open now, by this scope or an enclosing one.
    bool IsOpen() const;

private:
    bool m_opened = false;  // this scope opened access and must close it
};

// What became of one device-switch operation.
enum class EcResult {
    Done,          // the EC acknowledged every command; g_deviceSwitches holds its byte
    NoPortAccess,  // no port library, an incomplete one, or InitializeWinIo refused: no port touched
    NoAnswer,      // the EC did not acknowledge within the bound, or a port could not be read
};

// Writes `command` to the command port. Nothing else: no wait before or after.
void EcWriteCommand(uint8_t command);
// Reads the answer port once; kFloatingBus when it cannot be read.
uint8_t EcReadStatus();
// Reads the answer port until it shows kAcknowledge or the wait's bound is reached. True when
// acknowledged. Without open port access, or when a read fails, it ends at once with false.
bool EcWaitForAcknowledge();

// Refreshes g_deviceSwitches from the EC; the caller holds port access (CEcPortAccess). Only a
// read the EC acknowledged changes the copy.
EcResult ReadDeviceSwitches();
// Each reads the EC's byte afresh, changes bit `bit` of what was read (set, clear or flip) and
// writes that byte back, inside one port access that it opens and closes itself (or an enclosing
// one): a change made elsewhere to the other bits is kept, and a byte that could not be read is
// never written. The copy takes the new byte only when the EC acknowledged the write; otherwise it
// keeps the byte read. A bit number above 7 changes no bit (the byte read is written back).
EcResult SetDeviceSwitch(uint8_t bit);
EcResult ClearDeviceSwitch(uint8_t bit);
EcResult ToggleDeviceSwitch(uint8_t bit);

// The port library the protocol uses: WinIo() unless a test hands it another (null: WinIo()).
void SetEcPortLibrary(const WinIoLibrary* library);
