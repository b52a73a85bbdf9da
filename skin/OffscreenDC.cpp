// The off-screen DC's set-up and its copy back to the target.
#include "OffscreenDC.h"

COffscreenDC::COffscreenDC(CDC* target, const CRect& rect) : m_pTargetDC(target)
{
    CreateCompatibleDC(target);
    if (rect.IsRectNull())
        target->GetClipBox(&m_rect);
    else
        m_rect = rect;
    m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height());
    m_pOldBitmap = SelectObject(&m_bitmap);
    SetWindowOrg(m_rect.left, m_rect.top);
}

COffscreenDC::~COffscreenDC()
{
    m_pTargetDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                        SRCCOPY);
    // Puts back the original bitmap, which also lets go of whatever a user selected in place of
    // ours; m_bitmap, no longer selected, is deleted with the member, and the DC after it.
    SelectObject(m_pOldBitmap ? m_pOldBitmap->GetSafeHandle() : nullptr);
}
