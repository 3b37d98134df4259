#pragma once
// The game's icon: a tank on a hill under the battlefield's sky, drawn with
// the battlefield's own tank shape and pixel rules. Used for the windows at
// run time and, through tools/makeicons, for the installed icon theme.

#include <QIcon>
#include <QImage>

namespace ordnix {

constexpr int kIconArtSize = 32;

// The 32 x 32 pixel art itself (RGB32, opaque).
QImage makeiconart();

// The art at `size` x `size`: whole multiples of 32 repeat each pixel, so
// the pixel art stays crisp; other sizes are scaled smoothly.
QImage makeicon(int size);

// The sizes the installed icon theme has.
inline constexpr int kThemeIconSizes[] = {16, 32, 48, 64, 128, 256};

// The sizes each window hands the desktop: every theme size up to 128. The
// window system builds every offered size for every new window, and a
// 256 x 256 one alone is a quarter megabyte sent (and briefly held several
// times over) each round; a desktop that wants more finds the theme's icon
// through the desktop file.
inline constexpr int kWindowIconSizes[] = {16, 32, 48, 64, 128};

// The icon at every size of kWindowIconSizes (and drawn as makeicon() at
// any other), for QApplication::setWindowIcon.
QIcon makewindowicon();

} // namespace ordnix
