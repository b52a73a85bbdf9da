// The embedded controller's device-switch byte: read, and single bits of it set or cleared in a
// fresh read, over four one-byte I/O ports reached through WINIO.dll. GUI thread only.
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
// What a read gives when nothing drives the bus. From the data port it is no byte at all: an EC
// that answers puts its register there, and a read that finds this counts as unanswered.
inline constexpr uint8_t kFloatingBus = 0xFF;

// One acknowledgement wait ends at 0xFA or once this much time has passed, however fast the reads
// are: a real port read takes about a microsecond, so a count of reads would give a busy EC (which
// can take tens of milliseconds) far less time on a tablet than in any test. Every operation stops
// at its first unanswered wait, so an EC that never answers costs one wait per operation, start-up
// included; the GUI thread, which may also run the keyboard hook, is never held much longer.
inline constexpr uint32_t kAckWaitMicroseconds = 100000;

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
    NoAnswer,      // the EC did not acknowledge within the wait, a port read or write failed, or
                   // the data port read kFloatingBus
};

// Writes `command` to the command port. Nothing else: no wait before or after. False when the
// port library did not take the write (or access is not open).
bool EcWriteCommand(uint8_t command);
// Reads the answer port once; kFloatingBus when it cannot be read.
uint8_t EcReadStatus();
// Reads the answer port until it shows kAcknowledge or kAckWaitMicroseconds have passed, with one
// more read after that time, so a wait that was itself held up still hears an answer that came in
// time. True when acknowledged. Without open port access, or when a read fails, it ends at once
// with false. Only a wait right after a command that was written counts: the EC keeps its last
// 0xFA on the answer port until it takes the next command.
bool EcWaitForAcknowledge();

// Refreshes g_deviceSwitches from the EC; the caller holds port access (CEcPortAccess). Only a
// read the EC acknowledged, with every port call done and a byte on the data port, changes the copy.
EcResult ReadDeviceSwitches();
// Each reads the EC's byte afresh, sets or clears bit `bit` of what was read and writes that byte
// back, inside one port access that it opens and closes itself (or an enclosing one): a change
// made elsewhere to the other bits is kept, and a byte that could not be read is never written.
// The copy takes the new byte only when every port call of the write went through and the EC
// acknowledged it; otherwise it keeps the byte read. A bit number above 7 changes no bit (the
// byte read is written back).
EcResult SetDeviceSwitch(uint8_t bit);
EcResult ClearDeviceSwitch(uint8_t bit);

// The port library the protocol uses: WinIo() unless a test hands it another (null: WinIo()).
void SetEcPortLibrary(const WinIoLibrary* library);
