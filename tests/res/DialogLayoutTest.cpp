// Creates the dialogs from the compiled templates and measures where their controls really land,
// then checks those pixels against the artwork drawn for them: the close button over the red mark,
// the device switches on their tile, the launcher pictures inside their buttons, the slider thumbs
// on their page. Prints the measured rectangles.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "ResTestSupport.h"
#include "resource.h"

using namespace restest;

namespace {

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

class Dialog {
public:
    explicit Dialog(int id)
    {
        static const bool controls = [] {
            INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
            return InitCommonControlsEx(&icc) != FALSE;
        }();
        (void)controls;
        hwnd_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, QuietProc, 0);
    }
    ~Dialog()
    {
        if (hwnd_)
            DestroyWindow(hwnd_);
    }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }

    // A control's rectangle in the dialog's client pixels.
    Rect ControlRect(int id) const
    {
        RECT r{};
        GetWindowRect(Control(id), &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    SIZE BaseUnits() const
    {
        RECT r{0, 0, 4, 8};
        MapDialogRect(hwnd_, &r);
        return {r.right, r.bottom};
    }

private:
    HWND hwnd_ = nullptr;
};

// What Windows makes of dialog units at 96 dpi: 宋体 9 pt gives base units 6 x 12, System 10 pt 8 x 16.
struct Base {
    int x, y;
};
constexpr Base kSongti{6, 12}, kSystem{8, 16};

Rect WindowsPixels(Base base, int x, int y, int cx, int cy)
{
    return {MulDiv(x, base.x, 4), MulDiv(y, base.y, 8), MulDiv(cx, base.x, 4), MulDiv(cy, base.y, 8)};
}

TEST(DialogLayout, TemplatesAreCreatableAndUseWindowsBaseUnits)
{
    struct Expected {
        int id;
        Base base;
    };
    for (const Expected& e : {Expected{IDD_TABVISOR_DIALOG, kSongti}, Expected{IDD_ABOUTBOX, kSongti},
                              Expected{IDD_SWITCH_PAGE, kSystem}, Expected{IDD_VOLUME_PAGE, kSystem},
                              Expected{IDD_BRIGHTNESS_PAGE, kSystem}, Expected{IDD_KEYBOARD_PAGE, kSystem},
                              Expected{IDD_TASKMGR_PAGE, kSystem}}) {
        SCOPED_TRACE(e.id);
        Dialog dialog(e.id);
        ASSERT_NE(dialog.hwnd(), nullptr);
        SIZE base = dialog.BaseUnits();
        EXPECT_EQ(base.cx, e.base.x);
        EXPECT_EQ(base.cy, e.base.y);
    }
}

TEST(DialogLayout, ControlsLandWhereWindowsPutsThem)
{
    struct Expected {
        int dialog, control;
        Base base;
        int x, y, cx, cy;
        const char* name;
    };
    const Expected all[] = {
        {IDD_TABVISOR_DIALOG, IDC_PANEL_CLOSE, kSongti, 432, 12, 21, 12, "panel close 1007"},
        {IDD_TABVISOR_DIALOG, IDC_PANEL_AREA_1004, kSongti, 417, 12, 16, 12, "panel area 1004"},
        {IDD_TABVISOR_DIALOG, IDC_PANEL_AREA_1008, kSongti, 177, 150, 112, 22, "panel area 1008"},
        {IDD_TABVISOR_DIALOG, IDC_PANEL_AREA_1009, kSongti, 235, 186, 21, 46, "panel area 1009"},
        {IDD_TABVISOR_DIALOG, IDC_PANEL_AREA_1010, kSongti, 61, 197, 90, 31, "panel area 1010"},
        {IDD_TABVISOR_DIALOG, IDC_PANEL_AREA_1011, kSongti, 39, 47, 271, 201, "panel area 1011"},
        {IDD_TABVISOR_DIALOG, IDC_PANEL_AREA_1017, kSongti, 310, 47, 137, 97, "panel area 1017"},
        {IDD_SWITCH_PAGE, IDC_SWITCH_CAMERA, kSystem, 4, 41, 22, 22, "camera 1004"},
        {IDD_SWITCH_PAGE, IDC_SWITCH_WIRELESS, kSystem, 26, 41, 22, 22, "wireless 1005"},
        {IDD_SWITCH_PAGE, IDC_SWITCH_BLUETOOTH, kSystem, 48, 41, 22, 22, "bluetooth 1006"},
        {IDD_SWITCH_PAGE, IDC_SWITCH_3G, kSystem, 70, 41, 22, 22, "3G 1007"},
        {IDD_VOLUME_PAGE, IDC_VOLUME_SLIDER, kSystem, 10, 45, 76, 15, "volume slider 1012"},
        {IDD_BRIGHTNESS_PAGE, IDC_BRIGHTNESS_SLIDER, kSystem, 10, 46, 76, 15, "brightness slider 1014"},
        {IDD_KEYBOARD_PAGE, IDC_KEYBOARD_LAUNCH, kSystem, 14, 31, 68, 25, "keyboard button 1015"},
        {IDD_TASKMGR_PAGE, IDC_TASKMGR_LAUNCH, kSystem, 6, 35, 84, 17, "task manager button 1016"},
    };
    for (const Expected& e : all) {
        SCOPED_TRACE(e.name);
        Dialog dialog(e.dialog);
        ASSERT_NE(dialog.Control(e.control), nullptr);
        Rect measured = dialog.ControlRect(e.control);
        std::printf("%-26s in dialog %d: x %3d, y %3d, %3d x %3d\n", e.name, e.dialog, measured.x, measured.y,
                    measured.w, measured.h);
        EXPECT_EQ(measured, WindowsPixels(e.base, e.x, e.y, e.cx, e.cy));
    }
}

bool IsRed(const Pixel& p)
{
    return p.a == 255 && p.r >= 170 && p.g <= 120 && p.b <= 120;
}

TEST(DialogLayout, CloseButtonLiesExactlyOverTheRedMark)
{
    Dialog panel(IDD_TABVISOR_DIALOG);
    Rect close = panel.ControlRect(IDC_PANEL_CLOSE);
    Image face = DecodePng(IDR_PNG_PANEL);
    ASSERT_EQ(face.width, 724);

    // Inside: every pixel away from the rounded corners belongs to the mark (red, or the white cross).
    const int corner = 3;
    for (int y = close.y; y < close.y + close.h; ++y)
        for (int x = close.x; x < close.x + close.w; ++x) {
            bool inCorner = (x < close.x + corner || x >= close.x + close.w - corner) &&
                            (y < close.y + corner || y >= close.y + close.h - corner);
            if (inCorner)
                continue;
            const Pixel& p = face.at(x, y);
            EXPECT_TRUE(p.a == 255 && p.r >= 170) << "at " << x << "," << y;
        }
    // Its edges reach the button's edges...
    const int midY = close.y + close.h / 2, midX = close.x + 4;
    EXPECT_TRUE(IsRed(face.at(close.x, midY)));
    EXPECT_TRUE(IsRed(face.at(close.x + close.w - 1, midY)));
    EXPECT_TRUE(IsRed(face.at(midX, close.y)));
    EXPECT_TRUE(IsRed(face.at(midX, close.y + close.h - 1)));
    // ...and no further.
    for (int x = close.x - 1; x <= close.x + close.w; ++x) {
        EXPECT_FALSE(IsRed(face.at(x, close.y - 1))) << x;
        EXPECT_FALSE(IsRed(face.at(x, close.y + close.h))) << x;
    }
    for (int y = close.y; y < close.y + close.h; ++y) {
        EXPECT_FALSE(IsRed(face.at(close.x - 1, y))) << y;
        EXPECT_FALSE(IsRed(face.at(close.x + close.w, y))) << y;
    }
}

TEST(DialogLayout, DeviceSwitchesLieOnTheirTile)
{
    Dialog page(IDD_SWITCH_PAGE);
    Image face = DecodePng(IDR_PNG_PANEL);
    ASSERT_EQ(face.width, 724);
    const Pixel tile = face.at(kSwitchTile.x + kSwitchTile.w / 2, kSwitchTile.y + kSwitchTile.h - 8);
    for (int id : {IDC_SWITCH_CAMERA, IDC_SWITCH_WIRELESS, IDC_SWITCH_BLUETOOTH, IDC_SWITCH_3G}) {
        SCOPED_TRACE(id);
        Rect r = page.ControlRect(id);
        Rect onPanel{kSwitchPageX + r.x, kSwitchPageY + r.y, r.w, r.h};
        EXPECT_TRUE(kSwitchTile.Contains(onPanel));
        // The tile is flat under the button and one pixel around it, so a picture (which may be
        // shifted a pixel while pressed) meets the same colour on every side.
        for (int y = onPanel.y - 1; y <= onPanel.y + onPanel.h; ++y)
            for (int x = onPanel.x - 1; x <= onPanel.x + onPanel.w; ++x)
                ASSERT_EQ(face.at(x, y), tile) << "at " << x << "," << y;
    }
}

TEST(DialogLayout, KeyboardPictureFillsItsButtonOnAPlainGround)
{
    Dialog page(IDD_KEYBOARD_PAGE);
    Rect button = page.ControlRect(IDC_KEYBOARD_LAUNCH);
    Image bk = ReadDib(IDB_KEYBOARD_BK);
    Image picture = DecodePng(IDR_PNG_KEYBOARD);
    ASSERT_EQ(picture.width, 136);
    const Pixel ground = bk.at(button.x, button.y);

    // Wherever the button shows the page behind the picture (its last row, the first row and
    // column while pressed) and wherever the picture's own rim lands, it is one plain colour.
    EXPECT_GE(picture.width * kLauncherScale, button.w - 0.5);
    for (int x = 0; x < button.w; ++x) {
        EXPECT_EQ(bk.at(button.x + x, button.y), ground);
        EXPECT_EQ(bk.at(button.x + x, button.y + button.h - 1), ground);
    }
    for (int y = 0; y < button.h; ++y)
        EXPECT_EQ(bk.at(button.x, button.y + y), ground);
    for (int x = 0; x < picture.width; ++x) {
        EXPECT_EQ(picture.at(x, 0), ground) << x;
        EXPECT_EQ(picture.at(x, picture.height - 1), ground) << x;
    }
    for (int y = 0; y < picture.height; ++y) {
        EXPECT_EQ(picture.at(0, y), ground) << y;
        EXPECT_EQ(picture.at(picture.width - 1, y), ground) << y;
    }
}

TEST(DialogLayout, KeyCapsFitTheirButtonAtScreenResolution)
{
    Dialog page(IDD_TASKMGR_PAGE);
    Rect button = page.ControlRect(IDC_TASKMGR_LAUNCH);
    Image picture = DecodePng(IDR_PNG_TASKMGR);
    ASSERT_EQ(picture.width, 174);
    int right = 0, bottom = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.at(x, y).a > 0) {
                right = std::max(right, x + 1);
                bottom = std::max(bottom, y + 1);
            }
    // Drawn a little larger than stored (and one pixel further when pressed), it must not be cut.
    EXPECT_LE(right * kLauncherScale + 1, button.w);
    EXPECT_LE(bottom * kLauncherScale + 1, button.h);
}

