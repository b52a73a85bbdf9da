// Command routing through a message map, for windows and the application object alike.
#include "CmdTarget.h"

const afx::MsgMap* CCmdTarget::GetThisMessageMap()
{
    static const afx::MsgMapEntry entries[] = {afx::MsgMapEntry{}};
    static const afx::MsgMap map = {nullptr, entries};
    return &map;
}

const afx::MsgMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code)
{
    LRESULT ignored = 0;
    const afx::MsgArgs args{WM_COMMAND, MAKEWPARAM(id, code), 0};
    return DispatchTo(
        [&](const afx::MsgMapEntry& e) {
            return e.kind == afx::EntryKind::Command && e.message == code && id >= e.idFirst && id <= e.idLast;
        },
        args, &ignored);
}
