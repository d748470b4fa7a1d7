#include "display/headless/HeadlessScreen.h"

namespace platform::display {

HeadlessScreen* Headless() {
    return dynamic_cast<HeadlessScreen*>(CurrentBackend());
}

} // namespace platform::display
