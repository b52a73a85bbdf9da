// Which backend a library call uses: the simulated tablet named by TABVISOR_SIMULATED_TABLET, or
// the system when that variable is unset or empty. Read on every call, so a process can switch.
#pragma once
#include "SimulatedTablet.h"

#include <memory>
#include <string>

namespace tabvisor::simulated {

// The tablet the variable names now, or null for the system backend. The same object is handed
// out while the variable keeps its value, so the file stays open between calls.
std::shared_ptr<SimulatedTablet> SimulatedTabletFromEnvironment();

// The Windows path of a tablet file named by `value`. Under Wine a Unix path ("/tmp/x.tablet")
// is turned into the path Windows programs see; anything else is taken as it is.
std::wstring ResolveTabletPath(const std::wstring& value);

} // namespace tabvisor::simulated
