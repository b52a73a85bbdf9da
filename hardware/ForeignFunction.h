// ForeignFunction<R(Args...)>: an entry point of a library we did not write, called safely
// whichever calling convention it was built with. On x86 the maker's libraries may clean up
// their arguments themselves (__stdcall) or leave that to the caller (__cdecl); calling through a
// pointer of the wrong kind shifts the caller's stack by the arguments' size on every call. So on
// x86 each call goes through CallForeignEntry, which remembers the stack pointer and puts it back
// after the call, whatever the callee did. x64 has a single calling convention.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

#if defined(__i386__) || defined(_M_IX86)
#define TABVISOR_FOREIGN_CALL_THUNK 1
// Pushes `count` 32-bit arguments (args[0] first in memory, as both conventions expect), calls
// `entry` and returns its EAX, with the stack as it was before the call.
extern "C" uint32_t __cdecl CallForeignEntry(const void* entry, const uint32_t* args, uint32_t count);
#endif

template <class Signature>
class ForeignFunction;

template <class R, class... Args>
class ForeignFunction<R(Args...)> {
    // Every argument and result fits one 32-bit stack slot or register: integers and pointers.
    static_assert(((std::is_integral_v<Args> || std::is_pointer_v<Args>) && ...), "32-bit arguments only");
    static_assert(((sizeof(Args) <= sizeof(void*)) && ...), "32-bit arguments only");
    static_assert(std::is_integral_v<R> && sizeof(R) <= 4, "an integer result in EAX only");

public:
    ForeignFunction() = default;
    ForeignFunction(std::nullptr_t) {}
    // An exported entry point found with GetProcAddress.
    explicit ForeignFunction(FARPROC entry) : m_entry(reinterpret_cast<const void*>(entry)) {}
    // One of our own functions standing in for an entry point (tests): ordinary convention.
    ForeignFunction(R (*function)(Args...)) : m_entry(reinterpret_cast<const void*>(function)) {}

    explicit operator bool() const { return m_entry != nullptr; }
    friend bool operator==(const ForeignFunction& f, std::nullptr_t) { return f.m_entry == nullptr; }
    friend bool operator!=(const ForeignFunction& f, std::nullptr_t) { return f.m_entry != nullptr; }

    R operator()(Args... args) const
    {
#ifdef TABVISOR_FOREIGN_CALL_THUNK
        const uint32_t slots[sizeof...(Args) + 1] = {Slot(args)..., 0};
        const uint32_t eax = CallForeignEntry(m_entry, slots, sizeof...(Args));
        // A bool comes back in AL alone; the rest of EAX is whatever the callee left there.
        if constexpr (std::is_same_v<R, bool>)
            return static_cast<uint8_t>(eax) != 0;
        else
            return static_cast<R>(eax);
#else
        return reinterpret_cast<R (*)(Args...)>(m_entry)(args...);
#endif
    }

private:
    template <class A>
    static uint32_t Slot(A value)
    {
        if constexpr (std::is_pointer_v<A>)
            return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value));
        else
            return static_cast<uint32_t>(value);
    }

    const void* m_entry = nullptr;
};
