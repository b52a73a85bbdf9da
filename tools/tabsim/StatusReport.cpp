// Formatting of tabsim's status and log reports.
#include "StatusReport.h"

#include "TabletOperations.h"

#include <windows.h>

#include <cstdio>
#include <type_traits>

namespace tabvisor::tabsim {
namespace {

using simulated::AckMode;
using simulated::TabletState;

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty()) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), bytes, nullptr,
                        nullptr);
    return result;
}

template <size_t Capacity>
std::wstring Terminated(const wchar_t (&text)[Capacity])
{
    size_t length = 0;
    while (length < Capacity && text[length] != L'\0') ++length;
    return std::wstring(text, length);
}

std::string AckText(const TabletState& state)
{
    switch (state.ec.ackMode) {
    case AckMode::Now: return "now";
    case AckMode::Never: return "never";
    case AckMode::AfterReads: return std::to_string(state.ec.ackAfterReads);
    }
    return "now";
}

std::string Hex(unsigned int value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

class Lines {
public:
    template <class Value>
    void Add(const char* name, const Value& value)
    {
        m_text += name;
        m_text += '=';
        if constexpr (std::is_same_v<Value, std::string>) m_text += value;
        else m_text += std::to_string(value);
        m_text += '\n';
    }
    std::string Take() { return std::move(m_text); }

private:
    std::string m_text;
};

} // namespace

std::string EscapeForStatus(const std::wstring& text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'\n') escaped += L"\\n";
        else if (c == L'\r') escaped += L"\\r";
        else if (c == L'\t') escaped += L"\\t";
        else if (c < 0x20 || c == 0x7F) {
            wchar_t code[8];
            std::swprintf(code, 8, L"\\x%02X", static_cast<unsigned int>(c));
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return ToUtf8(escaped);
}

std::string FormatStatus(const TabletState& state)
{
    char volume[32];
    std::snprintf(volume, sizeof volume, "%.6f", static_cast<double>(state.volume));
    const auto& counters = state.counters;
    Lines lines;
    lines.Add("switches", Hex(state.ec.switches, 2));
    lines.Add("brightness", state.brightness);
    lines.Add("brightness_queries", counters.brightnessQueries);
    lines.Add("brightness_sets", counters.brightnessSets);
    lines.Add("volume", std::string(volume));
    lines.Add("volume_reads", counters.volumeReads);
    lines.Add("volume_writes", counters.volumeWrites);
    lines.Add("ec_ack", AckText(state));
    lines.Add("ec_reads", counters.ecReadCommands);
    lines.Add("ec_writes", counters.ecWriteCommands);
    lines.Add("winio", std::string(state.winio.granted ? "ok" : "fail"));
    lines.Add("winio_open", simulated::AnyPortWindowOpen(state) ? 1 : 0);
    lines.Add("winio_opens", counters.winioOpens);
    lines.Add("task_calls", counters.taskCalls);
    lines.Add("task_kind", state.task.kind);
    lines.Add("task_name", EscapeForStatus(Terminated(state.task.name)));
    lines.Add("task_program", EscapeForStatus(Terminated(state.task.program)));
    lines.Add("task_author", EscapeForStatus(Terminated(state.task.author)));
    lines.Add("task_description", EscapeForStatus(Terminated(state.task.description)));
    lines.Add("port_denied", counters.portDenied);
    lines.Add("ec_ack_delay_ms", state.ec.ackDelayMs);
    return lines.Take();
}

std::string FormatLogLine(const simulated::PortAccess& access)
{
    const char* direction = access.direction == simulated::PortDirection::Out ? "out" : "in";
    return std::string(direction) + ' ' + Hex(access.port, 1) + ' ' + Hex(access.value, 2) + '\n';
}

} // namespace tabvisor::tabsim
