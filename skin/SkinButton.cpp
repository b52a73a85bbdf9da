// The bitmap skin button: images and masks, painting, hover tracking, the default-button
// protocol and the tooltip relay.
#include "SkinButton.h"

#include <cstdlib>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

} // namespace

afx::unique_hbitmap MakeMaskBitmap(HBITMAP bitmap, int w, int h, COLORREF key)
{
    afx::unique_hbitmap mask(::CreateBitmap(w, h, 1, 1, nullptr));
    if (!mask)
        return {};
    afx::unique_hdc colour(::CreateCompatibleDC(nullptr));
    afx::unique_hdc mono(::CreateCompatibleDC(nullptr));
    if (!colour || !mono)
        return {};
    // A bitmap that some other DC holds cannot be selected; a mask made without it would be blank.
    afx::select_object_guard selectBitmap(colour.get(), bitmap);
    afx::select_object_guard selectMask(mono.get(), mask.get());
    if (!selectBitmap || !selectMask)
        return {};

    // Colour to monochrome: pixels of the background colour become 1, all others 0.
    const COLORREF oldBk = ::SetBkColor(colour.get(), key);
    ::BitBlt(mono.get(), 0, 0, w, h, colour.get(), 0, 0, SRCCOPY);

    // Monochrome to colour: 1 bits take the background colour (black), 0 bits the text colour
    // (white); ANDed in, the key pixels turn black and the rest keep their colour.
    const COLORREF oldText = ::SetTextColor(colour.get(), kWhite);
    ::SetBkColor(colour.get(), kBlack);
    ::BitBlt(colour.get(), 0, 0, w, h, mono.get(), 0, 0, SRCAND);

    ::SetTextColor(colour.get(), oldText);
    ::SetBkColor(colour.get(), oldBk);
    return mask;
}

CSkinButton::CSkinButton() : m_crFace(::GetSysColor(COLOR_BTNFACE)) {}

CSkinButton::~CSkinButton()
{
    ReleaseImages();
    m_tip.DestroyWindow();
}

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
    ON_WM_KILLFOCUS()
    ON_WM_MOUSEMOVE()
    ON_WM_SYSCOLORCHANGE()
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_ACTIVATE()
    ON_WM_CANCELMODE()
    ON_WM_GETDLGCODE()
    ON_WM_CTLCOLOR_REFLECT()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

// ---- images ---------------------------------------------------------------------------------

DWORD CSkinButton::LoadImages(UINT hotId, COLORREF hotKey, UINT normalId, COLORREF normalKey)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(hotId), RT_BITMAP);
    auto load = [module](UINT id) {
        return static_cast<HBITMAP>(
            ::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    };
    HBITMAP hot = load(hotId);
    HBITMAP normal = normalId != 0 ? load(normalId) : nullptr;
    return AssignImages(hot, hotKey, normal, normalKey);
}

DWORD CSkinButton::AssignImages(HBITMAP hot, COLORREF hotKey, HBITMAP normal, COLORREF normalKey)
{
    // Both handles are the button's from here on; whatever no entry takes is deleted on return.
    afx::unique_hbitmap hotOwned(hot);
    afx::unique_hbitmap normalOwned(normal != hot ? normal : nullptr);

    ReleaseImages();
    if (hotOwned) {
        DWORD result = TakeImage(m_image[0], hotOwned.release(), hotKey);
        if (result == kImagesDone && normalOwned)
            result = TakeImage(m_image[1], normalOwned.release(), normalKey);
        if (result != kImagesDone) {
            ReleaseImages();
            return result;
        }
    }
    Repaint();
    return kImagesDone;
}

DWORD CSkinButton::TakeImage(SkinImage& entry, HBITMAP bitmap, COLORREF key)
{
    entry.hBitmap.reset(bitmap);
    entry.crKey = key;
    BITMAP info{};
    if (::GetObjectType(bitmap) != OBJ_BITMAP || ::GetObjectW(bitmap, sizeof info, &info) == 0)
        return kNotABitmap;
    entry.cx = static_cast<uint32_t>(info.bmWidth);
    entry.cy = static_cast<uint32_t>(std::abs(info.bmHeight));
    entry.hMask = MakeMaskBitmap(bitmap, info.bmWidth, std::abs(info.bmHeight), key);
    return entry.hMask ? kImagesDone : kMaskFailed;
}

void CSkinButton::ReleaseImages()
{
    for (SkinImage& image : m_image)
        image = SkinImage{};
}

DWORD CSkinButton::SetFlatEdge(BOOL flatEdge, BOOL repaint)
{
    m_bFlatEdge = flatEdge;
    if (repaint)
        Repaint();
    return 0;
}

void CSkinButton::Repaint()
{
    // Without a window there is nothing to repaint; a null window would mean the whole screen.
    if (m_hWnd != nullptr)
        InvalidateRect(nullptr, TRUE);
}

