#pragma once
// Picture1: shows the retained battlefield image as it is. Tell it which box
// changed (update(QRect)) and it repaints that box alone; uncovered parts are
// painted from the same image.

#include <QImage>
#include <QWidget>

namespace ordnix {

class PictureBox final : public QWidget {
    Q_OBJECT // so that it can be found by its class
        public : PictureBox(const QImage& image, QWidget* parent);

    const QImage& image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const QImage& image_;
};

} // namespace ordnix
