// Menus as the system menu needs them: a list of items behind an HMENU.
#pragma once

#include "platform/user32.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::user {

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::string text;
};

struct Menu {
    std::vector<MenuItem> items;
};

std::shared_ptr<Menu> GetMenuObject(HMENU menu);

} // namespace platform::user
