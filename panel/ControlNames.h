// The names that screen readers read for the panel's and pages' controls, from the string table
// in the user's language. A button's name is its text (the owner-drawn ones never draw it, and
// the panel's are never drawn at all); a trackbar's is the static label just before it, which
// lies in its page at no size, so nothing on screen changes.
#pragma once

#include "Afx.h"
#include "PanelPages.h"

void NameControls(CWnd& panel, const PanelPages& pages);
