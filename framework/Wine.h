// Whether the program runs under Wine rather than on Windows. The few things the program does only
// for Wine (each marked "Wine:" where it is done) ask this one question.
#pragma once

namespace afx {

// True when ntdll exports wine_get_version, which only Wine's does. Looked up once, at the first
// question; every later one answers from that.
bool RunningUnderWine() noexcept;

} // namespace afx
