// The device switch page: four buttons that turn the tablet's radios and camera on and off. All
// of the page but the four pictures is magenta and see-through by colour key. The pictures show
// the EC's byte as read when the page was last shown or as written by the last tap; a tap turns
// its device to the opposite of what its picture shows. When the EC cannot be reached they show a
// faded look and say why in their tooltips; the next tap tries again. It is laid out and drawn at
// the scale the panel gives it.
#pragma once

#include "Afx.h"
#include "EcProtocol.h"
#include "ScaledDialog.h"
#include "SkinButton.h"
#include "resource.h"

// The skin's transparent colour.
inline constexpr COLORREF kSwitchPageKey = RGB(255, 0, 255);
// A switch that cannot be reached shows its off picture faded this far (percent) into the button
// face, so it reads as neither on nor off.
inline constexpr int kSwitchUnreachableFade = 60;

class CSwitchPage : public CScaledDialog {
public:
    explicit CSwitchPage(CWnd* parent = nullptr);
    ~CSwitchPage() override;

    // In the order of the device-switch bits 0 to 3.
    CSkinButton m_btnWireless;
    CSkinButton m_btn3G;
    CSkinButton m_btnCamera;
    CSkinButton m_btnBluetooth;
    CBrush m_brush;  // magenta, for the page and everything on it

    // What the four pictures show: the EC's byte (Done) or why it cannot be reached.
    EcResult Reach() const { return m_reach; }
    // Reads the EC's byte again and shows it, or shows why it cannot be read. Showing the page
    // does this by itself.
    void RefreshSwitches();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnScaleChanged() override;
    // Enter only clicks the focused switch, and a stray IDOK does nothing; Esc still hides the page.
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override {}
    // Makes magenta see-through. False when the system offers no colour key; the page then
    // shows only its buttons through a window region instead.
    virtual bool ApplyColourKey();

    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnShowWindow(BOOL show, UINT status);
    void OnCameraClicked();
    void OnWirelessClicked();
    void OnBluetoothClicked();
    void On3GClicked();
    DECLARE_MESSAGE_MAP()

private:
    void MakeTransparent();
    void ClipToButtons();
    void Tap(uint8_t bit);
    void ShowReach(EcResult reach);

    enum class Look : uint8_t { None, Off, On, Unreachable };
    // Gives the button of `bit` the pictures of `look` at the page's scale.
    void ShowLook(uint8_t bit, Look look);
    EcResult m_reach = EcResult::NoAnswer;  // nothing read yet
    Look m_looks[4] = {};                   // what each button shows, by bit
    uint8_t m_shown = 0;                    // the byte the pictures showed when last not faded
    bool m_shownAny = false;                // whether they ever showed one
    bool m_colourKeyed = false;             // see-through by colour key, not cut to the buttons
};
