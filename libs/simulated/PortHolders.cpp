// The per-process events that tell live port holders from ended ones.
#include "PortHolders.h"

#include "Handles.h"

#include <string>

namespace tabvisor::simulated {
namespace {

std::wstring MarkName(uint32_t processId) { return L"Local\\TabvisorPortHolder." + std::to_wstring(processId); }

} // namespace

bool MarkThisProcessAsPortHolder()
{
    // Made once and never closed: the system closes it when the process ends, however it ends.
    static const HANDLE mark = CreateEventW(nullptr, TRUE, FALSE, MarkName(GetCurrentProcessId()).c_str());
    return mark != nullptr;
}

bool PortHolderHasEnded(uint32_t processId)
{
    afx::unique_handle mark(OpenEventW(SYNCHRONIZE, FALSE, MarkName(processId).c_str()));
    return !mark && GetLastError() == ERROR_FILE_NOT_FOUND;
}

} // namespace tabvisor::simulated
