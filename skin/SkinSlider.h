// CSkinSlider: a trackbar without a background of its own. It paints through the trackbar's
// custom draw (reflected back from the parent): the parent's pixels under the control, copied once,
// show through everywhere except pure black pixels; a thin sunken groove marks the channel and the
// thumb is a bitmap, a different one while it is held.
#pragma once

#include "Afx.h"

class CSkinSlider : public CSliderCtrl {
public:
    CSkinSlider() = default;
    ~CSkinSlider() override;
    CSkinSlider(const CSkinSlider&) = delete;
    CSkinSlider& operator=(const CSkinSlider&) = delete;

    // Puts the thumb where `position` shows (a position beyond the range shows at its end), without
    // a notification, and only when that is not where it is: a poll that finds nothing new costs
    // no repaint. (A trackbar given the same out-of-range position again repaints every time.)
    void FollowPos(int position);

    // The copy of the parent's pixels under the control, taken at the first channel paint and kept
    // for the control's life. The bitmap is declared first so the DC that holds it goes before it.
    afx::unique_hbitmap m_hBackBmp;
    afx::unique_hdc m_hBackDC;
    HBITMAP m_hOldBackBmp = nullptr;  // what m_hBackDC held before m_hBackBmp (not ours)

protected:
    void OnCustomDrawReflect(NMHDR* header, LRESULT* result);
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    void DrawChannel(CDC* dc, const NMCUSTOMDRAW* nm);
    void DrawThumb(CDC* dc, const NMCUSTOMDRAW* nm);
    void TakeBackgroundCopy(HDC parentDc, CPoint origin, CSize size);
};
