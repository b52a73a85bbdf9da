// Shared set-up for tests that run the panel: GDI+, an application object, a simulated tablet,
// the hotkey sent through real input, and recorders for window creation and hiding order.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Afx.h"
#include "Gdiplus.h"
#include "HotkeyState.h"

inline CRect WorkArea()
{
    CRect area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// Presses and releases a key through the system's input queue, so low-level hooks see it. The
// input comes from another thread, as it would from the keyboard: a low-level hook runs on the
// thread that installed it, and that thread must be free to run it.
inline void SendKey(WORD vk, WORD scan)
{
    struct Key {
        WORD vk;
        WORD scan;
    };
    auto* key = new Key{vk, scan};
    HANDLE thread = ::CreateThread(
        nullptr, 0,
        [](void* param) -> DWORD {
            auto* k = static_cast<Key*>(param);
            INPUT inputs[2] = {};
            for (INPUT& in : inputs) {
                in.type = INPUT_KEYBOARD;
                in.ki.wVk = k->vk;
                in.ki.wScan = k->scan;
            }
            inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
            ::SendInput(2, inputs, sizeof(INPUT));
            delete k;
            return 0;
        },
        key, 0, nullptr);
    if (thread != nullptr)
        ::CloseHandle(thread);
    else
        delete key;
}

inline void SendHotkey() { SendKey(0xFF, 0x2C); }

// Records the dialogs this thread creates, in order.
class CreationRecorder {
public:
    CreationRecorder()
    {
        Current() = this;
        m_hook = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~CreationRecorder()
    {
        ::UnhookWindowsHookEx(m_hook);
        Current() = nullptr;
    }
    std::vector<HWND> dialogs;

private:
    static CreationRecorder*& Current()
    {
        static CreationRecorder* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND && Current() != nullptr) {
            wchar_t name[16] = {};
            ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16);
            if (std::wstring(name) == L"#32770")
                Current()->dialogs.push_back(reinterpret_cast<HWND>(wParam));
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK m_hook = nullptr;
};

// Records the windows of this thread that are hidden, in order, while it lives.
class ShowOrderRecorder {
public:
    ShowOrderRecorder()
    {
        Current() = this;
        m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~ShowOrderRecorder()
    {
        ::UnhookWindowsHookEx(m_hook);
        Current() = nullptr;
    }
    std::vector<HWND> hidden;
    std::vector<HWND> shown;

private:
    static ShowOrderRecorder*& Current()
    {
        static ShowOrderRecorder* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && Current() != nullptr && msg->message == WM_SHOWWINDOW && msg->lParam == 0)
            (msg->wParam ? Current()->shown : Current()->hidden).push_back(msg->hwnd);
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK m_hook = nullptr;
};

// Each test runs the panel on a fresh simulated tablet with GDI+ started, and the shared flags
// back at their start values.
class PanelTestFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_gdiplusToken, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_gdiplusToken); }

    void SetUp() override
    {
        g_panelRequested = 0;
        g_panelHidden = 0;
        g_upKeyDown = 0;
        g_downKeyDown = 0;
    }
    void TearDown() override { m_app.m_pMainWnd = nullptr; }

    // Runs `panel` as the program does, with `script` playing inside its loop. A script that
    // stops early (a failed assertion) still ends the run, through a watchdog.
    template <class Script>
    INT_PTR Run(CDialog& panel, Script& script, UINT watchdogMs = 15000)
    {
        m_app.m_pMainWnd = &panel;
        Watched() = &panel;
        const UINT_PTR watchdog = ::SetTimer(nullptr, 0, watchdogMs, [](HWND, UINT, UINT_PTR, DWORD) {
            if (Watched() != nullptr && Watched()->m_hWnd != nullptr) {
                ADD_FAILURE() << "the panel's run did not end by itself";
                Watched()->EndDialog(-2);
            }
        });
        script.Start();
        const INT_PTR result = panel.DoModal();
        script.Stop();
        ::KillTimer(nullptr, watchdog);
        Watched() = nullptr;
        m_app.m_pMainWnd = nullptr;
        return result;
    }

    CWinApp m_app;
    static inline ULONG_PTR s_gdiplusToken = 0;

private:
    static CDialog*& Watched()
    {
        static CDialog* watched = nullptr;
        return watched;
    }
};
