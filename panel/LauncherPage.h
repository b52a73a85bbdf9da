// CLauncherPage: the design that the on-screen keyboard and Task Manager pages share. A page
// shows its background bitmap and one PNG image button; a click starts the page's program and
// puts the panel and all five pages away until the next hotkey press. It is laid out and drawn at
// the scale the panel gives it.
#pragma once

#include "Afx.h"
#include "PngButton.h"
#include "ScaledArtwork.h"
#include "ScaledDialog.h"

#include <string>

// What makes one launcher page differ from the other.
struct LauncherResources {
    UINT dialogId;
    UINT buttonId;
    ArtworkIds background;  // bitmap resource (and its larger "PNG")
    ArtworkIds picture;     // "PNG" resource (and its larger one)
    std::wstring (*program)();  // the full path of the program a click starts
};

class CLauncherPage : public CScaledDialog {
public:
    CLauncherPage(const LauncherResources& resources, CWnd* parent);
    ~CLauncherPage() override;

    const LauncherResources m_resources;
    CPngButton m_btnLaunch;
    afx::unique_hbitmap m_hBkBitmap;  // null when it could not be loaded

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnScaleChanged() override;
    // Enter only clicks the page's button, and a stray IDOK does nothing; Esc still hides the page.
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override {}

    BOOL OnEraseBkgnd(CDC* dc);
    void OnLaunch();
    DECLARE_MESSAGE_MAP()
};
