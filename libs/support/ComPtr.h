// A small owning pointer for COM interfaces: AddRef on copy, Release on destruction.
#pragma once
#include <unknwn.h>

#include <utility>

namespace tabvisor {

template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : m_ptr(other.m_ptr) { AddRefIfAny(); }
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller already owns.
    static ComPtr Adopt(Interface* ptr)
    {
        ComPtr result;
        result.m_ptr = ptr;
        return result;
    }

    Interface* Get() const { return m_ptr; }
    Interface* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    // For out-parameters: drops what is held and hands out the slot.
    Interface** Put()
    {
        Reset();
        return &m_ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset()
    {
        if (m_ptr) std::exchange(m_ptr, nullptr)->Release();
    }

    template <class Other>
    ComPtr<Other> As() const
    {
        ComPtr<Other> result;
        if (m_ptr) m_ptr->QueryInterface(__uuidof(Other), result.PutVoid());
        return result;
    }

private:
    void AddRefIfAny()
    {
        if (m_ptr) m_ptr->AddRef();
    }
    Interface* m_ptr = nullptr;
};

} // namespace tabvisor
