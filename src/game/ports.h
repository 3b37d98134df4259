#pragma once
// What the rules need from outside: a surface to draw on, the battlefield
// window's controls, and sound. The windows implement these; tests replace
// them with recording fakes.

#include <cstdint>
#include <string>
#include <vector>

namespace ordnix {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Point {
    int32_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// The visible battlefield (600 x 360) and its hidden back buffer. Every
// polygon and disc is filled and outlined with a 1-pixel pen, no antialiasing.
class Surface {
  public:
    virtual ~Surface() = default;
    virtual void clear(Rgb sky) = 0;
    virtual void polygon(const Point* points, int count, Rgb fill, Rgb outline) = 0;
    virtual void line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    virtual void disc(float cx, float cy, float radius, Rgb fill, Rgb outline) = 0;
    virtual void savetoback() = 0;      // visible -> back buffer, whole block
    virtual void restorefromback() = 0; // back buffer -> visible, whole block
};

// The battlefield window's controls as the rules see them.
class BattleView {
  public:
    virtual ~BattleView() = default;
    // Weapon list: replace its entries (the first one shows selected), and
    // select one as a click would, without reporting it: the window moves its
    // focus to the battlefield as after a click. The window reports every
    // other change of the selection to the rules, which keep their own copy.
    virtual void setweapons(const std::vector<std::string>& names) = 0;
    virtual void selectweapon(int index) = 0;
    virtual void setammolabel(const std::string& text) = 0; // Label3
    virtual void showmarker(int left, int top) = 0;         // Image1
    virtual void hidemarker() = 0;
    virtual void setstatus(const std::string& label2, const std::string& label1) = 0;
};

enum class SoundId { Fire, Explode };

class Sound {
  public:
    virtual ~Sound() = default;
    // Starts the sound and returns at once; cuts off a sound still playing.
    virtual void play(SoundId id) = 0;
};

} // namespace ordnix