// ---- painting -------------------------------------------------------------------------------

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* dc = CDC::FromHandle(drawItem->hDC);
    m_bDown = drawItem->itemState & ODS_SELECTED;
    m_bHasFocus = drawItem->itemState & ODS_FOCUS;
    const CRect r = drawItem->rcItem;

    // A DC lent for printing may be larger than the button: nothing lands outside it.
    const int saved = ::SaveDC(dc->GetSafeHdc());
    ::IntersectClipRect(dc->GetSafeHdc(), r.left, r.top, r.right, r.bottom);
    dc->SetBkMode(TRANSPARENT);

    afx::unique_hbrush face(::CreateSolidBrush(m_crFace));
    ::FillRect(dc->GetSafeHdc(), &r, face.get());

    if (m_bFlatEdge) {
        if (m_bDown)
            dc->Draw3dRect(&r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        else if (m_bHot)
            dc->Draw3dRect(&r, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }

    if (m_image[0].hBitmap) {
        const bool hotLook = m_bDown || m_bHot;
        const SkinImage& image = !hotLook && m_image[1].hBitmap ? m_image[1] : m_image[0];
        // The monochrome mask meets the colour DC as white (1) and black (0); the text colour is
        // set too, because the DC we are lent may carry any.
        dc->SetBkColor(kWhite);
        dc->SetTextColor(kBlack);
        DrawImage(dc->GetSafeHdc(), image, r);
    }
    ::RestoreDC(dc->GetSafeHdc(), saved);
}

void CSkinButton::DrawImage(HDC dc, const SkinImage& image, const CRect& item) const
{
    const int w = static_cast<int>(image.cx);
    const int h = static_cast<int>(image.cy);
    // Signed halves: a picture larger than the button starts before it and is clipped.
    CPoint at(item.left + (item.Width() - w) / 2, item.top + (item.Height() - h) / 2);
    if (m_bDown)
        at.Offset(m_ptPushShift.x, m_ptPushShift.y);

    afx::unique_hdc colourDC(::CreateCompatibleDC(dc));
    afx::unique_hdc maskDC(::CreateCompatibleDC(nullptr));
    afx::select_object_guard selectColour(colourDC.get(), image.hBitmap.get());
    afx::select_object_guard selectMask(maskDC.get(), image.hMask.get());
    // Key pixels: the mask keeps the face and the blackened bitmap adds nothing to it.
    ::BitBlt(dc, at.x, at.y, w, h, maskDC.get(), 0, 0, SRCAND);
    ::BitBlt(dc, at.x, at.y, w, h, colourDC.get(), 0, 0, SRCPAINT);
}

// ---- window ---------------------------------------------------------------------------------

void CSkinButton::PreSubclassWindow()
{
    const UINT style = static_cast<UINT>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)) & 0xFF;
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        m_bDefaultButton = TRUE;
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

void CSkinButton::EnsureTip()
{
    if (m_tip.m_hWnd != nullptr)
        return;
    m_tip.Create(this, m_dwTipStyle);
    m_tip.Activate(FALSE);
    m_tip.SetMaxTipWidth(400);
}

void CSkinButton::SetTipText(const wchar_t* text)
{
    const CString wanted(text);
    if (wanted == m_tipText || m_hWnd == nullptr)
        return;
    EnsureTip();
    if (m_tip.m_hWnd == nullptr)
        return;
    if (!m_tipText.IsEmpty())
        m_tip.DelTool(this);
    m_tipText.Empty();
    if (!wanted.IsEmpty() && m_tip.AddTool(this, wanted))
        m_tipText = wanted;
    m_tip.Activate(!m_tipText.IsEmpty());
}

BOOL CSkinButton::PreTranslateMessage(MSG* msg)
{
    EnsureTip();
    if (m_tip.m_hWnd != nullptr)
        m_tip.RelayEvent(msg);
    // A double click is two clicks.
    if (msg->message == WM_LBUTTONDBLCLK)
        msg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(msg);
}

void CSkinButton::OnKillFocus(CWnd* newWnd)
{
    CButton::OnKillFocus(newWnd);
    LeaveHot();
}

void CSkinButton::OnMouseMove(UINT flags, CPoint point)
{
    CButton::OnMouseMove(flags, point);
    ClientToScreen(&point);
    HWND under = ::WindowFromPoint(point);
    // A press that began elsewhere and is dragged in does not make the button hot.
    if ((flags & MK_LBUTTON) && !m_bHot)
        return;
    if (under != m_hWnd) {
        LeaveHot();
        return;
    }
    if (m_bHot)
        return;
    m_bHot = TRUE;
    Repaint();
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
    ::_TrackMouseEvent(&track);
}

void CSkinButton::OnSysColorChange()
{
    CButton::OnSysColorChange();
    Repaint();
}

BOOL CSkinButton::OnClicked()
{
    SetFocus();
    return FALSE;  // the parent gets its BN_CLICKED too
}

void CSkinButton::OnActivate(UINT state, CWnd* other, BOOL minimized)
{
    CButton::OnActivate(state, other, minimized);
    if (state == WA_INACTIVE)
        LeaveHot();
}

void CSkinButton::OnCancelMode()
{
    CButton::OnCancelMode();
    LeaveHot();
}

UINT CSkinButton::OnGetDlgCode()
{
    const UINT code = CButton::OnGetDlgCode();
    return code | (m_bDefaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

HBRUSH CSkinButton::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

// The dialog manager moves the default look between buttons by changing their type; the button
// takes note and stays owner-drawn.
LRESULT CSkinButton::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON)
        m_bDefaultButton = TRUE;
    else if (type == BS_PUSHBUTTON)
        m_bDefaultButton = FALSE;
    return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CSkinButton::OnMouseLeave(WPARAM, LPARAM)
{
    LeaveHot();
    return 0;
}

void CSkinButton::LeaveHot()
{
    if (!m_bHot)
        return;
    m_bHot = FALSE;
    Repaint();
}
