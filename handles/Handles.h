// Owning handle wrappers, the one family for the program, the libraries and the setup's helper:
// one move-only RAII template with a typedef per handle type, a scope that makes one call when it
// ends, a window-DC owner, and a guard that puts back the object a DC held before a selection.
// A raw handle (HWND, HANDLE...) is a borrowed one; only these types own. Freeing a handle never
// changes the thread's last-error value, so a failure read after a clean-up is the failure.
// Header-only: the libraries include it without linking the framework. COM owners are in
// ComHandles.h.
#pragma once

#include <windows.h>

#include <utility>

namespace afx {

namespace detail {
// Runs `close` with the thread's last-error value kept as it was before.
template <class Close>
void close_keeping_last_error(Close&& close) noexcept
{
    const DWORD error = ::GetLastError();
    close();
    ::SetLastError(error);
}
} // namespace detail

// Traits name a handle type, the value that means "no handle" and the call that frees one.
template <typename Handle, auto Close, Handle Invalid = Handle{}>
struct handle_traits {
    using type = Handle;
    static constexpr Handle invalid() noexcept { return Invalid; }
    static void close(Handle h) noexcept { Close(h); }
};

template <typename Traits>
class unique_any {
public:
    using pointer = typename Traits::type;

    unique_any() noexcept = default;
    explicit unique_any(pointer h) noexcept : m_h(h) {}
    ~unique_any() { reset(); }

    unique_any(unique_any&& other) noexcept : m_h(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;

    pointer get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != Traits::invalid(); }

    pointer release() noexcept { return std::exchange(m_h, Traits::invalid()); }
    void reset(pointer h = Traits::invalid()) noexcept
    {
        pointer old = std::exchange(m_h, h);
        if (old != Traits::invalid())
            detail::close_keeping_last_error([old] { Traits::close(old); });
    }
    // For out-parameters: frees the current handle and lends the slot.
    pointer* put() noexcept
    {
        reset();
        return &m_h;
    }

private:
    pointer m_h = Traits::invalid();
};

namespace detail {
inline void delete_gdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void delete_dc(HDC h) noexcept { ::DeleteDC(h); }
inline void unhook(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }
inline void free_library(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void global_free(HGLOBAL h) noexcept { ::GlobalFree(h); }
inline void close_handle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void destroy_window(HWND h) noexcept { ::DestroyWindow(h); }
inline void destroy_menu(HMENU h) noexcept { ::DestroyMenu(h); }
inline void unmap_view(void* view) noexcept { ::UnmapViewOfFile(view); }
inline void local_free(HLOCAL memory) noexcept { ::LocalFree(memory); }
} // namespace detail

using unique_hbitmap = unique_any<handle_traits<HBITMAP, detail::delete_gdi>>;
using unique_hbrush = unique_any<handle_traits<HBRUSH, detail::delete_gdi>>;
using unique_hrgn = unique_any<handle_traits<HRGN, detail::delete_gdi>>;
using unique_hgdiobj = unique_any<handle_traits<HGDIOBJ, detail::delete_gdi>>;
using unique_hdc = unique_any<handle_traits<HDC, detail::delete_dc>>;  // memory DCs
using unique_hhook = unique_any<handle_traits<HHOOK, detail::unhook>>;
using unique_hmodule = unique_any<handle_traits<HMODULE, detail::free_library>>;
using unique_hglobal = unique_any<handle_traits<HGLOBAL, detail::global_free>>;
using unique_handle = unique_any<handle_traits<HANDLE, detail::close_handle>>;
using unique_hwnd = unique_any<handle_traits<HWND, detail::destroy_window>>;
using unique_hmenu = unique_any<handle_traits<HMENU, detail::destroy_menu>>;
using unique_mapped_view = unique_any<handle_traits<void*, detail::unmap_view>>;  // MapViewOfFile
using unique_hlocal = unique_any<handle_traits<HLOCAL, detail::local_free>>;       // what the system LocalAllocs for us

// File handles use INVALID_HANDLE_VALUE for "none", which is not a constant expression.
struct file_handle_traits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using unique_hfile = unique_any<file_handle_traits>;

// Makes one call when it ends, unless released first: for a pairing such as CoInitializeEx and
// CoUninitialize, where there is no handle to hold.
template <auto Call>
class unique_call {
public:
    unique_call() noexcept = default;
    explicit unique_call(bool armed) noexcept : m_armed(armed) {}
    ~unique_call() { reset(); }
    unique_call(unique_call&& other) noexcept : m_armed(std::exchange(other.m_armed, false)) {}
    unique_call& operator=(unique_call&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_armed = std::exchange(other.m_armed, false);
        }
        return *this;
    }
    unique_call(const unique_call&) = delete;
    unique_call& operator=(const unique_call&) = delete;

    explicit operator bool() const noexcept { return m_armed; }
    void release() noexcept { m_armed = false; }
    void reset() noexcept
    {
        if (std::exchange(m_armed, false))
            detail::close_keeping_last_error([] { Call(); });
    }

private:
    bool m_armed = false;
};

// A DC from GetDC must go back to its window with ReleaseDC, so it carries the window along.
class unique_window_dc {
public:
    unique_window_dc() noexcept = default;
    explicit unique_window_dc(HWND hwnd) noexcept : m_hwnd(hwnd), m_hdc(::GetDC(hwnd)) {}
    ~unique_window_dc() { reset(); }
    unique_window_dc(unique_window_dc&& other) noexcept
        : m_hwnd(std::exchange(other.m_hwnd, nullptr)), m_hdc(std::exchange(other.m_hdc, nullptr)) {}
    unique_window_dc& operator=(unique_window_dc&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_hwnd = std::exchange(other.m_hwnd, nullptr);
            m_hdc = std::exchange(other.m_hdc, nullptr);
        }
        return *this;
    }
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;

    HDC get() const noexcept { return m_hdc; }
    explicit operator bool() const noexcept { return m_hdc != nullptr; }
    void reset() noexcept
    {
        if (m_hdc)
            detail::close_keeping_last_error([this] { ::ReleaseDC(m_hwnd, m_hdc); });
        m_hdc = nullptr;
        m_hwnd = nullptr;
    }

private:
    HWND m_hwnd = nullptr;
    HDC m_hdc = nullptr;
};

// Selects an object into a DC for the guard's lifetime and puts the previous one back after. An
// empty guard (default-made, or moved from) puts nothing back.
class select_object_guard {
public:
    select_object_guard() noexcept = default;
    select_object_guard(HDC dc, HGDIOBJ obj) noexcept
        : m_dc(dc), m_old(dc && obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~select_object_guard() { restore(); }
    select_object_guard(select_object_guard&& other) noexcept
        : m_dc(std::exchange(other.m_dc, nullptr)), m_old(std::exchange(other.m_old, nullptr)) {}
    select_object_guard& operator=(select_object_guard&& other) noexcept
    {
        if (this != &other) {
            restore();
            m_dc = std::exchange(other.m_dc, nullptr);
            m_old = std::exchange(other.m_old, nullptr);
        }
        return *this;
    }
    select_object_guard(const select_object_guard&) = delete;
    select_object_guard& operator=(const select_object_guard&) = delete;

    HGDIOBJ previous() const noexcept { return m_old; }
    // True when the selection was made (the DC took the object).
    explicit operator bool() const noexcept { return m_old != nullptr && m_old != HGDI_ERROR; }
    void restore() noexcept
    {
        if (*this)
            ::SelectObject(m_dc, m_old);
        m_dc = nullptr;
        m_old = nullptr;
    }

private:
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

} // namespace afx
