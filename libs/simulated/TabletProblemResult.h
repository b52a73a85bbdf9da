// How a simulated tablet that cannot be used shows in the HRESULT of common.dll's calls.
#pragma once
#include "TabletFile.h"

#include <winerror.h>

namespace tabvisor::simulated {

inline HRESULT ProblemAsResult(TabletProblem problem)
{
    switch (problem) {
    case TabletProblem::None: return S_OK;
    case TabletProblem::CannotOpen: return HRESULT_FROM_WIN32(ERROR_OPEN_FAILED);
    case TabletProblem::NotATablet: return HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT);
    case TabletProblem::LockTimeout: return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    return E_FAIL;
}

} // namespace tabvisor::simulated
