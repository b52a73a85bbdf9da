// Dialog templates as the resources hold them (plain and extended): the dialog's style, place,
// font and items, the base units Windows gives the program's template fonts at 96 dpi, and the
// pixels a rectangle in dialog units takes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Geometry.h"

struct DialogTemplateItem {
    DWORD id = 0;
    CRect units;  // left, top, right, bottom in dialog units
};

struct DialogTemplateInfo {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    WORD pointSize = 0;   // 0 without DS_SETFONT
    std::wstring face;
    std::vector<DialogTemplateItem> items;
};
DialogTemplateInfo ReadDialogTemplate(const DLGTEMPLATE* dialogTemplate);

// The template resource `id`, from the module that holds it; null if there is none.
const DLGTEMPLATE* LoadDialogTemplate(LPCWSTR name);

// The dialog base units Windows gives a template font at 96 dpi, for the fonts this program's
// templates name: 6 x 12 for 9-point "宋体", 8 x 16 for 10-point "System". Empty for any other.
CSize DialogBaseUnitsAt96(const std::wstring& face, WORD pointSize);

// Where the dialog manager puts a rectangle of dialog units with these base units: each of its
// place and size converted on its own, as the dialog manager does (MulDiv by x / 4 and y / 8).
CRect DialogUnitsToPixels(const CRect& units, CSize baseUnits);