TEST(DialogLayout, SliderThumbsSitOnAPlainGround)
{
    struct Expected {
        int dialog, control, bitmap;
    };
    Image pressed = ReadDib(IDB_THUMB_PRESSED), normal = ReadDib(IDB_THUMB_NORMAL);
    for (const Expected& e : {Expected{IDD_VOLUME_PAGE, IDC_VOLUME_SLIDER, IDB_VOLUME_BK},
                              Expected{IDD_BRIGHTNESS_PAGE, IDC_BRIGHTNESS_SLIDER, IDB_BRIGHTNESS_BK}}) {
        SCOPED_TRACE(e.dialog);
        Dialog page(e.dialog);
        HWND slider = page.Control(e.control);
        Rect r = page.ControlRect(e.control);
        Image bk = ReadDib(e.bitmap);
        const Pixel ground = bk.at(r.x, r.y);
        // The slider copies the page's pixels under it as its background: keep that ground plain.
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x)
                ASSERT_EQ(bk.at(x, y), ground) << "at " << x << "," << y;

        SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 7));
        for (int pos : {0, 7}) {
            SendMessageW(slider, TBM_SETPOS, TRUE, pos);
            RECT thumb{}, channel{};
            SendMessageW(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
            SendMessageW(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
            std::printf("slider %d at %d: channel (%ld,%ld)-(%ld,%ld), thumb (%ld,%ld)-(%ld,%ld)\n", e.control, pos,
                        channel.left, channel.top, channel.right, channel.bottom, thumb.left, thumb.top, thumb.right,
                        thumb.bottom);
            // The thumb picture is copied whole at the thumb's top-left and must stay inside the control.
            EXPECT_LE(thumb.left + pressed.width, r.w);
            EXPECT_LE(thumb.top + pressed.height, r.h);
        }
        for (const Image* t : {&pressed, &normal}) {
            EXPECT_EQ(t->at(0, 0), ground);
            EXPECT_EQ(t->at(t->width - 1, 0), ground);
            EXPECT_EQ(t->at(0, t->height - 1), ground);
            EXPECT_EQ(t->at(t->width - 1, t->height - 1), ground);
        }
    }
}

}  // namespace
