// CSliderPage: the shape that the brightness and volume pages share. A page shows its background
// bitmap and one skinned slider; as it is shown it reads its hardware, before it becomes visible,
// and then polls it every 100 ms while shown (a hidden page calls nothing), moving the slider to
// what it read (without a notification, so polling never writes); every
// notification of the slider writes its position at once; Up and Down never reach the page.
// A read that failed or made no sense moves nothing; until the first good one the slider shows
// that it does not know. For a while after the user's last move polls leave the slider where the
// user put it. It is laid out and drawn at the scale the panel gives it. What differs is the
// template, the range, the read, the write and whether a poll is held.
#pragma once

#include <functional>
#include <optional>

#include "Afx.h"
#include "ScaledArtwork.h"
#include "ScaledDialog.h"
#include "SkinSlider.h"
#include "resource.h"

// What makes one slider page differ from the other, besides its read and write.
struct SliderPageShape {
    UINT dialogId;
    UINT sliderId;
    UINT labelId;  // the slider's name, a label of no size just before it
    ArtworkIds background;
    int lowest;
    int highest;
    int pageSize;  // Page Up and Page Down step; 0 leaves the trackbar's own
};

class CSliderPage : public CScaledDialog {
public:
    // How long after the user's last move the polls leave the slider alone: a library may report
    // the old value for a while after a write (an asynchronous one does), and following it would
    // put the slider back where the user took it from.
    static constexpr ULONGLONG kUserMoveHoldMs = 500;

    // `pollHeld`, when given, is asked at each poll after the read: while it answers true the
    // slider stays where it is (the read still happens).
    CSliderPage(const SliderPageShape& shape, CWnd* parent, std::function<bool()> pollHeld = {});
    ~CSliderPage() override;

    const SliderPageShape m_shape;
    CSkinSlider m_slider{{IDB_THUMB_NORMAL, IDR_2X_THUMB_NORMAL}, {IDB_THUMB_PRESSED, IDR_2X_THUMB_PRESSED}};
    // Bound, though it shows nothing, so it answers as every window of the program does.
    CWnd m_label;
    afx::unique_hbitmap m_hBkBitmap;  // null until OnInitDialog or if it failed to load

protected:
    // The position the hardware reports now, or nothing without its library, when the read failed
    // or when what it gave is outside what the library can mean (the slider then stays where it
    // is).
    virtual std::optional<int> ReadPosition() = 0;
    // The user moved the slider to `position`.
    virtual void WritePosition(int position) = 0;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnScaleChanged() override;
    // Enter and a stray IDOK do nothing (the page has no button); Esc still hides the page.
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override {}

    LRESULT OnWindowPosChanging(WPARAM, LPARAM lParam);
    LRESULT OnWindowPosChanged(WPARAM, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnHScroll(UINT code, UINT pos, CWnd* sender);
    DECLARE_MESSAGE_MAP()

private:
    // The slider at a position just read: from now on it knows.
    void ShowRead(int position);
    // Whether the user moved the slider a moment ago or holds it now.
    bool HeldByUser() const;

    std::function<bool()> m_pollHeld;
    ULONGLONG m_lastUserMove = 0;  // GetTickCount64 of the last notification; 0 before any
};
