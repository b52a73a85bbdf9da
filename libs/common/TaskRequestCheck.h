// The argument rules of AddTask7EveryBoot, the same for both backends.
#pragma once
#include "TaskRequest.h"

#include <windows.h>

namespace tabvisor::tasks {

// S_OK and the filled request, or E_POINTER / E_INVALIDARG as ClosedLibraries.h describes.
HRESULT CheckTaskRequest(int kind, const wchar_t* name, const wchar_t* program, const wchar_t* author,
                         const wchar_t* description, TaskRequest& request);

} // namespace tabvisor::tasks
