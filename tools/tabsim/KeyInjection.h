// Sends a key to the desktop the way a keyboard would, for the program's low-level hook to see.
#pragma once
#include "TabsimCommand.h"

namespace tabvisor::tabsim {

// True when the system took every event (one for down or up, two for a press).
bool InjectKey(const KeyCommand& key);

} // namespace tabvisor::tabsim
