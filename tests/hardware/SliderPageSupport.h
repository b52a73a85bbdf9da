// Shared by the slider page tests: a fixture with a fresh simulated tablet, pages created as the
// panel creates them, ticks of the poll, message pumping with the dialog keys, and the user's
// ways of moving a trackbar.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "Afx.h"
#include "ModalScript.h"
#include "resource.h"
#include "TestTablet.h"

class SliderPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxEnsureCommonControls();
    }

    // Created modeless and hidden, as the panel creates its pages.
    template <class Page, class... Args>
    std::unique_ptr<Page> MakePage(UINT templateId, Args&&... args)
    {
        auto page = std::make_unique<Page>(nullptr, std::forward<Args>(args)...);
        page->Create(templateId, nullptr);
        return page;
    }

    CWinApp m_app;
    TestTablet m_tablet;
};

// One tick of a page's 100 ms poll, delivered at once.
inline void Tick(CWnd& page) { page.SendMessage(WM_TIMER, 0); }

// Dispatches this thread's messages for `ms` milliseconds, offering each to PreTranslateMessage
// first as the program's message loops do.
inline void PumpWithDialogKeys(DWORD ms)
{
    const ULONGLONG end = ::GetTickCount64() + ms;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWnd::WalkPreTranslateTree(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        AfxSweepTempObjects();
        ::Sleep(1);
    } while (::GetTickCount64() < end);
}

// Pumps until `done` holds or `ms` milliseconds have passed; whether it held.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    const ULONGLONG end = ::GetTickCount64() + ms;
    while (!done()) {
        if (::GetTickCount64() >= end)
            return false;
        PumpWithDialogKeys(5);
    }
    return true;
}

// Presses the thumb, drags it by each of `steps` pixels in turn (calling `afterEachMove`, when
// given, after each) and lets go.
inline void DragThumb(CSliderCtrl& slider, const std::vector<int>& steps, const std::function<void()>& afterEachMove = {})
{
    CRect thumb;
    slider.GetThumbRect(&thumb);
    const int y = (thumb.top + thumb.bottom) / 2;
    int x = (thumb.left + thumb.right) / 2;
    slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step : steps) {
        x += step;
        slider.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        if (afterEachMove)
            afterEachMove();
    }
    slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// A key pressed and released on the focused trackbar.
inline void PressKeyOn(CWnd& control, UINT vk)
{
    control.SendMessage(WM_KEYDOWN, vk, 1);
    control.SendMessage(WM_KEYUP, vk, 0xC0000001);
}

// A WM_HSCROLL from `sender` to `page`, as the trackbar sends it.
inline void SendScroll(CWnd& page, HWND sender, UINT code = TB_ENDTRACK)
{
    page.SendMessage(WM_HSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(sender));
}
