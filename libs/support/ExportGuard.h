// The wall every export's body runs behind: a C caller (and, on x86, the program's call thunk,
// which has no unwind information) cannot take a C++ exception, so whatever a body throws ends
// here as the failure result that export documents.
#pragma once
#include <windows.h>

#include <new>
#include <system_error>
#include <utility>

namespace tabvisor {

// Runs body() and returns its result, or `failure` if it throws anything.
template <class Result, class Body>
Result ResultOrFailure(Result failure, Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return failure;
    }
}

// For the HRESULT exports: E_OUTOFMEMORY for a failed allocation or a thread that could not
// start (std::system_error), E_UNEXPECTED for anything else.
template <class Body>
int HResultOrFailure(Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::system_error&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace tabvisor
