// The root of everything that has a message map: windows and the application object.
#pragma once

#include "MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Offers command `id` with notification `code` to this object's command entries.
    virtual BOOL OnCmdMsg(UINT id, UINT code);

protected:
    static const afx::MsgMap* GetThisMessageMap();
    virtual const afx::MsgMap* GetMessageMap() const;

    // Calls every matching entry in turn until one accepts the message.
    template <class Match>
    bool DispatchTo(Match&& match, const afx::MsgArgs& args, LRESULT* result)
    {
        for (const afx::MsgMap* map = GetMessageMap(); map != nullptr;
             map = map->baseMap ? map->baseMap() : nullptr) {
            for (const afx::MsgMapEntry* e = map->entries; e->kind != afx::EntryKind::End; ++e) {
                if (match(*e) && e->thunk(this, args, result))
                    return true;
            }
        }
        return false;
    }
};
