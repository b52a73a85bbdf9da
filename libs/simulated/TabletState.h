// The layout of a simulated tablet's state file. Every process that uses the tablet reads and
// writes this structure in the same file, so it holds only fixed-size, fixed-width fields, and any
// change to it needs a new kTabletStateVersion.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tabvisor::simulated {

inline constexpr char kTabletMagic[8] = {'T', 'V', 'T', 'A', 'B', 'L', 'E', 'T'};
inline constexpr uint32_t kTabletStateVersion = 3;
inline constexpr size_t kPortLogCapacity = 4096;

enum class AckMode : uint8_t {
    Now = 0,     // a command takes effect and is acknowledged as it is written
    Never = 1,   // commands are never acknowledged and never take effect
    AfterReads = 2, // acknowledged, and in effect, on the Nth read of the answer port
};

enum class PortDirection : uint8_t { In = 0, Out = 1 };

struct PortAccess {
    uint16_t port;
    uint8_t value;
    PortDirection direction;
};

struct TabletHeader {
    char magic[8];
    uint32_t version;
    uint32_t size; // sizeof(TabletState) of the writer
};

struct EmbeddedController {
    uint8_t switches;       // the device-switch byte the EC holds
    uint8_t windowIndex;    // last value written to the index port
    uint8_t windowData;     // the register at index 0, as latched by the last command
    uint8_t pendingCommand; // last command written, 0 when none or unknown
    uint8_t acknowledged;   // 1 once the pending command has been acknowledged
    AckMode ackMode;
    uint8_t unused[2];
    uint32_t ackAfterReads;    // N for AckMode::AfterReads
    uint32_t answerReads;      // reads of the answer port since the last command
    uint32_t ackDelayMs;       // 0, or how long after a command the EC acknowledges it at the earliest
    uint32_t unused2;
    uint64_t commandMicroseconds; // when the last command was written, on the system's steady clock
};

inline constexpr size_t kMaxPortUsers = 16;

// Port access belongs to a process, as with a real port driver: one process closing its access
// must not cut off another in the middle of a sequence.
struct PortWindow {
    uint8_t granted; // whether InitializeWinIo grants access
    uint8_t unused[3];
    uint32_t openBy[kMaxPortUsers]; // ids of the processes with access open; 0 = free slot
};

struct Counters {
    uint64_t brightnessQueries;
    uint64_t brightnessSets;
    uint64_t volumeReads;
    uint64_t volumeWrites;
    uint64_t ecReadCommands;
    uint64_t ecWriteCommands;
    uint64_t winioOpens;
    uint64_t portDenied;
    uint64_t taskCalls;
};

inline constexpr size_t kTaskNameCapacity = 256;
inline constexpr size_t kTaskProgramCapacity = 520;
inline constexpr size_t kTaskAuthorCapacity = 256;
inline constexpr size_t kTaskDescriptionCapacity = 1024;

struct RegisteredTask {
    int32_t kind; // 0 until a task is registered
    uint32_t unused;
    wchar_t name[kTaskNameCapacity];
    wchar_t program[kTaskProgramCapacity];
    wchar_t author[kTaskAuthorCapacity];
    wchar_t description[kTaskDescriptionCapacity];
};

struct PortLog {
    uint64_t total; // accesses logged since the last clear; the ring holds the last ones
    PortAccess ring[kPortLogCapacity];
};

struct TabletState {
    TabletHeader header;
    EmbeddedController ec;
    PortWindow winio;
    uint32_t brightness;
    float volume;
    Counters counters;
    RegisteredTask task;
    PortLog log;
    // Unused: kept so that files of this version keep their layout.
    uint64_t changes;
};

static_assert(sizeof(wchar_t) == 2, "task strings are stored as UTF-16");
static_assert(sizeof(PortAccess) == 4);
static_assert(sizeof(TabletHeader) == 16);
static_assert(offsetof(TabletState, ec) == 16);
static_assert(sizeof(EmbeddedController) == 32);
static_assert(sizeof(TabletState) % 8 == 0);

} // namespace tabvisor::simulated
