// Counts the GDI objects and DCs that this executable's own code holds: its imports of the calls
// that create and free them are routed through a tally (Wine has no GetGuiResources). Objects that
// system libraries make for themselves, such as a trackbar's drawing buffer, are not counted.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace gdi_count {

// Routes the imports through the tally, once per process; later calls do nothing.
void Install();

// Objects and DCs made through the counted calls and not yet freed. An object deleted while still
// selected into a DC stays counted: Windows refuses to delete it, so it would leak there.
size_t Live();

// What the live objects are, for a failure message ("bitmap 3, memory dc 1").
std::string Describe();

} // namespace gdi_count
