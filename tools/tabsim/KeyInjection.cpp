// SendInput of one key's down and/or up events.
#include "KeyInjection.h"

#include <windows.h>

#include <vector>

namespace tabvisor::tabsim {
namespace {

INPUT KeyEvent(const KeyCommand& key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.virtualKey;
    input.ki.wScan = key.scanCode ? key.scanCode : static_cast<WORD>(MapVirtualKeyW(key.virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (key.extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

} // namespace

bool InjectKey(const KeyCommand& key)
{
    std::vector<INPUT> events;
    if (key.action != KeyAction::Up) events.push_back(KeyEvent(key, false));
    if (key.action != KeyAction::Down) events.push_back(KeyEvent(key, true));
    const UINT sent = SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    return sent == events.size();
}

} // namespace tabvisor::tabsim
