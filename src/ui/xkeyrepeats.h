#pragma once
// Under X a held key comes back as a stream of presses, some 25 a second.
// Qt answers every press by writing the window's last-input time into a
// property of the window, which the X server then announces back to the
// game: two requests and an event per repeat, besides the key event itself,
// for a press that changes nothing in the game. This filter sees the X
// events before Qt does and drops a press that `redundant` says changes
// nothing, so neither Qt nor the X server does that work. Releases and
// everything else pass untouched.

#include <QAbstractNativeEventFilter>

#include <cstdint>
#include <functional>
#include <utility>

namespace ordnix {

class XKeyRepeats final : public QAbstractNativeEventFilter {
  public:
    // Asked for each key press: the window it came to, its keycode and its
    // modifier state, as the X server sends them.
    using Redundant = std::function<bool(uint32_t window, uint32_t keycode, uint32_t state)>;
    explicit XKeyRepeats(Redundant redundant) : redundant_(std::move(redundant)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    Redundant redundant_;
};

} // namespace ordnix
