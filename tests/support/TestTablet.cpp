// A simulated tablet per test, in a temporary file.
#include "TestTablet.h"

#include <cstdlib>
#include <sstream>

#include "ClosedLibraries.h"
#include "EmbeddedControllerModel.h"
#include "StatusReport.h"
#include "TabletOperations.h"

namespace sim = tabvisor::simulated;

namespace {

std::wstring NewTabletPath()
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    wchar_t file[MAX_PATH] = {};
    ::GetTempFileNameW(folder, L"tvt", 0, file);  // creates it empty: a fresh tablet on first use
    return file;
}

std::wstring ReadVariable(const wchar_t* name, bool& present)
{
    const DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
    present = length != 0;
    if (!present)
        return {};
    std::wstring value(length, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), length));
    return value;
}

} // namespace

TestTablet::TestTablet() : m_path(NewTabletPath()), m_tablet(m_path)
{
    m_previousVariable = ReadVariable(closed_libraries::kSimulatedTabletVariable, m_hadVariable);
    ::SetEnvironmentVariableW(closed_libraries::kSimulatedTabletVariable, m_path.c_str());
    m_tablet.Reset();
}

TestTablet::~TestTablet()
{
    ::SetEnvironmentVariableW(closed_libraries::kSimulatedTabletVariable,
                              m_hadVariable ? m_previousVariable.c_str() : nullptr);
    ::DeleteFileW(m_path.c_str());
}

std::map<std::string, std::string> TestTablet::Status()
{
    std::string text;
    Use([&](sim::TabletState& state) { text = tabvisor::tabsim::FormatStatus(state); });
    std::map<std::string, std::string> fields;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}

long long TestTablet::Number(const std::string& name)
{
    const std::string value = Field(name);
    return std::strtoll(value.c_str(), nullptr, 0);
}

std::vector<std::string> TestTablet::Log()
{
    std::vector<std::string> lines;
    Use([&](sim::TabletState& state) {
        const size_t count = sim::LoggedAccessCount(state);
        for (size_t i = 0; i < count; ++i)
            lines.push_back(tabvisor::tabsim::FormatLogLine(sim::LoggedAccess(state, i)));
    });
    return lines;
}

void TestTablet::ClearLog()
{
    Use([](sim::TabletState& state) { sim::ClearPortLog(state); });
}

void TestTablet::SetSwitches(uint8_t switches)
{
    Use([&](sim::TabletState& state) { sim::SetSwitchesElsewhere(state, switches); });
}

void TestTablet::SetBrightness(unsigned int level)
{
    Use([&](sim::TabletState& state) { sim::SetBrightnessElsewhere(state, level); });
}

void TestTablet::SetVolume(float scalar)
{
    Use([&](sim::TabletState& state) { sim::SetVolumeElsewhere(state, scalar); });
}

void TestTablet::SetAckNow()
{
    Use([](sim::TabletState& state) { sim::SetAckMode(state, sim::AckMode::Now, 0); });
}

void TestTablet::SetAckNever()
{
    Use([](sim::TabletState& state) { sim::SetAckMode(state, sim::AckMode::Never, 0); });
}

void TestTablet::SetAckAfterReads(uint32_t reads)
{
    Use([&](sim::TabletState& state) { sim::SetAckMode(state, sim::AckMode::AfterReads, reads); });
}

void TestTablet::SetAckDelay(uint32_t ms)
{
    Use([&](sim::TabletState& state) { sim::SetAckDelay(state, ms); });
}

void TestTablet::SetWinio(bool granted)
{
    Use([&](sim::TabletState& state) { sim::SetPortAccessGranted(state, granted); });
}
