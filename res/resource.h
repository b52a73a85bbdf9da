// Resource ids of Tabvisor: dialog templates, controls, bitmaps, PNG artwork, the icon, the
// strings, the manifest and the version. Plain #defines only, so that both the C++ sources and the resource compiler read it.
#ifndef TABVISOR_RESOURCE_H
#define TABVISOR_RESOURCE_H

// Dialog templates
#define IDD_ABOUTBOX            100
#define IDD_TABVISOR_DIALOG     102
#define IDD_SWITCH_PAGE         162
#define IDD_VOLUME_PAGE         178
#define IDD_BRIGHTNESS_PAGE     179
#define IDD_KEYBOARD_PAGE       181
#define IDD_TASKMGR_PAGE        184

// Strings
#define IDS_ABOUTBOX            101
#define IDS_SWITCHES_NO_PORT_ACCESS 105  // tooltip of a device switch that cannot be reached
#define IDS_SWITCHES_NO_ANSWER  106
// What screen readers call the controls that do something
#define IDS_NAME_CLOSE          200
#define IDS_NAME_WIRELESS       201
#define IDS_NAME_3G             202
#define IDS_NAME_CAMERA         203
#define IDS_NAME_BLUETOOTH      204
#define IDS_NAME_VOLUME         205
#define IDS_NAME_BRIGHTNESS     206
#define IDS_NAME_KEYBOARD       207
#define IDS_NAME_TASKMGR        208

// Icon
#define IDR_MAINFRAME           128

// Bitmaps: page backgrounds (196 x 133, 24 bits)
#define IDB_VOLUME_BK           161
#define IDB_BRIGHTNESS_BK       180
#define IDB_KEYBOARD_BK         182
#define IDB_TASKMGR_BK          185

// Bitmaps: slider thumbs (11 x 22, 24 bits)
#define IDB_THUMB_PRESSED       168
#define IDB_THUMB_NORMAL        169

// Bitmaps: device switch pictures (32 bits)
#define IDB_WIRELESS_ON         170
#define IDB_3G_OFF              171
#define IDB_3G_ON               172
#define IDB_BLUETOOTH_OFF       173
#define IDB_BLUETOOTH_ON        174
#define IDB_CAMERA_OFF          175
#define IDB_CAMERA_ON           176
#define IDB_WIRELESS_OFF        177

// PNG artwork, resource type "PNG"
#define IDR_PNG_KEYBOARD        183
#define IDR_PNG_TASKMGR         186
#define IDR_PNG_PANEL           187

// The same artwork drawn at twice the size, each a "PNG" resource numbered 2000 + the id of the
// picture it stands for; used at display scales other than 100 %.
#define IDR_2X_VOLUME_BK        2161
#define IDR_2X_THUMB_PRESSED    2168
#define IDR_2X_THUMB_NORMAL     2169
#define IDR_2X_WIRELESS_ON      2170
#define IDR_2X_3G_OFF           2171
#define IDR_2X_3G_ON            2172
#define IDR_2X_BLUETOOTH_OFF    2173
#define IDR_2X_BLUETOOTH_ON     2174
#define IDR_2X_CAMERA_OFF       2175
#define IDR_2X_CAMERA_ON        2176
#define IDR_2X_WIRELESS_OFF     2177
#define IDR_2X_BRIGHTNESS_BK    2180
#define IDR_2X_KEYBOARD_BK      2182
#define IDR_2X_KEYBOARD         2183
#define IDR_2X_TASKMGR_BK       2185
#define IDR_2X_TASKMGR          2186
#define IDR_2X_PANEL            2187

// Controls of the panel (template 102): click areas over the face image
#define IDC_PANEL_AREA_1004     1004
#define IDC_PANEL_CLOSE         1007
#define IDC_PANEL_AREA_1008     1008
#define IDC_PANEL_AREA_1009     1009
#define IDC_PANEL_AREA_1010     1010
#define IDC_PANEL_AREA_1011     1011
#define IDC_PANEL_AREA_1017     1017

// Controls of the pages
#define IDC_SWITCH_CAMERA       1004
#define IDC_SWITCH_WIRELESS     1005
#define IDC_SWITCH_BLUETOOTH    1006
#define IDC_SWITCH_3G           1007
#define IDC_VOLUME_SLIDER       1012
#define IDC_BRIGHTNESS_SLIDER   1014
#define IDC_KEYBOARD_LAUNCH     1015
#define IDC_TASKMGR_LAUNCH      1016
#define IDC_VOLUME_LABEL        1018  // the sliders' names, at no size
#define IDC_BRIGHTNESS_LABEL    1019

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif
