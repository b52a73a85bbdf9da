// CSkinButton: an owner-drawn push button that shows one bitmap through a colour-key mask on a
// flat face, with a hot state from mouse tracking, the dialog's default-button protocol kept, and
// an inactive tooltip that sees the button's messages. Also the mask construction it relies on.
#pragma once

#include <cstdint>

#include "Afx.h"

// One picture of the button: the bitmap with its key-coloured pixels made black, and the mask
// that is white where the key colour was.
struct SkinImage {
    afx::unique_hbitmap hBitmap;
    uint32_t cx = 0;
    uint32_t cy = 0;
    afx::unique_hbitmap hMask;
    COLORREF crKey = 0;
};

// Builds the monochrome mask of `bitmap` (w x h): 1 where a pixel has colour `key`, 0 elsewhere,
// and paints the key-coloured pixels of `bitmap` black. Null when the mask cannot be made (no
// memory, or `bitmap` cannot be selected, for instance because another DC holds it).
afx::unique_hbitmap MakeMaskBitmap(HBITMAP bitmap, int w, int h, COLORREF key);

class CSkinButton : public CButton {
public:
    CSkinButton();
    ~CSkinButton() override;

    // Results of AssignImages and LoadImages.
    enum : DWORD { kImagesDone = 0, kNotABitmap = 1, kMaskFailed = 2 };

    // Loads bitmap resources (normal id 0 for none) and assigns them.
    DWORD LoadImages(UINT hotId, COLORREF hotKey, UINT normalId, COLORREF normalKey);
    // Takes ownership of both handles, whatever the result: what it does not keep it deletes.
    // Entry 0 (hot, pressed and the fallback) and entry 1 (normal). A normal bitmap without a hot
    // one is not kept. The bitmaps are changed in place (key pixels black).
    DWORD AssignImages(HBITMAP hot, COLORREF hotKey, HBITMAP normal, COLORREF normalKey);
    DWORD SetFlatEdge(BOOL flatEdge, BOOL repaint = TRUE);
    // Gives the button a tooltip with `text` and makes it active; null or empty takes it away
    // and leaves the tooltip inactive again.
    void SetTipText(const wchar_t* text);

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    CPoint m_ptPushShift{1, 1};  // where the image moves while the button is held down
    COLORREF m_crFace;            // the button-face colour read at construction
    BOOL m_bHot = FALSE;
    BOOL m_bDown = FALSE;
    BOOL m_bHasFocus = FALSE;
    BOOL m_bDefaultButton = FALSE;
    BOOL m_bFlatEdge = TRUE;      // draw the raised (hot) and sunken (pressed) edges
    CToolTipCtrl m_tip;
    DWORD m_dwTipStyle = 0;
    SkinImage m_image[2];         // 0 hot, 1 normal
    CString m_tipText;            // the text of the button's tool; empty when it has none

protected:
    void PreSubclassWindow() override;

    void OnKillFocus(CWnd* newWnd);
    void OnMouseMove(UINT flags, CPoint point);
    void OnSysColorChange();
    BOOL OnClicked();
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void OnCancelMode();
    UINT OnGetDlgCode();
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void EnsureTip();
    void ReleaseImages();
    DWORD TakeImage(SkinImage& entry, HBITMAP bitmap, COLORREF key);
    void LeaveHot();
    void Repaint();
    void DrawImage(HDC dc, const SkinImage& image, const CRect& item) const;
};
