// Where the program takes libraries and system programs from: its own folder for the maker's
// libraries, the system folder for the system's own. Loading by bare name would also search the
// working folder and PATH, where anyone may have put a file of that name.
#pragma once

#include <windows.h>

#include <string>

namespace afx {

// The folder of the running program's executable, without a trailing backslash.
std::wstring ProgramFolder();
// The system folder (System32, as the system names it for this process), without a backslash.
std::wstring SystemFolder();
// The system's Windows folder (the real one, also on a terminal server), without a backslash.
std::wstring WindowsFolder();

// Loads `file` from the program's folder; a path with a folder in it is taken as it stands. The
// library's own dependencies are looked up from its folder first. Null when it cannot be loaded.
HMODULE LoadProgramLibrary(const wchar_t* file);
// Loads a system library from the system folder only. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* file);

// Takes the working folder out of the search path of libraries that others load by name on the
// program's behalf. Once, at start-up.
void RemoveWorkingFolderFromLibrarySearch();

} // namespace afx
