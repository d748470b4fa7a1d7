// Maps X keysyms to Windows virtual-key codes and X modifier state to MK_ flags.
#pragma once

#include "XlibHeaders.h"
#include "platform/wintypes.h"

namespace platform::display::x11 {

// Virtual-key codes the window system acts on; values as Windows defines them.
namespace vk {
inline constexpr UINT Back = 0x08;
inline constexpr UINT Tab = 0x09;
inline constexpr UINT Return = 0x0D;
inline constexpr UINT Shift = 0x10;
inline constexpr UINT Control = 0x11;
inline constexpr UINT Menu = 0x12; // Alt
inline constexpr UINT Escape = 0x1B;
inline constexpr UINT Space = 0x20;
inline constexpr UINT Prior = 0x21;
inline constexpr UINT Next = 0x22;
inline constexpr UINT End = 0x23;
inline constexpr UINT Home = 0x24;
inline constexpr UINT Left = 0x25;
inline constexpr UINT Up = 0x26;
inline constexpr UINT Right = 0x27;
inline constexpr UINT Down = 0x28;
inline constexpr UINT Insert = 0x2D;
inline constexpr UINT Delete = 0x2E;
inline constexpr UINT F1 = 0x70;
} // namespace vk

// Modifier flags of input events; the mouse and keyboard ones match MK_*.
namespace mk {
inline constexpr UINT LButton = 0x0001;
inline constexpr UINT RButton = 0x0002;
inline constexpr UINT Shift = 0x0004;
inline constexpr UINT Control = 0x0008;
inline constexpr UINT MButton = 0x0010;
inline constexpr UINT Alt = 0x1000;
} // namespace mk

// 0 for keys the window system has no use for.
UINT VirtualKeyFromKeysym(KeySym keysym);

UINT ModifiersFromState(unsigned int state);

// The flag a modifier key or mouse button itself contributes, 0 for others.
UINT ModifierOfVirtualKey(UINT virtualKey);
UINT ModifierOfButton(unsigned int button);

} // namespace platform::display::x11
