// Checks and copies the arguments of AddTask7EveryBoot.
#include "TaskRequestCheck.h"

#include "ClosedLibraries.h"

#include <cwchar>

namespace tabvisor::tasks {
namespace {

// The length of `text` (null counts as empty), or limit + 1 when it is longer than `limit`;
// never reads past limit + 1 characters of an unterminated string.
size_t BoundedLength(const wchar_t* text, size_t limit)
{
    return text ? wcsnlen(text, limit + 1) : 0;
}

} // namespace

HRESULT CheckTaskRequest(int kind, const wchar_t* name, const wchar_t* program, const wchar_t* author,
                         const wchar_t* description, TaskRequest& request)
{
    using namespace closed_libraries;
    if (!name || !program) return E_POINTER;
    const size_t nameLength = BoundedLength(name, kMaxTaskNameLength);
    const size_t programLength = BoundedLength(program, kMaxTaskProgramLength);
    const size_t authorLength = BoundedLength(author, kMaxTaskAuthorLength);
    const size_t descriptionLength = BoundedLength(description, kMaxTaskDescriptionLength);
    if (kind != kTaskKindAtLogon || nameLength == 0 || programLength == 0 || nameLength > kMaxTaskNameLength ||
        programLength > kMaxTaskProgramLength || authorLength > kMaxTaskAuthorLength ||
        descriptionLength > kMaxTaskDescriptionLength || std::wmemchr(name, L'\\', nameLength))
        return E_INVALIDARG;
    request.kind = kind;
    request.name.assign(name, nameLength);
    request.program.assign(program, programLength);
    request.author.assign(author ? author : L"", authorLength);
    request.description.assign(description ? description : L"", descriptionLength);
    return S_OK;
}

} // namespace tabvisor::tasks
