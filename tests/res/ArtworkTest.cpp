// Checks the artwork's pixels: the panel face's alpha gives the panel its shape, its tiles are
// opaque where the pages lie, each page bitmap continues its tile seamlessly, the device pictures
// carry no key colour and glow green only when on, and the thumbs are the pills they should be.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "ResTestSupport.h"
#include "resource.h"

using namespace restest;

namespace {

const Image& Face()
{
    static const Image face = DecodePng(IDR_PNG_PANEL);
    return face;
}

const Rect kPageTiles[] = {kVolumeTile, kBrightnessTile, kKeyboardTile, kTaskMgrTile};
const Rect kAllTiles[] = {kSwitchTile, kVolumeTile, kBrightnessTile, kKeyboardTile, kTaskMgrTile};

TEST(PanelFace, IsTransparentAtItsEdgesAndCorners)
{
    const Image& face = Face();
    ASSERT_EQ(face.width, 724);
    ASSERT_EQ(face.height, 424);
    for (int x = 0; x < face.width; ++x) {
        EXPECT_EQ(face.at(x, 0).a, 0) << x;
        EXPECT_EQ(face.at(x, face.height - 1).a, 0) << x;
    }
    for (int y = 0; y < face.height; ++y) {
        EXPECT_EQ(face.at(0, y).a, 0) << y;
        EXPECT_EQ(face.at(face.width - 1, y).a, 0) << y;
    }
    // The body's corners are rounded: just inside the bounding box of each corner the surface has
    // not begun, while a few pixels further in along the diagonal it has.
    struct Corner {
        int x, y, dx, dy;
    };
    for (const Corner& c : {Corner{14, 8, 1, 1}, Corner{709, 8, -1, 1}, Corner{14, 403, 1, -1},
                            Corner{709, 403, -1, -1}}) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_LT(face.at(c.x + c.dx, c.y + c.dy).a, 120);
        EXPECT_GE(face.at(c.x + 12 * c.dx, c.y + 12 * c.dy).a, 165);
    }
}

TEST(PanelFace, SurfaceIsTranslucentAndCastsASoftShadow)
{
    const Image& face = Face();
    // Open surface between and around the tiles.
    for (auto [x, y] : {std::pair{36, 200}, {259, 150}, {467, 150}, {690, 220}, {400, 385}, {150, 66},
                        {600, 215}, {470, 390}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        EXPECT_NEAR(face.at(x, y).a, 173, 4);
        EXPECT_GT(face.at(x, y).r, 200) << "light grey";
    }
    // Below the body the shadow fades from partly dark to nothing at the image's bottom edge.
    int previous = 256;
    for (int y = 404; y < 424; ++y) {
        int a = face.at(362, y).a;
        EXPECT_LE(a, previous) << y;
        previous = a;
    }
    EXPECT_GT(face.at(362, 406).a, 20);
    EXPECT_LT(face.at(362, 406).r, 100);
}

TEST(PanelFace, TilesAreOpaqueAndRaisedWhereThePagesLie)
{
    const Image& face = Face();
    for (const Rect& t : kAllTiles) {
        SCOPED_TRACE(testing::Message() << t.x << "," << t.y);
        for (int y = t.y; y < t.y + t.h; ++y)
            for (int x = t.x; x < t.x + t.w; ++x)
                ASSERT_EQ(face.at(x, y).a, 255) << "at " << x << "," << y;
        // Outside the tile the surface is translucent again, darker below than above (its shadow).
        const Pixel above = face.at(t.x + t.w / 2, t.y - 3), below = face.at(t.x + t.w / 2, t.y + t.h + 1);
        EXPECT_LT(above.a, 255);
        EXPECT_LT(below.a, 255);
        EXPECT_LT(below.r, above.r);
    }
}

TEST(PanelFace, HasATitleAtTopLeft)
{
    const Image& face = Face();
    int dark = 0;
    for (int y = 14; y < 42; ++y)
        for (int x = 60; x < 160; ++x)
            dark += face.at(x, y).a == 255 && face.at(x, y).r < 90;
    EXPECT_GT(dark, 60);
}

TEST(PageBitmaps, ContinueTheirTileSeamlessly)
{
    const Image& face = Face();
    const int bitmaps[] = {IDB_VOLUME_BK, IDB_BRIGHTNESS_BK, IDB_KEYBOARD_BK, IDB_TASKMGR_BK};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(bitmaps[i]);
        const Rect& t = kPageTiles[i];
        Image bk = ReadDib(bitmaps[i]);
        ASSERT_EQ(bk.width, 196);
        // The outer three pixels of the shown 195 columns are exactly the tile's.
        for (int y = 0; y < t.h; ++y)
            for (int x = 0; x < t.w; ++x) {
                bool rim = x < 3 || y < 3 || x >= t.w - 3 || y >= t.h - 3;
                if (rim) {
                    ASSERT_EQ(bk.at(x, y), face.at(t.x + x, t.y + y)) << "at " << x << "," << y;
                }
            }
        // The hidden last column repeats the one before it, not the translucent surface.
        for (int y = 0; y < t.h; ++y)
            EXPECT_EQ(bk.at(195, y), bk.at(194, y));
        // And it carries its label and picture: plenty of pixels that are not the tile's.
        int drawn = 0;
        for (int y = 0; y < t.h; ++y)
            for (int x = 0; x < t.w; ++x)
                drawn += !(bk.at(x, y) == face.at(t.x + x, t.y + y));
        EXPECT_GT(drawn, 600);
    }
}

