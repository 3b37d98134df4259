#pragma once
// A status line of the battlefield: a plain-text label that the frame loop
// rewrites up to 32 times a second. While a player aims it shows the same
// few texts again and again (the barrel turns back and forth), so each text
// is laid out once, and a text shown again is kept as the label's finished
// pixels. What it shows is the label's own picture of the text. Its text is
// plain, one line from the top left corner.

#include <QHash>
#include <QImage>
#include <QLabel>

#include <memory>

class QTextLayout;

namespace ordnix {

class StatusLabel final : public QLabel {
  public:
    explicit StatusLabel(QWidget* parent);
    ~StatusLabel() override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const QTextLayout* knownlayout(const QString& text) const;
    const QTextLayout& newlayout(const QString& text);
    const QImage* picture(const QString& text, const QTextLayout& layout);
    void drawtext(QPainter& painter, const QTextLayout& layout) const;

    QHash<QString, std::shared_ptr<QTextLayout>> layouts_;
    QHash<QString, QImage> pictures_;
};

} // namespace ordnix
