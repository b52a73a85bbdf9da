// Resource string loading for CString, in the module state's language when it has one.
#include "String.h"

#include "App.h"

namespace {

// String `id` from the block of `language` in `module`, lent from the resource itself; empty when
// that language has no such block or the block holds no such string.
std::wstring_view StringInLanguage(HINSTANCE module, UINT id, LANGID language)
{
    HRSRC block = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW((id >> 4) + 1), language);
    HGLOBAL loaded = block ? ::LoadResource(module, block) : nullptr;
    const auto* words = loaded ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
    if (words == nullptr)
        return {};
    // A block holds sixteen strings, each its length followed by that many characters.
    const WCHAR* const end = words + ::SizeofResource(module, block) / sizeof(WCHAR);
    for (UINT index = 0; index < (id & 15); ++index) {
        if (words >= end)
            return {};
        words += 1 + *words;
    }
    if (words >= end || words + 1 + *words > end)
        return {};
    return std::wstring_view(words + 1, *words);
}

} // namespace

BOOL CString::LoadString(UINT id)
{
    m_text.clear();
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
    if (const LANGID language = AfxGetModuleState()->m_stringLanguage; language != 0) {
        m_text = StringInLanguage(module, id, language);
        if (!m_text.empty())
            return TRUE;
    }
    // With a zero buffer size LoadStringW lends a pointer into the resource itself, so any length fits.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr)
        return FALSE;
    m_text.assign(text, static_cast<size_t>(length));
    return TRUE;
}
