#pragma once
// Virtual-key codes the rules act on; the window maps its keys to them.

#include <cstdint>

namespace ordnix {

enum KeyCode : int16_t {
    kKeyEnter = 13,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
};

} // namespace ordnix
