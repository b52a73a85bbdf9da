// A developer's trace of failures that the program does not show (the user sees no error message):
// one line through OutputDebugStringW, which a debugger or a debug-output viewer shows and
// nothing else does. Under Wine, WINEDEBUG=warn+seh prints it on the terminal.
#pragma once

#include <windows.h>

namespace afx {

// "Tabvisor: " and the text, formatted as swprintf does, with a line end; cut at 255 characters.
void Trace(const wchar_t* format, ...) noexcept;

} // namespace afx
