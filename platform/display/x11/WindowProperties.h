// The properties through which a window manager (if any) learns how to treat a window.
#pragma once

#include "Atoms.h"
#include "display/display.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::display::x11 {

void SetWindowType(Display* display, const Atoms& atoms, Window window, WindowKind kind);
// Motif hints are the one decoration switch that most window managers honour.
void SetUndecorated(Display* display, const Atoms& atoms, Window window);
void SetOwner(Display* display, Window window, Window owner);
// WM_CLASS, WM_CLIENT_MACHINE, _NET_WM_PID, WM_PROTOCOLS and the input hint.
void SetIdentity(Display* display, const Atoms& atoms, Window window);
void SetTitle(Display* display, const Atoms& atoms, Window window, const std::string& title);
// False (and the old icon kept) when the pixel count does not match the size or the icon is
// too large for one property; an empty icon removes it.
bool SetIcon(Display* display, const Atoms& atoms, Window window, int width, int height,
             const std::vector<std::uint32_t>& argb);
// Marks the position and size as the program's own so a window manager keeps them.
void SetPlacementHints(Display* display, Window window, const RECT& rect);

} // namespace platform::display::x11
