// Owners for the OLE automation values COM interfaces trade in: BSTR strings, VARIANTs, and the
// per-thread COM apartment.
#pragma once
#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace tabvisor {

class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(const wchar_t* text) : m_bstr(SysAllocString(text)) {}
    UniqueBstr(UniqueBstr&& other) noexcept : m_bstr(std::exchange(other.m_bstr, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept
    {
        if (this != &other) {
            SysFreeString(m_bstr);
            m_bstr = std::exchange(other.m_bstr, nullptr);
        }
        return *this;
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { SysFreeString(m_bstr); }

    BSTR Get() const { return m_bstr; }
    // Never null, so callers can compare or copy without a check.
    const wchar_t* Text() const { return m_bstr ? m_bstr : L""; }
    BSTR* Put()
    {
        SysFreeString(std::exchange(m_bstr, nullptr));
        return &m_bstr;
    }

private:
    BSTR m_bstr = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&m_value); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&m_value); }

    static UniqueVariant FromString(const wchar_t* text)
    {
        UniqueVariant result;
        result.m_value.vt = VT_BSTR;
        result.m_value.bstrVal = SysAllocString(text);
        return result;
    }
    UniqueVariant(UniqueVariant&& other) noexcept : m_value(other.m_value) { VariantInit(&other.m_value); }

    VARIANT& Get() { return m_value; }
    const VARIANT& Get() const { return m_value; }
    VARIANT* Put()
    {
        VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};

// Joins the calling thread to the multithreaded apartment for the object's lifetime.
class MtaApartment {
public:
    MtaApartment() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    MtaApartment(const MtaApartment&) = delete;
    MtaApartment& operator=(const MtaApartment&) = delete;
    ~MtaApartment()
    {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};

} // namespace tabvisor
