#include "ui/statuslabel.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>

namespace ordnix {

namespace {
// A turn shows a few dozen texts; beyond this many the oldest go at once.
constexpr qsizetype kMostLayouts = 256;
} // namespace

StatusLabel::StatusLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

StatusLabel::~StatusLabel() = default;

// One line from the top left corner, as the label lays out plain text that
// does not wrap.
const QTextLayout& StatusLabel::layoutof(const QString& text) {
    if (auto found = layouts_.constFind(text); found != layouts_.constEnd())
        return **found;
    if (layouts_.size() >= kMostLayouts)
        layouts_.clear();
    auto layout = std::make_shared<QTextLayout>(text, font(), this);
    QTextOption option(alignment());
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::ManualWrap);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    return *layouts_.insert(text, std::move(layout)).value();
}

void StatusLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    layoutof(text()).draw(&painter, contentsRect().topLeft());
}

void StatusLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        layouts_.clear();
    QLabel::changeEvent(event);
}

} // namespace ordnix
