// The brightness page: a slider over the screen's eight brightness levels. It follows the level
// every 100 ms, also while hidden, and every move of the slider sets the level at once.
#pragma once

#include "Afx.h"
#include "SkinSlider.h"
#include "TabletLibraries.h"
#include "resource.h"

class CBrightnessPage : public CDialog {
public:
    explicit CBrightnessPage(CWnd* parent = nullptr);
    // A page on another binding of the power library, e.g. one without it.
    CBrightnessPage(CWnd* parent, const PowerLibrary& power);
    ~CBrightnessPage() override;

    // Starts the 100 ms poll again from now; the panel lines up its timers with it.
    void RestartPoll();

    CSkinSlider m_slider;
    afx::unique_hbitmap m_hBkBitmap;  // bitmap 180, null until OnInitDialog or if it failed to load

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void OnTimer(UINT_PTR id);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnHScroll(UINT code, UINT pos, CWnd* sender);
    DECLARE_MESSAGE_MAP()

private:
    PowerLibrary m_power;
};
