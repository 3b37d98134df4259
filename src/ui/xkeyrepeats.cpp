#include "ui/xkeyrepeats.h"

#include <QByteArray>

#include <cstring>

namespace ordnix {

namespace {
// A core key press as the X protocol sends it (32 bytes, in our own byte
// order): the type, the keycode, and at fixed places the window it came to
// and the modifier state. A press another program sent (the type's top bit
// set) is left to Qt.
constexpr uint8_t kKeyPress = 2;
constexpr int kWindowAt = 12;
constexpr int kStateAt = 28;

template <class T> T field(const uint8_t* event, int at) {
    T value;
    std::memcpy(&value, event + at, sizeof value);
    return value;
}
} // namespace

bool XKeyRepeats::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto* event = static_cast<const uint8_t*>(message);
    if (event[0] != kKeyPress)
        return false;
    return redundant_(field<uint32_t>(event, kWindowAt), event[1],
                      field<uint16_t>(event, kStateAt));
}

} // namespace ordnix
