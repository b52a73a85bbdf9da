// Checks that the compiled resources hold every id in the format the program relies on: PNG size,
// colour type and resolution, bitmap sizes and depths, the icon's images, the strings in both
// languages (read as the program reads them), and the dialog templates field by field as the
// resource compiler wrote them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <array>
#include <set>

#include "Afx.h"
#include "ResTestSupport.h"
#include "resource.h"

using namespace restest;

namespace {

constexpr BYTE kPngRgb = 2, kPngRgba = 6;

// String `id` as the program loads it with its strings' language set to `language`.
std::wstring StringInLanguage(UINT id, LANGID language)
{
    AFX_MODULE_STATE* state = AfxGetModuleState();
    const LANGID saved = std::exchange(state->m_stringLanguage, language);
    CString text;
    text.LoadString(id);
    state->m_stringLanguage = saved;
    return text.str();
}

TEST(ResourceFormat, PngArtworkHasItsSizeFormatAndResolution)
{
    struct Expected {
        int id;
        std::uint32_t w, h;
        BYTE colourType;
        std::uint32_t pixelsPerMetre;
    };
    for (const Expected& e : {Expected{IDR_PNG_KEYBOARD, 136, 49, kPngRgb, 3741},
                              Expected{IDR_PNG_TASKMGR, 174, 35, kPngRgba, 3741},
                              Expected{IDR_PNG_PANEL, 724, 424, kPngRgba, 5906}}) {
        SCOPED_TRACE(e.id);
        PngInfo info = ReadPngInfo(ResourceBytes(e.id, L"PNG"));
        EXPECT_EQ(info.width, e.w);
        EXPECT_EQ(info.height, e.h);
        EXPECT_EQ(info.bitDepth, 8);
        EXPECT_EQ(info.colourType, e.colourType);
        ASSERT_TRUE(info.hasPhys);
        EXPECT_EQ(info.unit, 1) << "pHYs must be in pixels per metre";
        EXPECT_EQ(info.ppuX, e.pixelsPerMetre);
        EXPECT_EQ(info.ppuY, e.pixelsPerMetre);

        Image decoded = DecodePng(e.id);
        EXPECT_EQ(decoded.width, static_cast<int>(e.w)) << "GDI+ could not decode it";
    }
}

TEST(ResourceFormat, PngResourcesAreFoundOnlyUnderTheirStringType)
{
    EXPECT_FALSE(ResourceBytes(IDR_PNG_PANEL, L"PNG").empty());
    EXPECT_TRUE(ResourceBytes(IDR_PNG_PANEL, MAKEINTRESOURCEW(10) /* RT_RCDATA */).empty());
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_PNG_PANEL), "PNG"), nullptr);
}

TEST(ResourceFormat, BitmapsHaveTheirSizeAndDepth)
{
    struct Expected {
        int id, w, h, bits;
    };
    const Expected all[] = {
        {IDB_VOLUME_BK, 196, 133, 24},   {IDB_BRIGHTNESS_BK, 196, 133, 24}, {IDB_KEYBOARD_BK, 196, 133, 24},
        {IDB_TASKMGR_BK, 196, 133, 24},  {IDB_THUMB_PRESSED, 11, 22, 24},   {IDB_THUMB_NORMAL, 11, 22, 24},
        {IDB_WIRELESS_ON, 48, 47, 32},   {IDB_WIRELESS_OFF, 48, 47, 32},    {IDB_3G_ON, 48, 47, 32},
        {IDB_3G_OFF, 48, 48, 32},        {IDB_BLUETOOTH_ON, 48, 47, 32},    {IDB_BLUETOOTH_OFF, 48, 48, 32},
        {IDB_CAMERA_ON, 47, 47, 32},     {IDB_CAMERA_OFF, 47, 47, 32},
    };
    for (const Expected& e : all) {
        SCOPED_TRACE(e.id);
        int bits = 0;
        Image dib = ReadDib(e.id, &bits);
        EXPECT_EQ(bits, e.bits);
        EXPECT_EQ(dib.width, e.w);
        EXPECT_EQ(dib.height, e.h);

        // The way the pages load them: LoadImage as a device-dependent bitmap of natural size.
        HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(e.id),
                                                         IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        ASSERT_NE(loaded, nullptr);
        BITMAP bm{};
        GetObjectA(loaded, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, e.w);
        EXPECT_EQ(bm.bmHeight, e.h);
        DeleteObject(loaded);
    }
}

TEST(ResourceFormat, IconHas16And32And48PixelImages)
{
    auto group = ResourceBytes(IDR_MAINFRAME, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    ASSERT_GE(group.size(), 6u);
    const int count = group[4] | (group[5] << 8);
    std::vector<int> sizes;
    for (int i = 0; i < count && 6 + 14 * (i + 1) <= static_cast<int>(group.size()); ++i) {
        const std::uint8_t* entry = group.data() + 6 + 14 * i;
        EXPECT_EQ(entry[0], entry[1]) << "square images only";
        sizes.push_back(entry[0]);
        const int bits = entry[6] | (entry[7] << 8);
        EXPECT_EQ(bits, 32);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));

    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO ii{};
        ASSERT_TRUE(GetIconInfo(icon, &ii));
        BITMAP bm{};
        GetObjectW(ii.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size);
        DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(ResourceFormat, AboutStringRoundTripsItsChineseText)
{
    wchar_t buffer[64] = {};
    int length = LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, buffer, 64);
    EXPECT_EQ(std::wstring(buffer, length), L"关于 Orvo(&A)...");
}

