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
        // The primary's work area where SPI_GETWORKAREA's and the monitor's agree: on Windows they
        // are the same. Under Wine only the first follows SPI_SETWORKAREA (the monitor keeps the
        // old one), and only the second follows a change of the display's mode (the first keeps
        // the old screen's), so what lies in both is the area now.
        RECT work{};
        RECT both{};
        if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && ::IntersectRect(&both, &work, &info.rcWork))
            info.rcWork = both;
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
