// COM owners of the family in Handles.h: a reference-counted interface pointer, a BSTR, a
// VARIANT that is cleared when it ends, and the scope of a thread's COM apartment.
#pragma once

#include "Handles.h"

#include <objbase.h>
#include <oleauto.h>

#include <utility>

namespace afx {

// An interface pointer that holds one reference: a copy adds one, the end releases it. (COM
// objects are shared by counting, so this is the one owner that is not move-only.)
template <class Interface>
class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(const com_ptr& other) noexcept : m_ptr(other.m_ptr) { add_ref(); }
    com_ptr(com_ptr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    com_ptr& operator=(com_ptr other) noexcept
    {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }
    ~com_ptr() { reset(); }

    Interface* get() const noexcept { return m_ptr; }
    Interface* operator->() const noexcept { return m_ptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }

    // For out-parameters: drops what is held and lends the slot.
    Interface** put() noexcept
    {
        reset();
        return &m_ptr;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept
    {
        if (m_ptr)
            std::exchange(m_ptr, nullptr)->Release();
    }

    // The object's Other interface, or an empty pointer when it has none.
    template <class Other>
    com_ptr<Other> query() const noexcept
    {
        com_ptr<Other> result;
        if (m_ptr)
            m_ptr->QueryInterface(__uuidof(Other), result.put_void());
        return result;
    }

private:
    void add_ref() noexcept
    {
        if (m_ptr)
            m_ptr->AddRef();
    }
    Interface* m_ptr = nullptr;
};

namespace detail {
inline void free_bstr(BSTR text) noexcept { ::SysFreeString(text); }
} // namespace detail

using unique_bstr = unique_any<handle_traits<BSTR, detail::free_bstr>>;

// A BSTR copy of `text` (empty when the system has no memory for it).
inline unique_bstr make_bstr(const wchar_t* text) noexcept { return unique_bstr(::SysAllocString(text)); }
// A BSTR's text, never null: a null BSTR is the empty string.
inline const wchar_t* text_of(const unique_bstr& text) noexcept { return text ? text.get() : L""; }

// A VARIANT that is cleared (freeing what it holds) when it ends or is lent for writing.
class unique_variant {
public:
    unique_variant() noexcept { ::VariantInit(&m_value); }
    unique_variant(unique_variant&& other) noexcept : m_value(other.m_value) { ::VariantInit(&other.m_value); }
    unique_variant& operator=(unique_variant&& other) noexcept
    {
        if (this != &other) {
            ::VariantClear(&m_value);
            m_value = other.m_value;
            ::VariantInit(&other.m_value);
        }
        return *this;
    }
    unique_variant(const unique_variant&) = delete;
    unique_variant& operator=(const unique_variant&) = delete;
    ~unique_variant() { ::VariantClear(&m_value); }

    // A VT_BSTR variant holding a copy of `text`.
    static unique_variant from_string(const wchar_t* text) noexcept
    {
        unique_variant result;
        result.m_value.vt = VT_BSTR;
        result.m_value.bstrVal = ::SysAllocString(text);
        return result;
    }

    VARIANT& get() noexcept { return m_value; }
    const VARIANT& get() const noexcept { return m_value; }
    VARIANT* put() noexcept
    {
        ::VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};

// The calling thread's membership of a COM apartment: CoUninitialize at the end of the scope,
// when CoInitializeEx succeeded.
using unique_couninitialize_call = unique_call<::CoUninitialize>;

// Joins the calling thread to the apartment `flags` names; `result` is CoInitializeEx's answer.
inline unique_couninitialize_call co_initialize(DWORD flags, HRESULT& result) noexcept
{
    result = ::CoInitializeEx(nullptr, flags);
    return unique_couninitialize_call(SUCCEEDED(result));
}

} // namespace afx
