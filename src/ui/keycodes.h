#pragma once
// Qt keys as the virtual-key codes the rules use.

namespace ordnix {

// Return and Enter 13, Left 37, Up 38, Right 39, Down 40, Space 32, Escape 27,
// letters and digits their upper-case ASCII code, anything else 255.
int virtualkey(int qtkey);

} // namespace ordnix
