// Reading the monitors' work areas.
#include "WorkAreas.h"

namespace {

struct Areas {
    std::vector<CRect> primary;
    std::vector<CRect> others;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context)
{
    auto* areas = reinterpret_cast<Areas*>(context);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(monitor, &info))
        return TRUE;
    if (info.dwFlags & MONITORINFOF_PRIMARY) {
        // The primary's work area as SPI_GETWORKAREA answers it: the same on Windows, and the only
        // one that follows SPI_SETWORKAREA under Wine, whose monitor information keeps the old one.
        RECT work{};
        if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
            info.rcWork = work;
        areas->primary.push_back(CRect(info.rcWork));
    } else {
        areas->others.push_back(CRect(info.rcWork));
    }
    return TRUE;
}

} // namespace

std::vector<CRect> CurrentWorkAreas()
{
    Areas areas;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
    areas.primary.insert(areas.primary.end(), areas.others.begin(), areas.others.end());
    return areas.primary;
}
