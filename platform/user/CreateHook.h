// Lets the framework attach its object to the next window this thread creates, before the
// window sees its first message (MFC subclasses windows at creation this way).
#pragma once

#include "platform/user32.h"

namespace platform::user {

using CreateHook = void (*)(HWND hwnd, void* context);

// Arms the hook for the next CreateWindowExA on this thread; it fires once and disarms.
void SetCreateHook(CreateHook hook, void* context);
void ClearCreateHook();
// Called by window creation.
void RunCreateHook(HWND hwnd);

} // namespace platform::user
