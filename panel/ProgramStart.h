// Starting the system programs of the launcher pages: by explicit application name, so a path
// with spaces cannot be taken for a shorter program ("C:\Program.exe"), and, for a 32-bit
// Tabvisor on 64-bit Windows, from the real system folder rather than its 32-bit stand-in.
#pragma once

#include <string>

// Where this process reaches `path` as the system means it. A 32-bit process on 64-bit Windows
// sees the 32-bit system folder (SysWOW64) under the system folder's name; the real one is
// reached through the Sysnative alias. Other paths, and every path elsewhere, stay as they are.
std::wstring NativeSystemPath(const std::wstring& path);

// Starts `program` (a full path) with its quoted path as the command line and the show command
// `show`. Returns whether the process was created; the caller does not wait for it.
bool StartProgram(const std::wstring& program, int show);
