#pragma once
// The battlefield's two pictures as QImages (600 x 360): the visible one that
// Picture1 shows and the hidden back buffer. A scene has a handful of colours
// (sky, ground, outlines, tanks, shells), so both pictures hold one byte a
// pixel and share one colour table: a quarter of the memory of RGB32, and a
// copy between them moves bytes as they are. Should the pictures ever need a
// 257th colour, both turn into RGB32 for good. The rules draw through
// the Surface interface; the widget reads visible() and repaints the part
// that each operation reports as changed. Pixel rules are described in
// imagesurface.cpp.
//
// The surface remembers the box in which the visible picture may differ from
// the back buffer (everything drawn since the last copy between them), so a
// copy moves only that box: outside it the two pictures are the same.

#include "game/ports.h"

#include <QImage>
#include <QRect>

#include <initializer_list>

#include <cstdint>
#include <functional>

class QPainter;

namespace ordnix {

class ImageSurface final : public Surface {
  public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 360;

    // Changed: copies move only the box in which the pictures differ, and
    // each operation reports the box it drew in. Whole: RGB32 pictures,
    // painted on directly; copies move every pixel and every change reports
    // the whole picture (the plain way, kept to compare against in tests and
    // benchmarks). The pictures come out the same either way.
    enum class Copies { Changed, Whole };

    // Both pictures start filled with `initial` (a fresh picture box shows
    // its back colour).
    explicit ImageSurface(Rgb initial = Rgb{0, 0, 255}, Copies copies = Copies::Changed);

    void clear(Rgb sky) override;
    void polygon(const Point* points, int count, Rgb fill, Rgb outline) override;
    void line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void disc(float cx, float cy, float radius, Rgb fill, Rgb outline) override;
    void savetoback() override;
    void restorefromback() override;

    // Frees both pictures when nothing will draw on the surface again: they
    // become null images, and a widget painting from them paints nothing.
    void release();

    // The images stay the same objects for the surface's lifetime, so a
    // widget may keep a reference and paint from it. Their format is the
    // surface's choice (see above): compare their pixels, not their bytes.
    const QImage& visible() const { return visible_; }
    const QImage& back() const { return back_; }

    // Called after every operation that changes the visible picture, with a
    // box (inside the picture, not empty) that holds every pixel it changed,
    // so the widget repaints that much.
    std::function<void(const QRect&)> changed;

  private:
    void drawn(const QRect& box);   // a drawing operation changed this box
    void touched(const QRect& box); // tells the widget
    // Makes sure the pictures can hold these colours: each has its place in
    // the table, or the pictures are RGB32 from now on.
    void admit(std::initializer_list<Rgb> colours);
    // A colour as a pixel of the pictures: its index, or its RGB32 value.
    uint pixel(Rgb colour) const;
    // Lines and discs, painted by `paint` with Qt's pen on `box` of the
    // visible picture (inside it, not empty).
    void painted(const QRect& box, const std::function<void(QPainter&)>& paint);

    QImage visible_;
    QImage back_;
    QList<QRgb> table_; // the colours while the pictures have a table
    Copies copies_;
    QRect differing_;
};

// Opaque QColor value of an Rgb.
QRgb torgb(Rgb c);

} // namespace ordnix
