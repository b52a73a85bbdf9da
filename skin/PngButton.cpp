// The PNG image button: owner-draw set-up, face building on the first colour request, the
// cached-face paint, hover tracking and the double-click rule.
#include "PngButton.h"

#include "OffscreenDC.h"

namespace {

// Each colour channel c becomes 1.05 c + 0.05 (GDI+ clamps at 1); alpha is kept.
const Gdiplus::ColorMatrix kHoverMatrix = {{
    {1.05f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 1.05f, 0.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 1.05f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.05f, 0.05f, 0.05f, 0.0f, 1.0f},
}};

} // namespace

BEGIN_MESSAGE_MAP(CPngButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CPngButton::~CPngButton()
{
    m_pResImage.reset();
    ReleaseSurfaces();
}

bool CPngButton::LoadImageResource(const ArtworkIds& ids, LPCWSTR type)
{
    m_pictureIds = ids;
    m_pictureType = type;
    ScaledPicture picture = LoadScaledPicture(ids, type, m_dpi);
    m_pResImage = std::move(picture.image);
    m_pictureFactor = picture.factor;
    return m_pResImage->m_pImage != nullptr;
}

void CPngButton::SetScale(UINT dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    if (m_pResImage)
        LoadImageResource(m_pictureIds, m_pictureType.c_str());
    ReleaseSurfaces();
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

void CPngButton::PreSubclassWindow()
{
    ModifyStyle(0, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

// An owner-drawn button reports the second click of a double click as BN_DOUBLECLICKED and does
// not press; as a plain press it gives a second BN_CLICKED.
BOOL CPngButton::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_LBUTTONDBLCLK)
        msg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(msg);
}

BOOL CPngButton::OnEraseBkgnd(CDC*) { return TRUE; }

// The button asks its parent for colours just before it paints: the first request after the
// picture is loaded builds everything the paints need.
HBRUSH CPngButton::CtlColor(CDC* dc, UINT)
{
    if (m_bHaveSurfaces || !m_pResImage)
        return nullptr;
    BuildSurfaces(dc);
    return nullptr;
}

void CPngButton::BuildSurfaces(CDC* buttonDc)
{
    CRect client;
    GetClientRect(&client);
    const int w = client.Width();
    const int h = client.Height();

    COffscreenDC offscreen(buttonDc, client);
    unique_gp_graphics graphics;
    if (gdip::GdipCreateFromHDC(offscreen.GetSafeHdc(), graphics.put()) != Gdiplus::Ok)
        graphics.release();  // a failed call hands out nothing to delete

    if (m_dcBk.GetSafeHdc() == nullptr)
        CaptureBackground(w, h);

    // A picture that failed to load draws nothing: the face is the background alone.
    Gdiplus::GpImage* picture = m_pResImage->m_pImage != nullptr ? m_pResImage->m_pImage->m_nativeImage.get() : nullptr;
    auto makeFace = [&](CDC& face, CBitmap& bitmap, auto&& drawPicture) {
        offscreen.BitBlt(0, 0, w, h, &m_dcBk, 0, 0, SRCCOPY);
        if (graphics && picture != nullptr) {
            drawPicture();
            gdip::GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync);
        }
        face.CreateCompatibleDC(&offscreen);
        bitmap.CreateCompatibleBitmap(&offscreen, w, h);
        face.SelectObject(&bitmap);
        face.BitBlt(0, 0, w, h, &offscreen, 0, 0, SRCCOPY);
    };

    // At 100 % the design's picture is drawn at the size GDI+ gives it on a 96-dpi screen; at any other scale every face takes
    // the size the design's would at 100 %, times the scale, from whichever picture is loaded.
    const bool designScale = m_dpi == afx::kLayoutDpi && m_pictureFactor == 1;
    const Gdiplus::SizeF natural = picture != nullptr ? NaturalSize(picture) : Gdiplus::SizeF();
    const auto shift = static_cast<Gdiplus::REAL>(afx::ScaleToDpi(1, m_dpi));
    if (m_dcNormal.GetSafeHdc() == nullptr) {
        makeFace(m_dcNormal, m_bmpNormal, [&] {
            if (designScale)
                DrawAtDesignSize(graphics.get(), picture, 0);
            else
                DrawImageScaled(graphics.get(), picture, Gdiplus::RectF(0, 0, natural.Width, natural.Height));
        });
        if (m_dcPressed.GetSafeHdc() == nullptr)
            makeFace(m_dcPressed, m_bmpPressed, [&] {
                if (designScale)
                    DrawAtDesignSize(graphics.get(), picture, 1);
                else
                    DrawImageScaled(graphics.get(), picture, Gdiplus::RectF(shift, shift, natural.Width, natural.Height));
            });
        if (m_dcHot.GetSafeHdc() == nullptr) {
            makeFace(m_dcHot, m_bmpHot, [&] {
                // Exactly the design's pixel size (times the scale), whatever its resolution.
                const Gdiplus::REAL scale = static_cast<Gdiplus::REAL>(m_dpi) / (afx::kLayoutDpi * m_pictureFactor);
                const Gdiplus::REAL width = m_pResImage->m_pImage->GetWidth() * scale;
                const Gdiplus::REAL height = m_pResImage->m_pImage->GetHeight() * scale;
                if (!designScale) {
                    DrawImageScaled(graphics.get(), picture, Gdiplus::RectF(0, 0, width, height), &kHoverMatrix);
                    return;
                }
                unique_gp_image_attributes attributes;
                if (gdip::GdipCreateImageAttributes(attributes.put()) != Gdiplus::Ok) {
                    attributes.release();
                    return;
                }
                gdip::GdipSetImageAttributesColorMatrix(attributes.get(), Gdiplus::ColorAdjustTypeDefault, TRUE,
                                                        &kHoverMatrix, nullptr, Gdiplus::ColorMatrixFlagsDefault);
                gdip::GdipDrawImageRectRect(graphics.get(), picture, 0, 0, width, height, 0, 0, width, height,
                                            Gdiplus::UnitPixel, attributes.get(), nullptr, nullptr);
            });
        }
    }
    if (m_pCurDC == nullptr)
        m_pCurDC = &m_dcNormal;

    m_bHaveSurfaces = TRUE;
    // The graphics goes, then the off-screen DC copies its last face onto the button; the paint
    // that follows covers it.
}

// The design's picture at (offset, offset) as GDI+ draws it on a 96-dpi screen: its pixels at its
// stored resolution against 96. GDI+'s plain draw takes the DC's DPI for that, which is the
// system's, not this button's scale once the panel is on a monitor of another one; there the same
// size is given outright.
void CPngButton::DrawAtDesignSize(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* picture, int offset) const
{
    Gdiplus::REAL dcDpi = 0;
    if (gdip::GdipGetDpiX(graphics, &dcDpi) == Gdiplus::Ok && dcDpi == static_cast<Gdiplus::REAL>(afx::kLayoutDpi)) {
        gdip::GdipDrawImageI(graphics, picture, offset, offset);
        return;
    }
    const Gdiplus::SizeF natural = NaturalSize(picture);
    gdip::GdipDrawImageRect(graphics, picture, static_cast<Gdiplus::REAL>(offset), static_cast<Gdiplus::REAL>(offset),
                            natural.Width, natural.Height);
}

// What the parent shows under the button now; later changes there never reach the button.
// The parent paints that part of itself into the copy. Reading it off the screen is not enough:
// the first colour request can come from the focus painting while the parent is being shown,
// before the parent has erased anything.
void CPngButton::CaptureBackground(int width, int height)
{
    CWnd* parent = GetParent();
    if (parent == nullptr)
        return;
    CClientDC parentDc(parent);
    CRect place;
    GetWindowRect(&place);
    parent->ScreenToClient(&place);
    m_dcBk.CreateCompatibleDC(&parentDc);
    m_bmpBk.CreateCompatibleBitmap(&parentDc, width, height);
    m_dcBk.SelectObject(&m_bmpBk);
    const CPoint origin = m_dcBk.SetWindowOrg(place.left, place.top);
    parent->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(m_dcBk.GetSafeHdc()), PRF_ERASEBKGND | PRF_CLIENT);
    m_dcBk.SetWindowOrg(origin);
}

