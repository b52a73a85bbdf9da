// tabsim's text reports: the status fields and the port log. Other tools and tests parse these,
// so the field names, their order and their formats are fixed.
//
// status: one "name=value" line per field, '\n' line ends, UTF-8. Strings are written with line
// feed as \n, carriage return as \r, tab as \t and other control characters as \xNN; everything
// else, backslashes included, as it is.
// log: one access per line, "in|out PORT VALUE" with PORT as 0x6C and VALUE as 0xFA (upper-case
// hex, VALUE always two digits).
#pragma once
#include "TabletState.h"

#include <string>
#include <vector>

namespace tabvisor::tabsim {

std::string FormatStatus(const simulated::TabletState& state);

std::string FormatLogLine(const simulated::PortAccess& access);

// Escapes a UTF-16 string for a status line and converts it to UTF-8.
std::string EscapeForStatus(const std::wstring& text);

} // namespace tabvisor::tabsim
