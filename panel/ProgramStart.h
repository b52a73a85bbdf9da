// Starting the system programs of the launcher pages through the shell, as Explorer starts them:
// Task Manager asks for the highest rights available and the touch keyboard for UI access, which
// only the shell can arrange (CreateProcess of either fails with ERROR_ELEVATION_REQUIRED on
// Windows 8 and later). The full path goes to the shell quoted, so a path with spaces cannot be
// taken for a shorter program ("C:\Program.exe"); a 32-bit Tabvisor on 64-bit Windows names the
// real system folder rather than its 32-bit stand-in.
#pragma once

#include <string>

// Where this process reaches `path` as the system means it. A 32-bit process on 64-bit Windows
// sees the 32-bit system folder (SysWOW64) under the system folder's name; the real one is
// reached through the Sysnative alias. Other paths, and every path elsewhere, stay as they are.
std::wstring NativeSystemPath(const std::wstring& path);

// Asks the shell to start `program` (a full path) with the show command `show`, on this thread,
// with no window of ours for the shell to show errors in. Whether the shell started it; the caller
// does not wait for the program.
bool StartProgram(const std::wstring& program, int show);

// StartProgram on a thread of its own, so the shell's work (loading its extensions, waiting for a
// consent prompt) never holds up the caller; a failure goes unreported.
void StartProgramInBackground(const std::wstring& program, int show);
