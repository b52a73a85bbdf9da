// The GDI+ flat API, as the skin code uses it, and owning handles for the GDI+ objects it makes.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

#include "Handles.h"

namespace gdip = Gdiplus::DllExports;
using GpStatus = Gdiplus::Status;

using unique_gp_image = afx::unique_any<afx::handle_traits<Gdiplus::GpImage*, gdip::GdipDisposeImage>>;
using unique_gp_bitmap = afx::unique_any<afx::handle_traits<Gdiplus::GpBitmap*, gdip::GdipDisposeImage>>;
using unique_gp_graphics = afx::unique_any<afx::handle_traits<Gdiplus::GpGraphics*, gdip::GdipDeleteGraphics>>;
using unique_gp_image_attributes =
    afx::unique_any<afx::handle_traits<Gdiplus::GpImageAttributes*, gdip::GdipDisposeImageAttributes>>;
