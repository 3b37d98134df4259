#include "ui/keycodes.h"

#include <Qt>

namespace ordnix {

int virtualkey(int qtkey) {
    switch (qtkey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    if ((qtkey >= Qt::Key_A && qtkey <= Qt::Key_Z) || (qtkey >= Qt::Key_0 && qtkey <= Qt::Key_9))
        return qtkey; // Qt's codes for these are their upper-case ASCII
    return 255;
}

} // namespace ordnix