bool IsMagenta(const Pixel& p)
{
    return p.r == 255 && p.g == 0 && p.b == 255;
}

bool IsGreen(const Pixel& p)
{
    return p.g > p.r + 60 && p.g > p.b + 40;
}

struct Device {
    int on, off;
};
const Device kDevices[] = {{IDB_CAMERA_ON, IDB_CAMERA_OFF},
                           {IDB_WIRELESS_ON, IDB_WIRELESS_OFF},
                           {IDB_BLUETOOTH_ON, IDB_BLUETOOTH_OFF},
                           {IDB_3G_ON, IDB_3G_OFF}};

TEST(DevicePictures, HoldNoKeyColourAndGlowGreenOnlyWhenOn)
{
    for (const Device& d : kDevices) {
        Image on = ReadDib(d.on), off = ReadDib(d.off);
        int greenOn = 0, greenOff = 0;
        for (const Pixel& p : on.px) {
            EXPECT_FALSE(IsMagenta(p)) << d.on;
            greenOn += IsGreen(p);
        }
        for (const Pixel& p : off.px) {
            EXPECT_FALSE(IsMagenta(p)) << d.off;
            greenOff += IsGreen(p);
        }
        EXPECT_GT(greenOn, 40) << d.on;
        EXPECT_EQ(greenOff, 0) << d.off;
    }
}

// A 44 x 44 button shows a larger picture centred with a truncating halving: this is the picture's
// pixel at the button's top-left.
int Inset(int size)
{
    return -((44 - size) / 2);
}

TEST(DevicePictures, ShowTheSameKeyOnThePanelsTileInEveryState)
{
    const Pixel tile = Face().at(kSwitchTile.x + kSwitchTile.w / 2, kSwitchTile.y + kSwitchTile.h - 8);
    for (const Device& d : kDevices) {
        Image on = ReadDib(d.on), off = ReadDib(d.off);
        for (const Image* pic : {&on, &off}) {
            const int ox = Inset(pic->width), oy = Inset(pic->height);
            // The window the button shows, and the row and column a pressed button shifts in,
            // start and end on the tile's colour.
            for (int i = -1; i < 44; ++i) {
                EXPECT_EQ(pic->at(ox + i, oy), tile);
                EXPECT_EQ(pic->at(ox + i, oy - 1), tile);
                EXPECT_EQ(pic->at(ox + i, oy + 43), tile);
                EXPECT_EQ(pic->at(ox - 1, oy + i), tile);
                EXPECT_EQ(pic->at(ox, oy + i), tile);
                EXPECT_EQ(pic->at(ox + 43, oy + i), tile);
            }
        }
        // On and off show the same key at the same place: the outline of the key does not jump.
        const int onX = Inset(on.width), onY = Inset(on.height), offX = Inset(off.width), offY = Inset(off.height);
        int differing = 0;
        for (int y = 0; y < 44; ++y)
            for (int x = 0; x < 44; ++x)
                differing += !(on.at(onX + x, onY + y) == off.at(offX + x, offY + y));
        EXPECT_GT(differing, 100) << d.on;
        EXPECT_EQ(on.at(onX + 2, onY + 22), off.at(offX + 2, offY + 22)) << "the key's rim";
    }
}

TEST(Thumbs, ArePillsInLightBlueAndLightGrey)
{
    Image pressed = ReadDib(IDB_THUMB_PRESSED), normal = ReadDib(IDB_THUMB_NORMAL);
    const Pixel p = pressed.at(5, 14), n = normal.at(5, 14);
    EXPECT_GT(p.b, p.r + 40) << "light blue";
    EXPECT_GT(p.r, 120) << "light";
    EXPECT_LT(std::abs(n.r - n.b), 16) << "grey";
    EXPECT_GT(n.r, 200) << "light";
    // Rounded ends: the corners are not the pill's colour.
    EXPECT_FALSE(pressed.at(0, 0) == p);
    EXPECT_FALSE(normal.at(0, 0) == n);
}

TEST(LauncherPictures, KeyCapsStandOnATransparentGround)
{
    Image caps = DecodePng(IDR_PNG_TASKMGR);
    ASSERT_EQ(caps.width, 174);
    for (auto [x, y] : {std::pair{0, 0}, {173, 0}, {0, 34}, {173, 34}, {55, 3}, {111, 30}})
        EXPECT_EQ(caps.at(x, y).a, 0) << x << "," << y;
    int opaque = 0;
    for (const Pixel& p : caps.px)
        opaque += p.a == 255;
    EXPECT_GT(opaque, 2000);
}

}  // namespace
