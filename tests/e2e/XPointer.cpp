// Running xdotool from the Wine test process and knowing when it is done.
#include "XPointer.h"

#include "LibsTestSupport.h"
#include "ProgramUnderTest.h"

namespace {
constexpr wchar_t kXdotool[] = L"/usr/bin/xdotool";

std::wstring Point(POINT p) { return std::to_wstring(p.x) + L" " + std::to_wstring(p.y); }
} // namespace

bool XPointerAvailable() { return ::GetFileAttributesW(L"Z:\\usr\\bin\\xdotool") != INVALID_FILE_ATTRIBUTES; }

bool PlayXPointer(const std::wstring& commands)
{
    // Wine starts Unix programs by their Unix path, but gives no handle to wait on: the last
    // command leaves a mark to wait for instead.
    static int serial = 0;
    const std::wstring mark = L"tabvisor-e2e-xdotool-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial);
    const std::wstring markPath = L"Z:\\tmp\\" + mark;
    ::DeleteFileW(markPath.c_str());
    if (!tabvisor::testing::StartUnixProgram(kXdotool, L"xdotool " + commands + L" exec --sync /usr/bin/touch /tmp/" + mark))
        return false;
    const bool done =
        WaitFor([&] { return ::GetFileAttributesW(markPath.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
    ::DeleteFileW(markPath.c_str());
    return done;
}

bool XDrag(POINT from, POINT to, int steps)
{
    std::wstring commands = L"mousemove " + Point(from) + L" sleep 0.1 mousedown 1";
    for (int step = 1; step <= steps; ++step) {
        const POINT at{from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps};
        commands += L" sleep 0.05 mousemove " + Point(at);
    }
    return PlayXPointer(commands + L" sleep 0.1 mouseup 1");
}

bool XMoveTo(POINT at) { return PlayXPointer(L"mousemove " + Point(at)); }

bool XClick(POINT at) { return PlayXPointer(L"mousemove " + Point(at) + L" sleep 0.1 click 1"); }
