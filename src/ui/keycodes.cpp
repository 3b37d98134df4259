#include "ui/keycodes.h"

#include "game/keys.h"

#include <Qt>

namespace ordnix {

namespace {

constexpr int kSpace = 32;
constexpr int kEscape = 27;
constexpr int kOtherKey = 255; // a stable code that is none of the others

struct NamedKey {
    int qt;
    int code;
};
constexpr NamedKey kNamedKeys[] = {
    {Qt::Key_Return, kKeyEnter}, {Qt::Key_Enter, kKeyEnter}, {Qt::Key_Left, kKeyLeft},
    {Qt::Key_Up, kKeyUp},        {Qt::Key_Right, kKeyRight}, {Qt::Key_Down, kKeyDown},
    {Qt::Key_Space, kSpace},     {Qt::Key_Escape, kEscape},
};

} // namespace

int virtualkey(int qtkey) {
    for (const NamedKey& key : kNamedKeys)
        if (key.qt == qtkey)
            return key.code;
    if ((qtkey >= Qt::Key_A && qtkey <= Qt::Key_Z) || (qtkey >= Qt::Key_0 && qtkey <= Qt::Key_9))
        return qtkey; // Qt's codes for these are their upper-case ASCII
    return kOtherKey;
}

} // namespace ordnix