// Every string comes in simplified Chinese and in US English, under the same ids, read as the
// program reads them; the About item is the design's text in both, and nothing is left to a
// neutral table that would shadow either.
TEST(ResourceFormat, EveryStringComesInChineseAndEnglish)
{
    const LANGID chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    EXPECT_EQ(StringInLanguage(IDS_ABOUTBOX, chinese), L"关于 Orvo(&A)...");
    EXPECT_EQ(StringInLanguage(IDS_ABOUTBOX, english), L"关于 Orvo(&A)...");
    const UINT translated[] = {IDS_SWITCHES_NO_PORT_ACCESS, IDS_SWITCHES_NO_ANSWER, IDS_NAME_CLOSE,
                               IDS_NAME_WIRELESS, IDS_NAME_CAMERA, IDS_NAME_BLUETOOTH, IDS_NAME_VOLUME,
                               IDS_NAME_BRIGHTNESS, IDS_NAME_KEYBOARD, IDS_NAME_TASKMGR};
    std::set<UINT> blocks{IDS_ABOUTBOX / 16 + 1, IDS_NAME_3G / 16 + 1};
    for (UINT id : translated) {
        SCOPED_TRACE(id);
        EXPECT_NE(StringInLanguage(id, english), L"");
        EXPECT_NE(StringInLanguage(id, chinese), StringInLanguage(id, english));
        blocks.insert(id / 16 + 1);
    }
    for (UINT block : blocks) {
        std::set<LANGID> languages;
        EnumResourceLanguagesW(
            GetModuleHandleW(nullptr), RT_STRING, MAKEINTRESOURCEW(block),
            [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) CALLBACK -> BOOL {
                reinterpret_cast<std::set<LANGID>*>(found)->insert(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, (std::set<LANGID>{chinese, english})) << "string block " << block;
    }
}

// ---- dialog templates, as compiled ----

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr WORD kButton = 0x80, kStatic = 0x82;

struct Item {
    DWORD id;
    short x, y, cx, cy;
};

void ExpectButtons(const DialogTemplate& t, std::initializer_list<Item> expected)
{
    ASSERT_EQ(t.items.size(), expected.size());
    size_t i = 0;
    for (const Item& e : expected) {
        const DialogItem& item = t.items[i++];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(item.id, e.id);
        EXPECT_EQ(item.classOrdinal, kButton);
        EXPECT_EQ(item.text, L"");
        EXPECT_EQ(item.textOrdinal, 0);
        EXPECT_EQ(item.style, kChild) << std::hex << item.style;
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ((std::array{item.x, item.y, item.cx, item.cy}), (std::array{e.x, e.y, e.cx, e.cy}));
    }
}

DialogTemplate Template(int id)
{
    return ParseDialog(ResourceBytes(id, MAKEINTRESOURCEW(5) /* RT_DIALOG */));
}

TEST(DialogTemplates, PanelIsAnExtendedPopupWithSevenClickAreas)
{
    DialogTemplate t = Template(IDD_TABVISOR_DIALOG);
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | DS_SETFONT)) << std::hex << t.style;
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ((std::array{t.x, t.y, t.cx, t.cy}), (std::array<short, 4>{0, 0, 482, 278}));
    EXPECT_EQ(t.title, L"");
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_EQ(t.face, L"宋体");
    EXPECT_EQ(t.charset, 1);
    EXPECT_EQ(t.weight, 0);
    EXPECT_EQ(t.italic, 0);
    ExpectButtons(t, {{IDC_PANEL_CLOSE, 432, 12, 21, 12},
                      {IDC_PANEL_AREA_1004, 417, 12, 16, 12},
                      {IDC_PANEL_AREA_1008, 177, 150, 112, 22},
                      {IDC_PANEL_AREA_1009, 235, 186, 21, 46},
                      {IDC_PANEL_AREA_1010, 61, 197, 90, 31},
                      {IDC_PANEL_AREA_1011, 39, 47, 271, 201},
                      {IDC_PANEL_AREA_1017, 310, 47, 137, 97}});
}

