// The skinned slider's custom draw: the parent's background with the control's black pixels kept,
// a sunken groove, and the thumb bitmaps.
#include "SkinSlider.h"

#include "FadedBitmap.h"

BEGIN_MESSAGE_MAP(CSkinSlider, CSliderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDrawReflect)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSkinSlider::CSkinSlider(const ArtworkIds& normalThumb, const ArtworkIds& pressedThumb)
    : m_normalThumbIds(normalThumb), m_pressedThumbIds(pressedThumb)
{
    LoadThumbs();
}

void CSkinSlider::LoadThumbs()
{
    m_thumbNormal = LoadThumb(m_normalThumbIds, m_dpi);
    m_thumbPressed = LoadThumb(m_pressedThumbIds, m_dpi);
    m_thumbFaded = LoadThumb(m_normalThumbIds, m_dpi);
    m_thumbFadedDone = false;
}

void CSkinSlider::SetScale(UINT dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    LoadThumbs();
    m_backSelection = {};
    m_hBackDC.reset();
    m_hBackBmp.reset();
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

CSkinSlider::ThumbPicture CSkinSlider::LoadThumb(const ArtworkIds& ids, UINT dpi)
{
    ThumbPicture thumb{LoadScaledBitmap(ids, dpi), CSize()};
    BITMAP info{};
    if (thumb.bitmap && ::GetObjectW(thumb.bitmap.get(), sizeof info, &info) != 0)
        thumb.size = CSize(info.bmWidth, info.bmHeight);
    return thumb;
}

// Each question to the trackbar is a trip through the window system; a steady reading takes one.
void CSkinSlider::FollowPos(int position)
{
    const int now = GetPos();
    if (position == now)
        return;
    const int low = GetRangeMin();
    const int high = GetRangeMax();
    const int shown = position < low ? low : (position > high ? high : position);
    if (shown != now)
        SetPos(shown);
}

void CSkinSlider::ShowKnown(bool known)
{
    if (known == m_known)
        return;
    m_known = known;
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

// The colour behind the control's middle, from the background copy, so the unknown look fades
// into the page it lies on.
COLORREF CSkinSlider::BehindColour()
{
    if (m_hBackDC) {
        CRect client;
        GetClientRect(&client);
        const COLORREF sampled = ::GetPixel(m_hBackDC.get(), client.Width() / 2, client.Height() / 2);
        if (sampled != CLR_INVALID)
            return sampled;
    }
    return ::GetSysColor(COLOR_BTNFACE);
}

// The copy of the normal thumb is faded the first time it is shown. No pixel is kept as it is
// (CLR_INVALID matches none). If it cannot be faded, the normal thumb shows.
const CSkinSlider::ThumbPicture* CSkinSlider::FadedThumb()
{
    if (!m_thumbFadedDone && m_thumbFaded.bitmap) {
        if (!FadeBitmap(m_thumbFaded.bitmap.get(), CLR_INVALID, BehindColour(), kUnknownFade))
            m_thumbFaded.bitmap.reset();
        m_thumbFadedDone = true;
    }
    return m_thumbFaded.bitmap ? &m_thumbFaded : nullptr;
}

void CSkinSlider::OnCustomDrawReflect(NMHDR* header, LRESULT* result)
{
    auto* nm = reinterpret_cast<NMCUSTOMDRAW*>(header);
    if (nm->dwDrawStage == CDDS_PREPAINT) {
        *result = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (nm->dwDrawStage != CDDS_ITEMPREPAINT)
        return;
    switch (nm->dwItemSpec) {
    case TBCD_TICS:
        *result = CDRF_DODEFAULT;
        break;
    case TBCD_THUMB:
        DrawThumb(CDC::FromHandle(nm->hdc), nm);
        *result = CDRF_SKIPDEFAULT;
        break;
    case TBCD_CHANNEL:
        DrawChannel(CDC::FromHandle(nm->hdc), nm);
        *result = CDRF_SKIPDEFAULT;
        break;
    default:
        break;
    }
}

// The channel paint covers the whole control, so there is nothing to erase.
BOOL CSkinSlider::OnEraseBkgnd(CDC*) { return FALSE; }

void CSkinSlider::TakeBackgroundCopy(HDC parentDc, CPoint origin, CSize size)
{
    m_backSelection = {};
    m_hBackDC.reset(::CreateCompatibleDC(parentDc));
    m_hBackBmp.reset(::CreateCompatibleBitmap(parentDc, size.cx, size.cy));
    if (!m_hBackDC || !m_hBackBmp)
        return;
    m_backSelection = afx::select_object_guard(m_hBackDC.get(), m_hBackBmp.get());
    ::BitBlt(m_hBackDC.get(), 0, 0, size.cx, size.cy, parentDc, origin.x, origin.y, SRCCOPY);
}

void CSkinSlider::DrawChannel(CDC* dc, const NMCUSTOMDRAW* nm)
{
    CWnd* parent = GetParent();
    CClientDC parentDc(parent);
    CRect client;
    GetClientRect(&client);
    const int w = client.Width();
    const int h = client.Height();
    CRect inParent;
    GetWindowRect(&inParent);
    if (parent != nullptr)
        parent->ScreenToClient(&inParent);

    // Taken once: later changes under the control, or moving it, keep the first picture.
    if (!m_hBackDC)
        TakeBackgroundCopy(parentDc.GetSafeHdc(), inParent.TopLeft(), CSize(w, h));

    {
        // A monochrome mask of the pure black pixels drawn so far (a fresh memory DC holds a
        // monochrome bitmap, so a bitmap compatible with it is monochrome too).
        afx::unique_hdc maskDc(::CreateCompatibleDC(dc->GetSafeHdc()));
        afx::unique_hbitmap mask(::CreateCompatibleBitmap(maskDc.get(), w, h));
        afx::select_object_guard selectMask(maskDc.get(), mask.get());
        const COLORREF oldBack = dc->SetBkColor(RGB(0, 0, 0));
        const COLORREF oldText = dc->SetTextColor(RGB(255, 255, 255));
        if (mask)
            ::BitBlt(maskDc.get(), 0, 0, w, h, dc->GetSafeHdc(), client.left, client.top, SRCCOPY);
        if (m_hBackDC && m_hBackBmp)
            ::BitBlt(dc->GetSafeHdc(), 0, 0, w, h, m_hBackDC.get(), 0, 0, SRCCOPY);
        // Mask 1 (was black) becomes the background colour, black; 0 becomes white, which AND
        // leaves the parent's pixel as it is.
        if (mask)
            ::BitBlt(dc->GetSafeHdc(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);
        dc->SetBkColor(oldBack);
        dc->SetTextColor(oldText);
    }

    CRect groove(nm->rc);
    if (groove.Height() > groove.Width())
        groove.InflateRect(1, 0);
    if (m_known) {
        dc->DrawEdge(&groove, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        return;
    }
    afx::unique_hbrush faded(::CreateSolidBrush(FadeColour(::GetSysColor(COLOR_BTNSHADOW), BehindColour(), kUnknownFade)));
    if (faded)
        ::FrameRect(dc->GetSafeHdc(), &groove, faded.get());
}

void CSkinSlider::DrawThumb(CDC* dc, const NMCUSTOMDRAW* nm)
{
    CRect thumb;
    SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const bool pressed = (nm->uItemState & CDIS_SELECTED) != 0;
    const ThumbPicture* chosen = pressed ? &m_thumbPressed : &m_thumbNormal;
    if (!pressed && !m_known)
        if (const ThumbPicture* faded = FadedThumb())
            chosen = faded;
    const ThumbPicture& picture = *chosen;
    if (!picture.bitmap) {
        // Without its picture the thumb is a plain raised block, so the position still shows.
        dc->DrawEdge(&thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        return;
    }
    afx::unique_hdc pictureDc(::CreateCompatibleDC(dc->GetSafeHdc()));
    afx::select_object_guard select(pictureDc.get(), picture.bitmap.get());
    // The picture is opaque and keeps its own size, whatever the thumb rectangle's.
    ::BitBlt(dc->GetSafeHdc(), thumb.left, thumb.top, picture.size.cx, picture.size.cy, pictureDc.get(), 0, 0,
             SRCCOPY);
}
