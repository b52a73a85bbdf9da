// Writes tabsim's output as UTF-8 bytes to standard output and standard error, so pipes and files
// get the same bytes whatever the console's code page.
#pragma once
#include <string>

namespace tabvisor::tabsim {

// False when not every byte could be written (a full disk, a closed or read-only handle).
bool WriteOut(const std::string& utf8);
bool WriteError(const std::wstring& text);

} // namespace tabvisor::tabsim