// The size GDI+ gives the picture at this scale: its pixels at its stored resolution.
Gdiplus::SizeF CPngButton::NaturalSize(Gdiplus::GpImage* picture) const
{
    Gdiplus::REAL resolution = 0;
    if (gdip::GdipGetImageHorizontalResolution(picture, &resolution) != Gdiplus::Ok || resolution <= 0)
        resolution = static_cast<Gdiplus::REAL>(afx::kLayoutDpi * m_pictureFactor);
    Gdiplus::REAL vertical = resolution;
    if (gdip::GdipGetImageVerticalResolution(picture, &vertical) != Gdiplus::Ok || vertical <= 0)
        vertical = resolution;
    const auto dpi = static_cast<Gdiplus::REAL>(m_dpi);
    return Gdiplus::SizeF(m_pResImage->m_pImage->GetWidth() * dpi / resolution,
                          m_pResImage->m_pImage->GetHeight() * dpi / vertical);
}

void CPngButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* face = &m_dcNormal;
    if (drawItem->itemState & ODS_SELECTED)
        face = &m_dcPressed;
    else if (m_bHovering)
        face = &m_dcHot;

    // Before the faces exist, or without a picture, there is nothing of ours to show but the
    // captured background, if any; a DC without a bitmap must never be copied.
    CDC* source = face;
    if (face->GetSafeHdc() != nullptr)
        m_pCurDC = face;
    else
        source = m_dcBk.GetSafeHdc() != nullptr ? &m_dcBk : nullptr;
    if (source == nullptr)
        return;

    CRect client;
    GetClientRect(&client);
    ::BitBlt(drawItem->hDC, 0, 0, client.Width(), client.Height(), source->GetSafeHdc(), 0, 0, SRCCOPY);
}

void CPngButton::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 1;
        m_bTracking = ::_TrackMouseEvent(&track);
    }
    CButton::OnMouseMove(flags, point);
}

LRESULT CPngButton::OnMouseHover(WPARAM, LPARAM)
{
    m_bHovering = TRUE;
    Invalidate(TRUE);
    return 0;
}

LRESULT CPngButton::OnMouseLeave(WPARAM, LPARAM)
{
    m_bTracking = FALSE;
    m_bHovering = FALSE;
    Invalidate(TRUE);
    return 0;
}

// The faces are of no use without the window: they go with it, not only with the object.
void CPngButton::OnDestroy()
{
    ReleaseSurfaces();
    CButton::OnDestroy();
}

void CPngButton::ReleaseSurfaces()
{
    // Deleting a DC lets go of its bitmap, which can then be deleted.
    for (CDC* dc : {&m_dcBk, &m_dcNormal, &m_dcPressed, &m_dcHot})
        dc->DeleteDC();
    for (CBitmap* bitmap : {&m_bmpBk, &m_bmpNormal, &m_bmpPressed, &m_bmpHot})
        bitmap->DeleteObject();
    m_pCurDC = nullptr;
    m_bHaveSurfaces = FALSE;
    m_bTracking = FALSE;
    m_bHovering = FALSE;
}
