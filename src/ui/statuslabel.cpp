#include "ui/statuslabel.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace ordnix {

namespace {

// Texts kept per line: more than the angles of a whole sweep of the barrel.
// Beyond this many they all go at once.
constexpr qsizetype kMostKept = 192;

// Antialiasing and the rounding of glyph positions to pixels reach a pixel
// past a glyph's outline; one more to spare.
constexpr int kInkMargin = 2;

// Decorations run along the whole text.
bool decorated(const QFont& font) {
    return font.underline() || font.overline() || font.strikeOut();
}

// Lays out the text of `layout` as one line from the top left corner, as the
// label lays out plain text that does not wrap.
void layoutline(QTextLayout& layout, const QLabel& label) {
    QTextOption option(label.alignment());
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::ManualWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
}

} // namespace

// A text as the label draws it: the glyphs of its layout, each with the
// columns its pixels may reach. Drawn glyph by glyph, they give the layout's
// own pixels; a decorated font keeps the layout itself, which draws its
// decorations too.
struct StatusLabel::Line {
    struct Run {
        QRawFont font;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    // A glyph in drawing order: the columns its pixels may reach, its run
    // and its place in the run.
    struct Glyph {
        float left, right;
        quint32 run, at;
    };

    QString text;
    std::vector<Run> runs;
    std::vector<Glyph> ink; // every run's glyphs in drawing order
    std::unique_ptr<QTextLayout> whole;

    Line(const QString& text, const QFont& font, const QLabel& label) : text(text) {
        auto laidout = std::make_unique<QTextLayout>(text, font, &label);
        layoutline(*laidout, label);
        for (const QGlyphRun& run : laidout->glyphRuns()) {
            Run r{run.rawFont(), run.glyphIndexes(), run.positions()};
            const qsizetype count = std::min(r.indexes.size(), r.positions.size());
            if (r.indexes.size() != count || r.positions.size() != count) {
                r.indexes.resize(count);
                r.positions.resize(count);
            }
            for (qsizetype i = 0; i < count; ++i) {
                const QRectF box = r.font.boundingRect(r.indexes[i]).translated(r.positions[i]);
                ink.push_back({static_cast<float>(box.left()), static_cast<float>(box.right()),
                               static_cast<quint32>(runs.size()), static_cast<quint32>(i)});
            }
            runs.push_back(std::move(r));
        }
        if (decorated(font))
            whole = std::move(laidout);
    }

    // Whether glyph i of this line is drawn as glyph j of `other`: the same
    // glyph of the same font in exactly the same place (QPointF's own
    // comparison is a fuzzy one, and slower).
    bool same(size_t i, const Line& other, size_t j) const {
        const Glyph& a = ink[i];
        const Glyph& b = other.ink[j];
        const Run& ra = runs[a.run];
        const Run& rb = other.runs[b.run];
        const QPointF& pa = ra.positions[a.at];
        const QPointF& pb = rb.positions[b.at];
        return ra.indexes[a.at] == rb.indexes[b.at] && pa.x() == pb.x() && pa.y() == pb.y() &&
               ra.font == rb.font;
    }

    // The columns in which this line's pixels and `other`'s may differ:
    // those of every glyph that is not drawn the same in both, counting from
    // either end of the line. A glyph drawn the same in both is blended the
    // same over the same background, so outside these columns the two lines
    // are equal. Empty when nothing differs.
    QRect changedcolumns(const Line& other, int height) const {
        const size_t mine = ink.size();
        const size_t theirs = other.ink.size();
        size_t head = 0;
        while (head < mine && head < theirs && same(head, other, head))
            ++head;
        size_t tail = 0;
        while (tail < mine - head && tail < theirs - head &&
               same(mine - 1 - tail, other, theirs - 1 - tail))
            ++tail;
        float left = std::numeric_limits<float>::infinity();
        float right = -left;
        for (size_t i = head; i + tail < mine; ++i) {
            left = std::min(left, ink[i].left);
            right = std::max(right, ink[i].right);
        }
        for (size_t i = head; i + tail < theirs; ++i) {
            left = std::min(left, other.ink[i].left);
            right = std::max(right, other.ink[i].right);
        }
        if (right < left)
            return {};
        const int from = static_cast<int>(std::floor(left)) - kInkMargin;
        const int to = static_cast<int>(std::ceil(right)) + kInkMargin;
        return {from, 0, to - from, height};
    }

    // Draws the glyphs whose pixels may fall in the columns of `box`, in
    // their order: the others draw nothing there.
    void draw(QPainter& painter, const QRect& box) const {
        if (whole) {
            whole->draw(&painter, QPointF(0, 0));
            return;
        }
        const auto left = static_cast<float>(box.left() - kInkMargin);
        const auto right = static_cast<float>(box.right() + 1 + kInkMargin);
        size_t k = 0;
        for (const Run& run : runs) {
            QGlyphRun part;
            part.setRawFont(run.font);
            QList<quint32> indexes;
            QList<QPointF> positions;
            for (qsizetype i = 0; i < run.indexes.size(); ++i, ++k)
                if (ink[k].right >= left && ink[k].left <= right) {
                    indexes.append(run.indexes[i]);
                    positions.append(run.positions[i]);
                }
            if (indexes.isEmpty())
                continue;
            part.setGlyphIndexes(indexes);
            part.setPositions(positions);
            painter.drawGlyphRun(QPointF(0, 0), part);
        }
    }
};

StatusLabel::StatusLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The line fills its own background in its paint, with the painter that
    // draws the glyphs: Qt would otherwise fill it first with a painter of
    // its own, a second painter in every frame.
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

StatusLabel::~StatusLabel() = default;

std::shared_ptr<const StatusLabel::Line> StatusLabel::line(const QString& text) {
    if (const auto found = kept_.constFind(text); found != kept_.constEnd())
        return *found;
    if (kept_.size() >= kMostKept)
        kept_.clear();
    auto made = std::make_shared<const Line>(text, font(), *this);
    kept_.insert(text, made);
    return made;
}

void StatusLabel::setText(const QString& text) {
    if (text == this->text())
        return;
    QLabel::setText(text);
    if (!isVisible())
        shown_.reset();
    if (!shown_)
        return; // nothing of it on the screen: the next paint shows it all
    const std::shared_ptr<const Line> before = std::exchange(shown_, line(text));
    update(decorated(font()) ? rect() : before->changedcolumns(*shown_, height()));
}

void StatusLabel::paintEvent(QPaintEvent* event) {
    if (!shown_ || shown_->text != text())
        shown_ = line(text());
    QPainter painter(this);
    const QBrush background = palette().brush(backgroundRole());
    for (const QRect& box : event->region())
        painter.fillRect(box, background);
    painter.setPen(palette().color(foregroundRole()));
    shown_->draw(painter, event->rect());
}

// A new font lays every text out anew.
void StatusLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        kept_.clear();
        shown_.reset();
    }
    QLabel::changeEvent(event);
}

// QLabel repaints its whole contents rectangle on every new text. A status
// line has no frame and no margins to lay out, so it keeps that rectangle
// empty: QLabel's repaint then covers nothing, and setText() repaints the
// changed glyphs alone.
void StatusLabel::resizeEvent(QResizeEvent* event) {
    setContentsMargins(0, 0, width(), 0);
    QLabel::resizeEvent(event);
}

} // namespace ordnix
