// The device switch page: four buttons that turn the tablet's radios and camera on and off. All
// of the page but the four pictures is magenta and see-through by colour key.
#pragma once

#include "Afx.h"
#include "SkinButton.h"
#include "resource.h"

// The skin's transparent colour.
inline constexpr COLORREF kSwitchPageKey = RGB(255, 0, 255);

class CSwitchPage : public CDialog {
public:
    explicit CSwitchPage(CWnd* parent = nullptr) : CDialog(IDD_SWITCH_PAGE, parent) {}
    ~CSwitchPage() override;

    // In the order of the device-switch bits 0 to 3.
    CSkinButton m_btnWireless;
    CSkinButton m_btn3G;
    CSkinButton m_btnCamera;
    CSkinButton m_btnBluetooth;
    CBrush m_brush;  // magenta, for the page and everything on it

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Makes magenta see-through. False when the system offers no colour key; the page then
    // shows only its buttons through a window region instead.
    virtual bool ApplyColourKey();

    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnMove(int x, int y);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnCameraClicked();
    void OnWirelessClicked();
    void OnBluetoothClicked();
    void On3GClicked();
    DECLARE_MESSAGE_MAP()

private:
    void MakeTransparent();
    void ClipToButtons();
    void Toggle(uint8_t bit);
    void ShowSwitch(uint8_t bit, bool on);
};
