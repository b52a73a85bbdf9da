// One Tabvisor per session. The first start creates a small named file mapping in the session's
// Local\ namespace and records in it its process id and, once it waits for the tablet key, its
// panel. A later start in the same session finds the record, asks that panel to show itself (as
// the tablet key does) and ends without doing anything of its own. The setup finds the running
// program through the same record to close it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "Handles.h"

inline constexpr wchar_t kInstanceObjectName[] = L"Local\\Tabvisor.Instance";

// The record's layout: 32-bit fields only, the same for the x86 and x64 builds and the 32-bit
// setup (a window handle has 32 significant bits on every Windows).
struct InstanceRecord {
    uint32_t magic;      // kInstanceMagic once processId holds the holder's id
    uint32_t processId;  // the Tabvisor that holds the record
    uint32_t panel;      // its panel (HandleToLong) while it waits for the key, else 0
    uint32_t reserved;
};
inline constexpr uint32_t kInstanceMagic = 0x52535654;  // "TVSR"

class SingleInstance {
public:
    enum class Claim {
        First,        // this start holds the record
        AnotherRuns,  // a Tabvisor of this user holds it and was asked to show its panel: end
        Unguarded,    // the name is held by something else (a squatter): run, without the record
    };

    SingleInstance() = default;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Claims the session's record, or finds the Tabvisor that holds it and asks its panel to show
    // itself; waits for that Tabvisor's panel less than a second.
    Claim ClaimOrAskRunning();

    // The record names the panel once it waits for the key, and forgets it again when it goes.
    void PublishPanel(HWND panel);
    void WithdrawPanel() { PublishPanel(nullptr); }

private:
    afx::unique_handle m_mapping;
    afx::unique_mapped_view m_view;
};
