// The developer trace: one formatted line to the debug output.
#include "Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <iterator>

namespace afx {

void Trace(const wchar_t* format, ...) noexcept
{
    // Whatever a trace is asked to say, it keeps the failure's last-error value for the caller.
    const DWORD error = ::GetLastError();
    constexpr wchar_t kPrefix[] = L"Tabvisor: ";
    wchar_t line[256] = {};
    std::wcscpy(line, kPrefix);
    const size_t start = std::size(kPrefix) - 1;
    const size_t room = std::size(line) - start - 1;  // one left for the line end
    va_list args;
    va_start(args, format);
    const int written = std::vswprintf(line + start, room, format, args);
    va_end(args);
    size_t end = written < 0 ? std::wcslen(line) : start + static_cast<size_t>(written);
    if (end > std::size(line) - 2)
        end = std::size(line) - 2;
    line[end] = L'\n';
    line[end + 1] = L'\0';
    ::OutputDebugStringW(line);
    ::SetLastError(error);
}

} // namespace afx
