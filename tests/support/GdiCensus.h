// Counts the GDI objects and DCs that the code of this executable creates and has not yet freed.
// Wine has no GetGuiResources, so the count is kept by patching this executable's import table:
// every creation and release the program's code makes goes through a counting wrapper. Objects
// made inside system DLLs (GDI+ internals, controls) are not counted: they are not the program's.
#pragma once

#include <windows.h>

#include <cstddef>

namespace gdi_census {

// Installs the counting wrappers (once per process; later calls do nothing).
void Install();
// Objects created through the wrappers and not yet released.
size_t Live();
// What the objects still alive are, for a failure message ("bitmap 3, dc 1").
const char* Describe();

} // namespace gdi_census
