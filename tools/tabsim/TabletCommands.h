// Carries out tabsim's tablet commands and prints their results.
#pragma once
#include "SimulatedTablet.h"
#include "TabsimCommand.h"

namespace tabvisor::tabsim {

enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 1,
    kExitNotATablet = 2, // the file is damaged or of another version: tabsim reset repairs it
    kExitNoAccess = 3,   // cannot open the file, or the lock was not to be had
    kExitKeyRefused = 4, // the system did not take the injected key
    kExitNoOutput = 5,   // the output could not be written (a full disk, a closed pipe): nothing was cleared
};

// Writes `text` to standard output; kExitOk, or kExitNoOutput (with a word on standard error)
// when it could not be written whole.
int PrintOut(const std::string& text);

int RunTabletCommand(simulated::SimulatedTablet& tablet, const Command& command);

} // namespace tabvisor::tabsim
