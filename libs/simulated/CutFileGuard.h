// Keeps a process alive when the state file it has mapped is cut short from outside while it is
// being used. Windows refuses to shorten a mapped file, but a Unix process (`: > file`) can, and
// under Wine the next access to the lost pages then faults. A guarded view whose file was cut is
// lengthened again and made a fresh tablet on the spot, as an emptied file is at its next use, and
// the access goes on.
#pragma once
#include <windows.h>

#include <cstddef>

namespace tabvisor::simulated {

// Guards the view at `base` (`size` bytes of `file`, which must stay open while guarded).
void GuardView(void* base, size_t size, HANDLE file);
void UnguardView(void* base);

// Gives `file` a length of `size` bytes, zero-filled past its old end.
bool Lengthen(HANDLE file, LONGLONG size);

} // namespace tabvisor::simulated
