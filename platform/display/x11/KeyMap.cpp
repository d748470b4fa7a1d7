#include "KeyMap.h"

#include <array>
#include <utility>

namespace platform::display::x11 {

namespace {

constexpr std::array<std::pair<KeySym, UINT>, 26> kNamedKeys{{
    {XK_BackSpace, vk::Back},    {XK_Tab, vk::Tab},
    {XK_ISO_Left_Tab, vk::Tab},  {XK_Return, vk::Return},
    {XK_KP_Enter, vk::Return},   {XK_Shift_L, vk::Shift},
    {XK_Shift_R, vk::Shift},     {XK_Control_L, vk::Control},
    {XK_Control_R, vk::Control}, {XK_Alt_L, vk::Menu},
    {XK_Alt_R, vk::Menu},        {XK_Meta_L, vk::Menu},
    {XK_Escape, vk::Escape},     {XK_space, vk::Space},
    {XK_Prior, vk::Prior},       {XK_Next, vk::Next},
    {XK_End, vk::End},           {XK_Home, vk::Home},
    {XK_Left, vk::Left},         {XK_Up, vk::Up},
    {XK_Right, vk::Right},       {XK_Down, vk::Down},
    {XK_Insert, vk::Insert},     {XK_Delete, vk::Delete},
    {XK_KP_Space, vk::Space},    {XK_Meta_R, vk::Menu},
}};

} // namespace

UINT VirtualKeyFromKeysym(KeySym keysym) {
    if (keysym >= XK_a && keysym <= XK_z) {
        return static_cast<UINT>('A' + (keysym - XK_a));
    }
    if (keysym >= XK_A && keysym <= XK_Z) {
        return static_cast<UINT>(keysym);
    }
    if (keysym >= XK_0 && keysym <= XK_9) {
        return static_cast<UINT>(keysym);
    }
    if (keysym >= XK_F1 && keysym <= XK_F12) {
        return static_cast<UINT>(vk::F1 + (keysym - XK_F1));
    }
    for (const auto& [sym, code] : kNamedKeys) {
        if (sym == keysym) {
            return code;
        }
    }
    return 0;
}

UINT ModifiersFromState(unsigned int state) {
    UINT flags = 0;
    if (state & Button1Mask) {
        flags |= mk::LButton;
    }
    if (state & Button2Mask) {
        flags |= mk::MButton;
    }
    if (state & Button3Mask) {
        flags |= mk::RButton;
    }
    if (state & ShiftMask) {
        flags |= mk::Shift;
    }
    if (state & ControlMask) {
        flags |= mk::Control;
    }
    if (state & Mod1Mask) {
        flags |= mk::Alt;
    }
    return flags;
}

UINT ModifierOfVirtualKey(UINT virtualKey) {
    switch (virtualKey) {
    case vk::Shift:
        return mk::Shift;
    case vk::Control:
        return mk::Control;
    case vk::Menu:
        return mk::Alt;
    default:
        return 0;
    }
}

UINT ModifierOfButton(unsigned int button) {
    switch (button) {
    case 1:
        return mk::LButton;
    case 2:
        return mk::MButton;
    case 3:
        return mk::RButton;
    default:
        return 0;
    }
}

} // namespace platform::display::x11
