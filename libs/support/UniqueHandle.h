// Move-only owners for kernel handles and mapped views, so no code path has to remember to close one.
#pragma once
#include <windows.h>

#include <utility>

namespace tabvisor {

// Owns a kernel handle. Both null and INVALID_HANDLE_VALUE count as "no handle", because
// CreateFile reports failure with one and most other calls with the other.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(Normalize(handle)) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(HANDLE handle = nullptr)
    {
        if (m_handle) CloseHandle(m_handle);
        m_handle = Normalize(handle);
    }

private:
    static HANDLE Normalize(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
    HANDLE m_handle = nullptr;
};

// Owns a view of a file mapping.
class MappedView {
public:
    MappedView() = default;
    explicit MappedView(void* address) : m_address(address) {}
    MappedView(MappedView&& other) noexcept : m_address(std::exchange(other.m_address, nullptr)) {}
    MappedView& operator=(MappedView&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_address = std::exchange(other.m_address, nullptr);
        }
        return *this;
    }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    ~MappedView() { Reset(); }

    void* Get() const { return m_address; }
    explicit operator bool() const { return m_address != nullptr; }
    void Reset()
    {
        if (m_address) UnmapViewOfFile(m_address);
        m_address = nullptr;
    }

private:
    void* m_address = nullptr;
};

} // namespace tabvisor
