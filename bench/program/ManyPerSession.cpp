// The counting builds' stand-in for the session's instance record: the benchmark runs several of
// them side by side in its one session (idle is measured at the same time for each), so they
// claim nothing and every start runs in full. Tabvisor.exe itself keeps the record.
#include "SingleInstance.h"

SingleInstance::Claim SingleInstance::ClaimOrAskRunning() { return Claim::Unguarded; }

void SingleInstance::PublishPanel(HWND) {}
