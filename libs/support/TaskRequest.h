// A request to register the program as a start-up task, as common.dll's AddTask7EveryBoot takes it.
#pragma once
#include <string>

namespace tabvisor {

struct TaskRequest {
    int kind = 0;
    std::wstring name;
    std::wstring program;
    std::wstring author;
    std::wstring description;
};

} // namespace tabvisor
