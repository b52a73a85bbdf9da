// Helpers for tests that run the program's windows under Wine: GDI+, real key input, message
// pumping, recorders of window creation and hiding, and screen pixels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Afx.h"
#include "Canvas.h"
#include "ModalScript.h"

// GDI+ for the scope: every image and drawing call needs it.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR m_token = 0;
};

CRect WorkArea();

// Presses and releases a key through the system's input queue, from another thread, as the
// keyboard would: a low-level hook runs on the thread that installed it, which must be free.
void SendKey(WORD vk, WORD scan);
// The same, giving the sending thread, which ends once SendInput has returned (under Wine, once
// every low-level hook has seen both events).
afx::unique_handle SendKeyFromAnotherThread(WORD vk, WORD scan);
inline void SendHotkey() { SendKey(0xFF, 0x2C); }

// Records the dialogs this thread creates, in order.
class CreationRecorder {
public:
    CreationRecorder();
    ~CreationRecorder();
    CreationRecorder(const CreationRecorder&) = delete;
    CreationRecorder& operator=(const CreationRecorder&) = delete;
    std::vector<HWND> dialogs;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook = nullptr;
};

// Records the windows of this thread that are shown or hidden, in order, and those asked to be
// topmost, while it lives.
class ShowOrderRecorder {
public:
    ShowOrderRecorder();
    ~ShowOrderRecorder();
    ShowOrderRecorder(const ShowOrderRecorder&) = delete;
    ShowOrderRecorder& operator=(const ShowOrderRecorder&) = delete;
    std::vector<HWND> hidden;
    std::vector<HWND> shown;
    std::vector<HWND> madeTopmost;  // asked to go above all ordinary windows

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook = nullptr;
};

// The colours on screen in `rect` (screen coordinates), row by row. Under Wine the picture is
// taken from the X server (ImageMagick's import), which alone sees layered windows composed by
// the compositing manager; elsewhere it is read through GDI. Needs GDI+ running.
class ScreenCapture {
public:
    explicit ScreenCapture(const RECT& rect);
    bool FromXServer() const { return m_fromX; }
    // Why the X server's picture could not be used, if it could not.
    const std::string& Problem() const { return m_problem; }
    COLORREF At(int x, int y) const;  // relative to the rectangle's top-left
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    bool CaptureFromXServer(const RECT& rect);
    void CaptureThroughGdi(const RECT& rect);

    int m_width;
    int m_height;
    bool m_fromX = false;
    std::string m_problem;
    std::vector<DWORD> m_pixels;
};

// The colours of a DC's drawing, read back through a 32-bit DIB: drawn with `paint(dc)`.
template <class Paint>
std::vector<COLORREF> RenderToPixels(int width, int height, Paint&& paint, COLORREF background = RGB(0, 0, 0));

// What an owner-drawn button paints for `itemState` (ODS_*) at `item`, as the system asks for it
// with WM_DRAWITEM, rendered into a `width` x `height` DC filled with `background`.
std::vector<COLORREF> RenderButtonFace(CButton& button, UINT itemState, const CRect& item, int width, int height,
                                       COLORREF background = RGB(0, 0, 0));

// Channel-by-channel distance between two colours (the largest difference).
int ColourDistance(COLORREF a, COLORREF b);

// The screen's pixel at (x, y) of `place`, looked at again for up to `timeoutMs` until it is
// within `tolerance` of `wanted`: a repaint reaches the composed picture a little later.
COLORREF SettledScreenPixel(const RECT& place, int x, int y, COLORREF wanted, int tolerance = 2,
                            DWORD timeoutMs = 3000);

// Runs `dialog` modally as the program runs its panel, with `script` playing inside the loop and
// `app` pointing at it as the main window; a watchdog ends a run whose script stopped early.
INT_PTR RunModal(CWinApp& app, CDialog& dialog, ModalScript& script, UINT watchdogMs = 15000);

// ---- template definitions ---------------------------------------------------------------------

template <class Paint>
std::vector<COLORREF> RenderToPixels(int width, int height, Paint&& paint, COLORREF background)
{
    Canvas canvas(width, height, background);
    paint(canvas.dc());
    std::vector<COLORREF> pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(canvas.At(x, y));
    return pixels;
}
