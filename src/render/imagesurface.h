#pragma once
// The battlefield's two pictures as QImages (600 x 360, RGB32): the visible
// one that Picture1 shows and the hidden back buffer. The rules draw through
// the Surface interface; the widget reads visible() and repaints when told.
// Pixel rules are described in imagesurface.cpp.

#include "game/ports.h"

#include <QImage>

#include <cstdint>
#include <functional>

namespace ordnix {

class ImageSurface final : public Surface {
  public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 360;

    // Both pictures start filled with `initial` (a fresh picture box shows
    // its back colour).
    explicit ImageSurface(Rgb initial = Rgb{0, 0, 255});

    void clear(Rgb sky) override;
    void polygon(const Point* points, int count, Rgb fill, Rgb outline) override;
    void line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void disc(float cx, float cy, float radius, Rgb fill, Rgb outline) override;
    void savetoback() override;
    void restorefromback() override;

    // The images stay the same objects for the surface's lifetime, so a
    // widget may keep a reference and paint from it.
    const QImage& visible() const { return visible_; }
    const QImage& back() const { return back_; }

    // Called after every operation that changes the visible picture, so the
    // widget knows to repaint.
    std::function<void()> changed;

  private:
    void touched();

    QImage visible_;
    QImage back_;
};

// Opaque QColor value of an Rgb.
QRgb torgb(Rgb c);

} // namespace ordnix
