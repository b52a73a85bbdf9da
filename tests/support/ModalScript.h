// Runs test steps from inside a modal message loop: each step fires on a thread timer after its
// delay, so the code under test keeps running its own loop in between, as it would for a user.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "Afx.h"

class ModalScript {
public:
    ModalScript() = default;
    ~ModalScript() { Stop(); }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // Adds a step that runs `delayMs` after the previous one.
    ModalScript& Then(DWORD delayMs, std::function<void()> step)
    {
        m_steps.push_back({delayMs, std::move(step), {}, 0});
        return *this;
    }
    // Adds a step that runs as soon as `ready()` holds (checked every few milliseconds), or after
    // `timeoutMs` whatever it says; the step then checks what it expects.
    ModalScript& ThenWhen(std::function<bool()> ready, DWORD timeoutMs, std::function<void()> step)
    {
        m_steps.push_back({5, std::move(step), std::move(ready), timeoutMs});
        return *this;
    }
    // Arms the first step. Steps run inside whichever loop this thread is pumping.
    void Start()
    {
        Current() = this;
        m_next = 0;
        Arm();
    }
    void Stop()
    {
        if (m_timer != 0)
            ::KillTimer(nullptr, m_timer);
        m_timer = 0;
        if (Current() == this)
            Current() = nullptr;
    }
    bool Finished() const { return m_next >= m_steps.size(); }
    size_t StepsRun() const { return m_next; }

private:
    struct Step {
        DWORD delayMs;
        std::function<void()> run;
        std::function<bool()> ready;  // empty: run after the delay
        DWORD timeoutMs = 0;
    };

    static ModalScript*& Current()
    {
        static ModalScript* current = nullptr;
        return current;
    }
    void Arm()
    {
        if (m_timer != 0)
            ::KillTimer(nullptr, m_timer);
        m_timer = 0;
        if (m_next < m_steps.size())
            m_timer = ::SetTimer(nullptr, 0, m_steps[m_next].delayMs == 0 ? 1 : m_steps[m_next].delayMs, &OnTimer);
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript* script = Current();
        if (script == nullptr || script->Finished())
            return;
        Step& step = script->m_steps[script->m_next];
        if (step.ready) {
            if (script->m_waitStart == 0)
                script->m_waitStart = ::GetTickCount64();
            if (!step.ready() && ::GetTickCount64() - script->m_waitStart < step.timeoutMs)
                return;  // the timer fires again
            script->m_waitStart = 0;
        }
        ::KillTimer(nullptr, script->m_timer);
        script->m_timer = 0;
        // The step may open a nested modal loop; the next step is armed first so it can run there.
        const size_t index = script->m_next++;
        script->Arm();
        const ULONGLONG start = ::GetTickCount64();
        script->m_steps[index].run();
        if (::GetEnvironmentVariableW(L"TABVISOR_SCRIPT_TRACE", nullptr, 0) != 0)
            printf("step %u took %llu ms (at %llu)\n", unsigned(index), ::GetTickCount64() - start, start);
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    UINT_PTR m_timer = 0;
    ULONGLONG m_waitStart = 0;
};

// Dispatches this thread's pending messages for about `ms` milliseconds (outside any modal loop),
// through the framework's pre-translation as the program's own loops do.
inline void PumpFor(DWORD ms)
{
    const ULONGLONG end = ::GetTickCount64() + ms;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        AfxSweepTempObjects();
        ::Sleep(1);
    } while (::GetTickCount64() < end);
}
