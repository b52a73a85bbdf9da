// Writes tabsim's output as UTF-8 bytes to standard output and standard error, so pipes and files
// get the same bytes whatever the console's code page.
#pragma once
#include <string>

namespace tabvisor::tabsim {

void WriteOut(const std::string& utf8);
void WriteError(const std::wstring& text);

} // namespace tabvisor::tabsim
