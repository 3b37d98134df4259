#pragma once
// Picture1: shows the retained battlefield image as it is. Tell it which box
// changed (update(QRect)) and it repaints that box alone; uncovered parts are
// painted from the same image.
//
// A label over the picture (the turn marker) can be drawn by the picture
// itself, in the same paint, instead of by the label: the label stays a
// control of its own, shown, hidden and moved as before, but Qt no longer
// paints it separately wherever a change of the picture touches it.

#include <QImage>
#include <QWidget>

class QLabel;

namespace ordnix {

class PictureBox final : public QWidget {
    // A Q_OBJECT class, so that it can be found by its class.
    Q_OBJECT

  public:
    PictureBox(const QImage& image, QWidget* parent);

    const QImage& image() const { return image_; }

    // From now on the picture draws `label`, a child of it with a picture of
    // its own size, over the image while the label shows, as the label would
    // draw itself; the label paints nothing itself any more. A shown label's
    // move, and the label's show and hide, repaint the parts of the picture
    // they change.
    void drawlabel(QLabel* label);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int kStripRows = 16;
    void paintindexed(QPainter& painter, const QRect& box);

    const QImage& image_;
    QImage strip_; // RGB32 rows on their way to the window
    QLabel* label_ = nullptr;
};

} // namespace ordnix
