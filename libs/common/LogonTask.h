// Registers a program with the Task Scheduler (2.0 interface) to start for the interactive user at
// every logon. Blocks for as long as the Task Scheduler takes; common.dll calls it on its
// background thread.
#pragma once
#include "TaskRequest.h"

#include <windows.h>

namespace tabvisor::tasks {

// The task runs `program` at each logon of the current user, in that user's session and without
// raised rights, with no execution time limit, and is neither held back nor stopped on battery.
// A task of the same name is replaced. The calling thread must be in a COM apartment.
HRESULT RegisterLogonTask(const TaskRequest& request);

// RegisterLogonTask, tried again with growing pauses (about 15 seconds in all) while the failure
// may pass: at logon the Task Scheduler may still be starting, and Wine's fails to start when two
// clients ask for it at the same moment. A refusal of the request itself is final.
HRESULT RegisterLogonTaskPatiently(const TaskRequest& request);

} // namespace tabvisor::tasks
