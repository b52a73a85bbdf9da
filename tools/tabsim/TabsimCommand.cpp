// Parsing of tabsim's commands and their values.
#include "TabsimCommand.h"

#include "ClosedLibraries.h"
#include "TabletOperations.h"

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <cwctype>

namespace tabvisor::tabsim {
namespace {

constexpr uint8_t kHotkeyVirtualKey = 0xFF;
constexpr uint16_t kHotkeyScanCode = 0x2C;
constexpr uint8_t kUpArrowVirtualKey = 0x26;
constexpr uint16_t kUpArrowScanCode = 0x48;
constexpr uint8_t kDownArrowVirtualKey = 0x28;
constexpr uint16_t kDownArrowScanCode = 0x50;

ParseResult Error(std::wstring message)
{
    return ParseResult{std::nullopt, std::move(message)};
}

ParseResult Parsed(Command command, std::wstring file)
{
    return ParseResult{ParsedCommandLine{command, std::move(file)}, {}};
}

std::optional<Command> ParseSet(const std::wstring& what, const std::wstring& value, std::wstring& error)
{
    if (what == L"switches") {
        const auto number = ParseUnsigned(value);
        if (number && *number <= 0xFF) return SetSwitches{static_cast<uint8_t>(*number)};
        error = L"switches takes a byte, 0x00 to 0xFF";
    } else if (what == L"brightness") {
        const auto number = ParseUnsigned(value);
        if (number && *number <= closed_libraries::kMaxBrightnessLevel) return SetBrightness{*number};
        error = L"brightness takes a level from 0 to 7";
    } else if (what == L"volume") {
        if (const auto scalar = ParseVolume(value)) return SetVolume{*scalar};
        error = L"volume takes a number from 0.0 to 1.0";
    } else if (what == L"ack") {
        if (value == L"now") return SetAck{simulated::AckMode::Now, 1};
        if (value == L"never") return SetAck{simulated::AckMode::Never, 1};
        const auto number = ParseUnsigned(value);
        if (number && *number >= 1) return SetAck{simulated::AckMode::AfterReads, *number};
        error = L"ack takes now, never or a read count of 1 or more";
    } else if (what == L"ack-delay") {
        const auto number = ParseUnsigned(value);
        if (number && *number <= simulated::kMaxAckDelayMs) return SetAckDelay{*number};
        error = L"ack-delay takes milliseconds from 0 to 10000";
    } else if (what == L"winio") {
        if (value == L"ok") return SetWinio{true};
        if (value == L"fail") return SetWinio{false};
        error = L"winio takes ok or fail";
    } else {
        error = L"unknown setting: " + what;
    }
    return std::nullopt;
}

std::optional<Command> ParseKey(const std::vector<std::wstring>& words, std::wstring& error)
{
    KeyCommand key{};
    const std::wstring& name = words[1];
    if (name == L"hotkey") key = KeyCommand{kHotkeyVirtualKey, kHotkeyScanCode, false, KeyAction::Press};
    else if (name == L"up") key = KeyCommand{kUpArrowVirtualKey, kUpArrowScanCode, true, KeyAction::Press};
    else if (name == L"down") key = KeyCommand{kDownArrowVirtualKey, kDownArrowScanCode, true, KeyAction::Press};
    else if (const auto number = ParseUnsigned(name); number && *number >= 1 && *number <= 0xFF)
        key = KeyCommand{static_cast<uint8_t>(*number), 0, false, KeyAction::Press};
    else {
        error = L"key takes hotkey, up, down or a virtual-key code from 0x01 to 0xFF";
        return std::nullopt;
    }
    if (words.size() == 3) {
        if (words[2] == L"press") key.action = KeyAction::Press;
        else if (words[2] == L"down") key.action = KeyAction::Down;
        else if (words[2] == L"up") key.action = KeyAction::Up;
        else {
            error = L"a key is sent as press, down or up";
            return std::nullopt;
        }
    }
    return key;
}

} // namespace

const wchar_t kUsage[] =
    L"usage: tabsim [--file PATH] COMMAND\n"
    L"  reset                        make the tablet fresh (repairs a damaged file)\n"
    L"  status                       one name=value line per field\n"
    L"  set switches 0xNN            the EC's device-switch byte\n"
    L"  set brightness 0-7\n"
    L"  set volume 0.0-1.0\n"
    L"  set ack now|never|N          EC acknowledges at once, never, or on the Nth read\n"
    L"  set ack-delay MS             EC acknowledges no sooner than MS (0-10000) ms after a command\n"
    L"  set winio ok|fail            whether InitializeWinIo grants port access\n"
    L"  log [--clear]                port accesses, oldest first; --clear then empties the log of them\n"
    L"  key hotkey|up|down|VK [press|down|up]\n"
    L"The tablet is the file in TABVISOR_SIMULATED_TABLET unless --file names one.\n"
    L"Exit codes: 0 done, 1 usage or bad value, 2 damaged file (run reset), 3 cannot open or lock,\n"
    L"4 key refused, 5 output not written.\n";

std::optional<uint32_t> ParseUnsigned(const std::wstring& text)
{
    if (text.empty() || !std::iswdigit(text[0])) return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    wchar_t* end = nullptr;
    errno = 0;
    const unsigned long long value = std::wcstoull(text.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (errno != 0 || *end != L'\0' || value > UINT32_MAX) return std::nullopt;
    if (hex && !std::iswxdigit(text[2])) return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::optional<float> ParseVolume(const std::wstring& text)
{
    // Plain decimals only (no sign, exponent, hex or words), and the range checked on the digits
    // themselves: rounding to a float first would let 1.00000001 pass as 1.
    const size_t point = text.find(L'.');
    const std::wstring whole = text.substr(0, point);
    const std::wstring fraction = point == std::wstring::npos ? L"" : text.substr(point + 1);
    auto digits = [](const std::wstring& part) {
        return std::all_of(part.begin(), part.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    };
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (!digits(whole) || !digits(fraction)) return std::nullopt;
    const size_t firstNonZero = whole.find_first_not_of(L'0');
    const std::wstring significant = firstNonZero == std::wstring::npos ? L"" : whole.substr(firstNonZero);
    const bool fractionIsZero = fraction.find_first_not_of(L'0') == std::wstring::npos;
    if (!(significant.empty() || (significant == L"1" && fractionIsZero))) return std::nullopt;
    return static_cast<float>(std::wcstod(text.c_str(), nullptr));
}

ParseResult ParseCommandLine(const std::vector<std::wstring>& arguments)
{
    std::wstring file;
    std::vector<std::wstring> words;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == L"--file") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) return Error(L"--file needs a path");
            file = arguments[++i];
        } else {
            words.push_back(arguments[i]);
        }
    }
    if (words.empty()) return Error(L"no command");
    if ((words[0] == L"help" || words[0] == L"--help") && words.size() == 1) return Parsed(HelpCommand{}, file);

    const std::wstring& verb = words[0];
    std::wstring error;
    if (verb == L"reset" && words.size() == 1) return Parsed(ResetCommand{}, file);
    if (verb == L"status" && words.size() == 1) return Parsed(StatusCommand{}, file);
    if (verb == L"log" && words.size() == 1) return Parsed(LogCommand{false}, file);
    if (verb == L"log" && words.size() == 2 && words[1] == L"--clear") return Parsed(LogCommand{true}, file);
    if (verb == L"set" && words.size() == 3) {
        if (auto command = ParseSet(words[1], words[2], error)) return Parsed(*command, file);
        return Error(error);
    }
    if (verb == L"key" && (words.size() == 2 || words.size() == 3)) {
        if (auto command = ParseKey(words, error)) return Parsed(*command, file);
        return Error(error);
    }
    return Error(L"unknown command or wrong number of arguments: " + verb);
}

bool NeedsTablet(const Command& command)
{
    return !std::holds_alternative<KeyCommand>(command) && !std::holds_alternative<HelpCommand>(command);
}

} // namespace tabvisor::tabsim
