// tabsim's command line, parsed into one command with checked values.
#pragma once
#include "TabletState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tabvisor::tabsim {

struct ResetCommand {};
struct StatusCommand {};
struct LogCommand {
    bool clear = false;
};
struct SetSwitches {
    uint8_t value;
};
struct SetBrightness {
    unsigned int level;
};
struct SetVolume {
    float scalar;
};
struct SetAck {
    simulated::AckMode mode;
    uint32_t afterReads;
};
struct SetAckDelay {
    uint32_t ms;
};
struct SetWinio {
    bool granted;
};
enum class KeyAction { Press, Down, Up };
struct KeyCommand {
    uint8_t virtualKey;
    uint16_t scanCode; // 0: let the system pick the key's usual scan code
    bool extended;
    KeyAction action;
};
struct HelpCommand {};

using Command = std::variant<ResetCommand, StatusCommand, LogCommand, SetSwitches, SetBrightness, SetVolume, SetAck,
                             SetAckDelay, SetWinio, KeyCommand, HelpCommand>;

struct ParsedCommandLine {
    Command command;
    std::wstring file; // from --file, empty when not given
};

// The parsed command, or an error message for the user.
struct ParseResult {
    std::optional<ParsedCommandLine> parsed;
    std::wstring error;
};

ParseResult ParseCommandLine(const std::vector<std::wstring>& arguments);

// Whether the command works on a tablet file (every command but key and help).
bool NeedsTablet(const Command& command);

// Number parsing shared with the tests: "0x1A" or "26"; nothing for anything else or overflow.
std::optional<uint32_t> ParseUnsigned(const std::wstring& text);
// A plain decimal (digits with at most one point: "0.6", ".25", "1") from 0 to 1 exactly, as the
// float nearest it.
std::optional<float> ParseVolume(const std::wstring& text);

extern const wchar_t kUsage[];

} // namespace tabvisor::tabsim
