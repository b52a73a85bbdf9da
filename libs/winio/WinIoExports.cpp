// WINIO.dll: one-byte port access. On the simulated tablet (simulated build only) the ports reach
// its embedded controller model; on a real system there is no port driver, so access is never
// granted.
#include "ClosedLibraries.h"
#include "ExportGuard.h"
#include "TabletSimulation.h"

using tabvisor::ResultOrFailure;
namespace simulation = tabvisor::simulation;

namespace {
constexpr BYTE kOneByte = 1;
} // namespace

extern "C" bool TABVISOR_LIBRARY_CALL InitializeWinIo() noexcept
{
    return ResultOrFailure(false, [] { return simulation::InitializeWinIo().value_or(false); });
}

extern "C" bool TABVISOR_LIBRARY_CALL ShutdownWinIo() noexcept
{
    return ResultOrFailure(false, [] { return simulation::ShutdownWinIo().value_or(false); });
}

extern "C" bool TABVISOR_LIBRARY_CALL GetPortVal(WORD port, PDWORD value, BYTE size) noexcept
{
    if (!value || size != kOneByte) return false;
    return ResultOrFailure(false, [&] { return simulation::GetPortVal(port, *value).value_or(false); });
}

extern "C" bool TABVISOR_LIBRARY_CALL SetPortVal(WORD port, DWORD value, BYTE size) noexcept
{
    if (size != kOneByte) return false;
    return ResultOrFailure(false, [&] { return simulation::SetPortVal(port, value).value_or(false); });
}
