// Reading a file's version information.
#include "ProgramFile.h"

#include <vector>

namespace {

std::vector<BYTE> VersionBlock(const std::wstring& file)
{
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &handle);
    std::vector<BYTE> block(size);
    if (size == 0 || !::GetFileVersionInfoW(file.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

std::array<WORD, 4> Parts(DWORD high, DWORD low)
{
    return {HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low)};
}

} // namespace

std::wstring VersionString(const std::wstring& file, const wchar_t* name)
{
    std::vector<BYTE> block = VersionBlock(file);
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (block.empty() || !::VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0)
        return {};
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

std::optional<FixedVersions> FixedVersionsOf(const std::wstring& file)
{
    std::vector<BYTE> block = VersionBlock(file);
    void* value = nullptr;
    UINT length = 0;
    if (block.empty() || !::VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    return FixedVersions{Parts(info->dwFileVersionMS, info->dwFileVersionLS),
                         Parts(info->dwProductVersionMS, info->dwProductVersionLS)};
}
