// Test helpers for the program's windows.
#include "ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Gdiplus.h"
#include "LibsTestSupport.h"

GdiplusSession::GdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

GdiplusSession::~GdiplusSession()
{
    if (m_token != 0)
        Gdiplus::GdiplusShutdown(m_token);
}

CRect WorkArea()
{
    CRect area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void SendKey(WORD vk, WORD scan) { SendKeyFromAnotherThread(vk, scan); }

afx::unique_handle SendKeyFromAnotherThread(WORD vk, WORD scan)
{
    struct Key {
        WORD vk;
        WORD scan;
    };
    auto* key = new Key{vk, scan};
    HANDLE thread = ::CreateThread(
        nullptr, 0,
        [](void* param) CALLBACK -> DWORD {
            auto* k = static_cast<Key*>(param);
            INPUT inputs[2] = {};
            for (INPUT& in : inputs) {
                in.type = INPUT_KEYBOARD;
                in.ki.wVk = k->vk;
                in.ki.wScan = k->scan;
            }
            inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
            const UINT sent = ::SendInput(2, inputs, sizeof(INPUT));
            if (::GetEnvironmentVariableW(L"TABVISOR_SCRIPT_TRACE", nullptr, 0) != 0)
                printf("SendInput sent %u (error %lu) at %llu\n", sent, ::GetLastError(), ::GetTickCount64());
            delete k;
            return 0;
        },
        key, 0, nullptr);
    if (thread == nullptr)
        delete key;
    return afx::unique_handle(thread);
}

namespace {
CreationRecorder* g_creationRecorder = nullptr;
ShowOrderRecorder* g_showRecorder = nullptr;
CDialog* g_watched = nullptr;
} // namespace

CreationRecorder::CreationRecorder()
{
    g_creationRecorder = this;
    m_hook = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
}

CreationRecorder::~CreationRecorder()
{
    ::UnhookWindowsHookEx(m_hook);
    g_creationRecorder = nullptr;
}

LRESULT CALLBACK CreationRecorder::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_creationRecorder != nullptr) {
        wchar_t name[16] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16);
        if (std::wstring(name) == L"#32770")
            g_creationRecorder->dialogs.push_back(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

ShowOrderRecorder::ShowOrderRecorder()
{
    g_showRecorder = this;
    m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
}

ShowOrderRecorder::~ShowOrderRecorder()
{
    ::UnhookWindowsHookEx(m_hook);
    g_showRecorder = nullptr;
}

LRESULT CALLBACK ShowOrderRecorder::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_showRecorder != nullptr && msg->message == WM_SHOWWINDOW && msg->lParam == 0)
        (msg->wParam ? g_showRecorder->shown : g_showRecorder->hidden).push_back(msg->hwnd);
    if (code == HC_ACTION && g_showRecorder != nullptr && msg->message == WM_WINDOWPOSCHANGING) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(msg->lParam);
        if (!(pos->flags & SWP_NOZORDER) && pos->hwndInsertAfter == HWND_TOPMOST)
            g_showRecorder->madeTopmost.push_back(msg->hwnd);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

ScreenCapture::ScreenCapture(const RECT& rect) : m_width(rect.right - rect.left), m_height(rect.bottom - rect.top)
{
    m_pixels.assign(static_cast<size_t>(m_width) * m_height, 0);
    m_fromX = CaptureFromXServer(rect);
    if (!m_fromX)
        CaptureThroughGdi(rect);
}

