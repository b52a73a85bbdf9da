// The GDI+ flat API, as the skin code uses it.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

namespace gdip = Gdiplus::DllExports;
using GpStatus = Gdiplus::Status;
