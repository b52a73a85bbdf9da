// A PM.dll that answers whatever level the test chose, however far outside 0 to 7, and a
// nonsense result for every set; or, lagging, one that keeps a level of its own and reports each
// set only a while after it; each call as slow, or as stuck, as the test asks.
#include "ClosedLibraries.h"
#include "FakeControl.h"

using namespace fake_library;

namespace {

LaggingValue<unsigned int>& LaggingLevel()
{
    static LaggingValue<unsigned int> level(static_cast<unsigned int>(NumberVariable(kLevelVariable, 3)));
    return level;
}

} // namespace

extern "C" unsigned int TABVISOR_LIBRARY_CALL QueryCurrentBrightnessLevel() noexcept
{
    TakeTheTimeAsked();
    const ULONGLONG lag = NumberVariable(kLagVariable, 0);
    const unsigned int level =
        lag != 0 ? LaggingLevel().Read(lag) : static_cast<unsigned int>(NumberVariable(kLevelVariable, 0xFFFFFFFFul));
    Log("query 0x%X", level);
    return level;
}

extern "C" unsigned int TABVISOR_LIBRARY_CALL SetBrightnessLevel(unsigned int level) noexcept
{
    TakeTheTimeAsked();
    const ULONGLONG lag = NumberVariable(kLagVariable, 0);
    if (lag != 0)
        LaggingLevel().Write(level, lag);
    Log("set %u", level);
    return static_cast<unsigned int>(NumberVariable(kSetResultVariable, 0xDEADBEEFul));
}
