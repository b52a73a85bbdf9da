// The volume page: a slider from 1 to 99 over the master volume. It follows the volume every
// 100 ms, also while hidden, except while the keyboard hook reports an arrow key; every move of
// the slider sets the volume at once.
#pragma once

#include "Afx.h"
#include "SkinSlider.h"
#include "TabletLibraries.h"
#include "resource.h"

// The exchange cell for VolumeVista: the scalar last read or last set, 0.0 (silence) to 1.0.
extern float g_volumeScalar;

class CVolumePage : public CDialog {
public:
    explicit CVolumePage(CWnd* parent = nullptr);
    // A page on another binding of common.dll, e.g. one without VolumeVista.
    CVolumePage(CWnd* parent, const CommonLibrary& common);
    ~CVolumePage() override;

    // Starts the 100 ms poll again from now; the panel lines up its timers with it.
    void RestartPoll();

    CSkinSlider m_slider;
    afx::unique_hbitmap m_hBkBitmap;  // bitmap 161, null until OnInitDialog or if it failed to load

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    BOOL OnEraseBkgnd(CDC* dc);
    void OnHScroll(UINT code, UINT pos, CWnd* sender);
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    CommonLibrary m_common;
};
