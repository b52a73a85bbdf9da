// Helpers shared by the framework tests: message pumping and a watchdog for modal loops.
#pragma once

#include <windows.h>

#include "Afx.h"
#include "ModalScript.h"


// Ends a modal dialog with -2 if a test's scripted messages never end it, so a fault fails the
// test instead of hanging it. Disarmed when it goes out of scope.
class ModalWatchdog {
public:
    explicit ModalWatchdog(CDialog& dialog, UINT ms = 10000)
    {
        Target() = &dialog;
        m_timer = ::SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR, DWORD) {
            if (Target() != nullptr && Target()->m_hWnd != nullptr)
                Target()->EndDialog(-2);
        });
    }
    ~ModalWatchdog()
    {
        ::KillTimer(nullptr, m_timer);
        Target() = nullptr;
    }
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

private:
    static CDialog*& Target()
    {
        static CDialog* target = nullptr;
        return target;
    }
    UINT_PTR m_timer = 0;
};
