// A UTF-16 string with the few operations the program's windows need, resource strings included.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    CString(std::wstring_view text) : m_text(text) {}

    // Loads string resource `id` from the program's resources, in the module state's string language
    // when it has that string, else as the system chooses; false (and empty) when there is none.
    BOOL LoadString(UINT id);

    BOOL IsEmpty() const noexcept { return m_text.empty(); }
    void Empty() noexcept { m_text.clear(); }
    const wchar_t* GetString() const noexcept { return m_text.c_str(); }
    operator const wchar_t*() const noexcept { return m_text.c_str(); }
    const std::wstring& str() const noexcept { return m_text; }

    CString& operator=(const wchar_t* text)
    {
        m_text = text ? text : L"";
        return *this;
    }
    CString& operator+=(std::wstring_view text)
    {
        m_text += text;
        return *this;
    }
    bool operator==(const CString& other) const noexcept { return m_text == other.m_text; }
    bool operator==(const wchar_t* other) const noexcept { return m_text == (other ? other : L""); }

private:
    std::wstring m_text;
};
