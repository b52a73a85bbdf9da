// A fresh simulated tablet for one test: its own state file, selected for this process and the
// programs it starts through TABVISOR_SIMULATED_TABLET, and read and changed directly, in
// tabsim's own formats.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "SimulatedTablet.h"

class TestTablet {
public:
    TestTablet();
    ~TestTablet();
    TestTablet(const TestTablet&) = delete;
    TestTablet& operator=(const TestTablet&) = delete;

    const std::wstring& Path() const { return m_path; }

    // Every status field, as `tabsim status` prints it.
    std::map<std::string, std::string> Status();
    std::string Field(const std::string& name) { return Status()[name]; }
    long long Number(const std::string& name);
    // The port log, oldest first, as `tabsim log` prints it ("out 0x6C 0x11").
    std::vector<std::string> Log();
    void ClearLog();

    // Changes made "elsewhere", as tabsim makes them.
    void SetSwitches(uint8_t switches);
    void SetBrightness(unsigned int level);
    void SetVolume(float scalar);
    void SetAckNow();
    void SetAckNever();
    void SetAckAfterReads(uint32_t reads);
    void SetAckDelay(uint32_t ms);
    void SetWinio(bool granted);

    // Runs `action(TabletState&)` under the tablet's lock; false if the tablet could not be used.
    template <class Action>
    bool Use(Action&& action)
    {
        return m_tablet.Use(std::forward<Action>(action)) == tabvisor::simulated::TabletProblem::None;
    }

private:
    std::wstring m_path;
    std::wstring m_previousVariable;
    bool m_hadVariable = false;
    tabvisor::simulated::SimulatedTablet m_tablet;
};
