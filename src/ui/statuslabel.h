#pragma once
// A status line of the battlefield: a plain-text label that the frame loop
// rewrites up to 32 times a second. While a player aims it shows the same
// few texts again and again (the barrel turns back and forth), so each text
// is laid out once and drawn from that layout; the pixels are the label's
// own. Its text is plain, one line from the top left corner.

#include <QHash>
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

  private:
    const QTextLayout& layoutof(const QString& text);

    QHash<QString, std::shared_ptr<QTextLayout>> layouts_;
};

} // namespace ordnix
