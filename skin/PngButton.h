// CPngButton: an owner-drawn push button whose face is a PNG picture from the resources, drawn
// over a copy of the parent's pixels behind the button. Its three faces (normal; pressed, the
// picture one pixel right and down; hover, the picture brightened) are rendered once, the first
// time the button is about to paint, and every paint after that is one block copy. At a display
// scale above 100 % the faces are drawn from the larger picture, at the size the design's takes
// at 100 % times the scale.
#pragma once

#include <memory>
#include <string>

#include "Afx.h"
#include "ResourceImage.h"
#include "ScaledArtwork.h"

class CPngButton : public CButton {
public:
    CPngButton() = default;
    ~CPngButton() override;

    // Gives the button its picture: resource `ids.normal` of `type` from the executable (at another
    // scale than 100 %, `ids.twice` if it decodes). Must come before the first paint, since the
    // faces are built only once. True when the picture decoded.
    bool LoadImageResource(const ArtworkIds& ids, LPCWSTR type);

    // The display scale the button is drawn for (96 when made). Another loads the picture again
    // and builds the faces afresh at the next paint, over a new copy of what lies behind.
    void SetScale(UINT dpi);
    UINT Scale() const { return m_dpi; }

    BOOL m_bHaveSurfaces = FALSE;  // the faces are built
    BOOL m_bHovering = FALSE;      // the pointer rests over the button
    BOOL m_bTracking = FALSE;      // leave/hover tracking is armed
    std::unique_ptr<CResourceImage> m_pResImage;

    // Each surface is a memory DC with its own bitmap of the button's client size. The bitmaps are
    // declared first so that their DCs are deleted before them.
    CBitmap m_bmpBk;
    CBitmap m_bmpNormal;
    CBitmap m_bmpPressed;
    CBitmap m_bmpHot;
    CDC m_dcBk;  // the parent's pixels under the button, captured once
    CDC m_dcNormal;
    CDC m_dcPressed;
    CDC m_dcHot;
    CDC* m_pCurDC = nullptr;  // the face the last paint chose; null until the faces exist

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

protected:
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    LRESULT OnMouseHover(WPARAM, LPARAM);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void BuildSurfaces(CDC* buttonDc);
    void CaptureBackground(int width, int height);
    Gdiplus::SizeF NaturalSize(Gdiplus::GpImage* picture) const;
    void DrawAtDesignSize(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* picture, int offset) const;
    void ReleaseSurfaces();

    ArtworkIds m_pictureIds;
    std::wstring m_pictureType;
    int m_pictureFactor = 1;  // pixels of the loaded picture per pixel of the design's
    UINT m_dpi = afx::kLayoutDpi;
};
