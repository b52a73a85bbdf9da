// CSkinSlider: a trackbar without a background of its own. It paints through the trackbar's
// custom draw (reflected back from the parent): the parent's pixels under the control, copied once,
// show through everywhere except pure black pixels; a thin sunken groove marks the channel and the
// thumb is a bitmap, a different one while it is held, and a faded one while the slider's owner
// does not know where it should stand.
#pragma once

#include "Afx.h"
#include "ScaledArtwork.h"

class CSkinSlider : public CSliderCtrl {
public:
    // The thumb's pictures, loaded here for 96 dpi: `normalThumb` shown at rest, `pressedThumb`
    // while the thumb is held. Without a picture the thumb is drawn as a plain raised block.
    CSkinSlider(const ArtworkIds& normalThumb, const ArtworkIds& pressedThumb);
    CSkinSlider(const CSkinSlider&) = delete;
    CSkinSlider& operator=(const CSkinSlider&) = delete;

    // Puts the thumb where `position` shows (a position beyond the range shows at its end), without
    // a notification, and only when that is not where it is: a poll that finds nothing new costs
    // no repaint. (A trackbar given the same out-of-range position again repaints every time.)
    void FollowPos(int position);

    // Whether the position shown is known to be the hardware's. Unknown, the thumb at rest and the
    // groove show faded into what lies behind the control (kUnknownFade percent), as a control
    // that cannot be relied on; the slider still moves and notifies as ever. Known when created.
    void ShowKnown(bool known);
    bool ShowsKnown() const { return m_known; }
    static constexpr int kUnknownFade = 60;

    // The display scale the control is drawn for (96 when made). Another loads the thumbs again at
    // that scale, and the next paint takes the background copy afresh: the parent under the
    // control is laid out anew with it.
    void SetScale(UINT dpi);
    UINT Scale() const { return m_dpi; }

    // The copy of the parent's pixels under the control, taken at the first channel paint and kept
    // for the control's life. Members go in reverse order: the bitmap that m_hBackDC held before
    // goes back first, then the DC, then the copy's bitmap.
    afx::unique_hbitmap m_hBackBmp;
    afx::unique_hdc m_hBackDC;
    afx::select_object_guard m_backSelection;  // m_hBackBmp in m_hBackDC

protected:
    void OnCustomDrawReflect(NMHDR* header, LRESULT* result);
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    struct ThumbPicture {
        afx::unique_hbitmap bitmap;
        CSize size;
    };
    static ThumbPicture LoadThumb(const ArtworkIds& ids, UINT dpi);
    void LoadThumbs();
    const ThumbPicture* FadedThumb();
    COLORREF BehindColour();

    void DrawChannel(CDC* dc, const NMCUSTOMDRAW* nm);
    void DrawThumb(CDC* dc, const NMCUSTOMDRAW* nm);
    void TakeBackgroundCopy(HDC parentDc, CPoint origin, CSize size);

    const ArtworkIds m_normalThumbIds;
    const ArtworkIds m_pressedThumbIds;
    UINT m_dpi = afx::kLayoutDpi;
    ThumbPicture m_thumbNormal;
    ThumbPicture m_thumbPressed;
    ThumbPicture m_thumbFaded;      // a copy of the normal one, faded at the first paint that shows it
    bool m_thumbFadedDone = false;
    bool m_known = true;
};
