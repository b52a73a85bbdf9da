// The real port library with the test's own faults in front of it, for the failures the simulated
// tablet cannot make: writes refused before they reach it, reads answered without asking it.
#pragma once

#include <functional>
#include <optional>

#include "EcProtocol.h"
#include "TabletLibraries.h"

struct PortFaults {
    // True: the write fails and reaches nothing.
    std::function<bool(WORD port, DWORD value)> refuseWrite;
    // A value: the read succeeds with it, without reaching the EC.
    std::function<std::optional<DWORD>(WORD port)> answerRead;
};

inline PortFaults g_portFaults;

inline bool FaultyGetPortVal(WORD port, PDWORD value, BYTE size)
{
    if (g_portFaults.answerRead && value != nullptr)
        if (const std::optional<DWORD> answer = g_portFaults.answerRead(port)) {
            *value = *answer;
            return true;
        }
    return WinIo().getPortVal(port, value, size);
}

inline bool FaultySetPortVal(WORD port, DWORD value, BYTE size)
{
    if (g_portFaults.refuseWrite && g_portFaults.refuseWrite(port, value))
        return false;
    return WinIo().setPortVal(port, value, size);
}

// Hands the protocol the faulty library for its life, with no faults until the test sets some.
class ScopedPortFaults {
public:
    ScopedPortFaults()
    {
        g_portFaults = {};
        m_library = WinIo();
        m_library.getPortVal = &FaultyGetPortVal;
        m_library.setPortVal = &FaultySetPortVal;
        SetEcPortLibrary(&m_library);
    }
    ~ScopedPortFaults()
    {
        SetEcPortLibrary(nullptr);
        g_portFaults = {};
    }
    ScopedPortFaults(const ScopedPortFaults&) = delete;
    ScopedPortFaults& operator=(const ScopedPortFaults&) = delete;

    PortFaults& operator*() { return g_portFaults; }
    PortFaults* operator->() { return &g_portFaults; }

private:
    WinIoLibrary m_library;
};
