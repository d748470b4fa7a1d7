// Window titles reach X as UTF-8. The updater's strings are ANSI text, which is also valid
// UTF-8 while it is plain ASCII; anything else is read as Latin-1 so a title is never sent
// as malformed UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform::display::x11 {

bool IsValidUtf8(std::string_view text);

// `text` itself when it is valid UTF-8, otherwise its bytes read as Latin-1.
std::string ToUtf8(std::string_view text);

} // namespace platform::display::x11