bool ScreenCapture::CaptureFromXServer(const RECT& rect)
{
    // Wine starts Unix programs by their Unix path.
    if (::GetFileAttributesW(L"Z:\\usr\\bin\\import") == INVALID_FILE_ATTRIBUTES) {
        m_problem = "no /usr/bin/import";
        return false;
    }
    // Wine hands this process's window drawing to the X server only when one of its threads
    // waits on its queue; a test that paints and looks without pumping would see old pixels.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    static int serial = 0;
    const std::wstring name = L"tabvisor-capture-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial) + L".png";
    std::wstring command = L"/usr/bin/import -window root -crop " + std::to_wstring(m_width) + L"x" +
                           std::to_wstring(m_height) + L"+" + std::to_wstring(rect.left) + L"+" +
                           std::to_wstring(rect.top) + L" +repage PNG32:/tmp/" + name;
    // Wine gives no handle of a Unix process to wait on: watch for a complete picture instead.
    if (!tabvisor::testing::StartUnixProgram(L"/usr/bin/import", command)) {
        m_problem = "import did not start: error " + std::to_string(::GetLastError());
        return false;
    }

    const std::wstring file = L"Z:\\tmp\\" + name;
    bool read = false;
    for (const ULONGLONG end = ::GetTickCount64() + 20000; !read && ::GetTickCount64() < end; ::Sleep(50)) {
        Gdiplus::GpBitmap* picture = nullptr;
        if (gdip::GdipCreateBitmapFromFile(file.c_str(), &picture) != Gdiplus::Ok)
            continue;
        UINT width = 0, height = 0;
        gdip::GdipGetImageWidth(picture, &width);
        gdip::GdipGetImageHeight(picture, &height);
        Gdiplus::ARGB last = 0;
        // A picture still being written does not decode to its last row.
        if (static_cast<int>(width) == m_width && static_cast<int>(height) == m_height &&
            gdip::GdipBitmapGetPixel(picture, m_width - 1, m_height - 1, &last) == Gdiplus::Ok) {
            for (int y = 0; y < m_height; ++y)
                for (int x = 0; x < m_width; ++x) {
                    Gdiplus::ARGB argb = 0;
                    gdip::GdipBitmapGetPixel(picture, x, y, &argb);
                    m_pixels[static_cast<size_t>(y) * m_width + x] = argb & 0xFFFFFF;
                }
            read = true;
        }
        gdip::GdipDisposeImage(picture);
    }
    if (!read)
        m_problem = "no complete picture from import";
    ::DeleteFileW(file.c_str());
    return read;
}

void ScreenCapture::CaptureThroughGdi(const RECT& rect)
{
    afx::unique_window_dc screen(nullptr);
    Canvas canvas(m_width, m_height, RGB(0, 0, 0));
    ::BitBlt(canvas.dc(), 0, 0, m_width, m_height, screen.get(), rect.left, rect.top, SRCCOPY);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            const COLORREF c = canvas.At(x, y);
            m_pixels[static_cast<size_t>(y) * m_width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
}

COLORREF ScreenCapture::At(int x, int y) const
{
    const DWORD p = m_pixels[static_cast<size_t>(y) * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int ColourDistance(COLORREF a, COLORREF b)
{
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

std::vector<COLORREF> RenderButtonFace(CButton& button, UINT itemState, const CRect& item, int width, int height,
                                       COLORREF background)
{
    return RenderToPixels(
        width, height,
        [&](HDC dc) {
            DRAWITEMSTRUCT draw{};
            draw.CtlType = ODT_BUTTON;
            draw.CtlID = static_cast<UINT>(::GetDlgCtrlID(button.m_hWnd));
            draw.itemAction = ODA_DRAWENTIRE;
            draw.itemState = itemState;
            draw.hwndItem = button.m_hWnd;
            draw.hDC = dc;
            draw.rcItem = item;
            button.DrawItem(&draw);
        },
        background);
}

COLORREF SettledScreenPixel(const RECT& place, int x, int y, COLORREF wanted, int tolerance, DWORD timeoutMs)
{
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const COLORREF seen = ScreenCapture(place).At(x, y);
        if (ColourDistance(seen, wanted) <= tolerance || ::GetTickCount64() >= end)
            return seen;
    }
}

INT_PTR RunModal(CWinApp& app, CDialog& dialog, ModalScript& script, UINT watchdogMs)
{
    app.m_pMainWnd = &dialog;
    g_watched = &dialog;
    const UINT_PTR watchdog = ::SetTimer(nullptr, 0, watchdogMs, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
        if (g_watched != nullptr && g_watched->m_hWnd != nullptr) {
            ADD_FAILURE() << "the modal run did not end by itself";
            g_watched->EndDialog(-2);
        }
    });
    script.Start();
    const INT_PTR result = dialog.DoModal();
    script.Stop();
    ::KillTimer(nullptr, watchdog);
    g_watched = nullptr;
    app.m_pMainWnd = nullptr;
    return result;
}
