// What a built program file says about itself: the strings and numbers of its version
// information.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

// A string of the file's version information in US English (Unicode), such as "ProductName";
// empty when it has none.
std::wstring VersionString(const std::wstring& file, const wchar_t* name);

// The file's fixed version numbers, FILEVERSION and PRODUCTVERSION, each as four parts.
struct FixedVersions {
    std::array<WORD, 4> file{};
    std::array<WORD, 4> product{};
};
std::optional<FixedVersions> FixedVersionsOf(const std::wstring& file);
