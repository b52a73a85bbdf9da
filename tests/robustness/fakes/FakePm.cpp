// A PM.dll that answers whatever level the test chose, however far outside 0 to 7, and a
// nonsense result for every set.
#include "ClosedLibraries.h"
#include "FakeControl.h"

using namespace fake_library;

extern "C" unsigned int TABVISOR_LIBRARY_CALL QueryCurrentBrightnessLevel()
{
    const unsigned int level = static_cast<unsigned int>(NumberVariable(kLevelVariable, 0xFFFFFFFFul));
    Log("query 0x%X", level);
    return level;
}

extern "C" unsigned int TABVISOR_LIBRARY_CALL SetBrightnessLevel(unsigned int level)
{
    Log("set %u", level);
    return static_cast<unsigned int>(NumberVariable(kSetResultVariable, 0xDEADBEEFul));
}
