// UTF-8 output to the standard handles.
#include "ConsoleOutput.h"

#include <windows.h>

namespace tabvisor::tabsim {
namespace {

bool WriteBytes(DWORD which, const std::string& bytes)
{
    if (bytes.empty()) return true;
    HANDLE handle = GetStdHandle(which);
    if (!handle || handle == INVALID_HANDLE_VALUE) return false;
    size_t offset = 0;
    while (offset < bytes.size()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 20));
        if (!WriteFile(handle, bytes.data() + offset, chunk, &written, nullptr) || written == 0) return false;
        offset += written;
    }
    return true;
}

} // namespace

bool WriteOut(const std::string& utf8)
{
    return WriteBytes(STD_OUTPUT_HANDLE, utf8);
}

bool WriteError(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return true;
    std::string utf8(static_cast<size_t>(bytes - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
    return WriteBytes(STD_ERROR_HANDLE, utf8);
}

} // namespace tabvisor::tabsim