TEST(DialogTemplates, AboutBoxHasChineseTitleTextAndButton)
{
    DialogTemplate t = Template(IDD_ABOUTBOX);
    EXPECT_EQ(t.style, static_cast<DWORD>(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT))
        << std::hex << t.style;
    EXPECT_EQ((std::array{t.cx, t.cy}), (std::array<short, 2>{235, 55}));
    EXPECT_EQ(t.title, L"关于 Orvo");
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_EQ(t.face, L"宋体");
    ASSERT_EQ(t.items.size(), 3u);

    const DialogItem& icon = t.items[0];
    EXPECT_EQ(icon.classOrdinal, kStatic);
    EXPECT_EQ(icon.textOrdinal, IDR_MAINFRAME);
    EXPECT_EQ(icon.id, 0xFFFFu);
    EXPECT_EQ(icon.style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ((std::array{icon.x, icon.y}), (std::array<short, 2>{11, 17}));

    const DialogItem& text = t.items[1];
    EXPECT_EQ(text.classOrdinal, kStatic);
    EXPECT_EQ(text.text, L"Orvo 1.0 版");
    EXPECT_EQ(text.id, 0xFFFFu);
    EXPECT_TRUE(text.style & SS_NOPREFIX);
    EXPECT_EQ((std::array{text.x, text.y, text.cx, text.cy}), (std::array<short, 4>{40, 10, 119, 8}));

    const DialogItem& ok = t.items[2];
    EXPECT_EQ(ok.classOrdinal, kButton);
    EXPECT_EQ(ok.id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(ok.text, L"确定");
    EXPECT_EQ(ok.style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ((std::array{ok.x, ok.y, ok.cx, ok.cy}), (std::array<short, 4>{178, 7, 50, 14}));
}

void ExpectPage(const DialogTemplate& t, short cx, short cy)
{
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | DS_SETFONT)) << std::hex << t.style;
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ((std::array{t.x, t.y, t.cx, t.cy}), (std::array<short, 4>{0, 0, cx, cy}));
    EXPECT_EQ(t.title, L"");
    EXPECT_EQ(t.pointSize, 10);
    EXPECT_EQ(t.face, L"System");
}

TEST(DialogTemplates, SwitchPageHasFourSwitchesInARow)
{
    DialogTemplate t = Template(IDD_SWITCH_PAGE);
    ExpectPage(t, 102, 74);
    ExpectButtons(t, {{IDC_SWITCH_CAMERA, 4, 41, 22, 22},
                      {IDC_SWITCH_WIRELESS, 26, 41, 22, 22},
                      {IDC_SWITCH_BLUETOOTH, 48, 41, 22, 22},
                      {IDC_SWITCH_3G, 70, 41, 22, 22}});
}

TEST(DialogTemplates, SliderPagesHoldOneHorizontalTrackbarAfterItsLabelOfNoSize)
{
    struct Expected {
        int dialog;
        short cx, cy;
        DWORD label;
        DWORD control;
        short y;
    };
    for (const Expected& e : {Expected{IDD_VOLUME_PAGE, 101, 64, IDC_VOLUME_LABEL, IDC_VOLUME_SLIDER, 45},
                              Expected{IDD_BRIGHTNESS_PAGE, 103, 65, IDC_BRIGHTNESS_LABEL, IDC_BRIGHTNESS_SLIDER, 46}}) {
        SCOPED_TRACE(e.dialog);
        DialogTemplate t = Template(e.dialog);
        ExpectPage(t, e.cx, e.cy);
        ASSERT_EQ(t.items.size(), 2u);
        // Screen readers name a trackbar by the static text just before it; at no size it draws
        // nothing, and it takes no focus.
        const DialogItem& label = t.items[0];
        EXPECT_EQ(label.id, e.label);
        EXPECT_EQ(label.classOrdinal, kStatic);
        EXPECT_EQ(label.style & (SS_TYPEMASK | WS_VISIBLE | WS_TABSTOP), static_cast<DWORD>(SS_LEFT | WS_VISIBLE));
        EXPECT_EQ((std::array{label.cx, label.cy}), (std::array<short, 2>{0, 0}));
        const DialogItem& slider = t.items[1];
        EXPECT_EQ(slider.id, e.control);
        // windres writes control class names in capitals; window classes match regardless of case.
        EXPECT_EQ(_wcsicmp(slider.className.c_str(), L"msctls_trackbar32"), 0) << slider.className;
        // Its name comes from the string table, in the user's language.
        EXPECT_EQ(slider.text, L"");
        EXPECT_EQ(slider.style, static_cast<DWORD>(kChild | TBS_BOTH | TBS_NOTICKS)) << std::hex << slider.style;
        EXPECT_EQ(slider.style & TBS_VERT, 0u);
        EXPECT_EQ((std::array{slider.x, slider.y, slider.cx, slider.cy}), (std::array<short, 4>{10, e.y, 76, 15}));
    }
}

TEST(DialogTemplates, LauncherPagesHoldOneButton)
{
    DialogTemplate keyboard = Template(IDD_KEYBOARD_PAGE);
    ExpectPage(keyboard, 110, 64);
    ExpectButtons(keyboard, {{IDC_KEYBOARD_LAUNCH, 14, 31, 68, 25}});

    DialogTemplate taskmgr = Template(IDD_TASKMGR_PAGE);
    ExpectPage(taskmgr, 127, 69);
    ExpectButtons(taskmgr, {{IDC_TASKMGR_LAUNCH, 6, 35, 84, 17}});
}

}  // namespace
