// The battlefield's status lines draw each text from a layout and repaint
// only the glyphs that a new text changes; what they show must be, pixel for
// pixel, what a plain label shows with the same text, font and colours, on
// whichever line and after any number of texts.
#include "ui/statuslabel.h"
#include "ui/widgets.h"

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ordnix;

namespace {

// Two labels side by side as the battlefield places its status lines: the
// plain kind and the status line, same size, font and colours.
struct Pair {
    QWidget window;
    QLabel* plain;
    StatusLabel* status;

    Pair(int width, int height, bool bold, double points, const QColor& back) {
        window.resize(2 * width, height);
        plain = new QLabel(&window);
        status = new StatusLabel(&window);
        int left = 0;
        for (QLabel* label : {plain, static_cast<QLabel*>(status)}) {
            label->setGeometry(left, 0, width, height);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setFont(uifont(points, bold));
            QPalette pal = label->palette();
            pal.setColor(QPalette::Window, back);
            pal.setColor(QPalette::WindowText, Qt::black);
            label->setPalette(pal);
            label->setAutoFillBackground(true);
            left += width;
        }
    }
    // Both show `text`; returns whether their pixels are the same, the
    // first time the status line draws it and when it draws it again.
    bool same(const QString& text) {
        plain->setText(text);
        status->setText(text);
        const QImage want = plain->grab().toImage();
        return status->grab().toImage() == want && status->grab().toImage() == want;
    }
};

std::vector<QString> aimlines() {
    std::vector<QString> texts;
    for (int angle = 0; angle <= 180; angle += 7)
        for (int power : {0, 1, 50, 99, 100})
            for (int wind : {-20, -3, 0, 7, 19})
                texts.push_back(
                    QString("Angle:%1 Power:%2 Wind:%3").arg(angle).arg(power).arg(wind));
    return texts;
}

} // namespace

TEST(StatusLabel, ShowsEveryTextAsAPlainLabelDoes) {
    struct Line {
        const char* name;
        int width, height;
        QColor back;
        std::vector<QString> texts;
    };
    const QColor pale(255, 255, 128), yellow(255, 255, 0);
    const Line lines[] = {
        {.name = "aim line", .width = 273, .height = 41, .back = yellow, .texts = aimlines()},
        {.name = "player line",
         .width = 321,
         .height = 41,
         .back = pale,
         .texts = {"Player: 1 Hitpoints: 100", "Blue: Hitpoints:100 Score:0",
                   "AVAVA To Wy: Hitpoints:-32768 Score:32767", "<b>Bob</b> & Co: Hitpoints:7",
                   QString::fromUtf8("Jürgen Ölkers: Hitpoints:1"), "  spaced  : Hitpoints:0 ", "",
                   "W", QString(200, 'M')}},
    };
    for (const Line& line : lines) {
        Pair pair(line.width, line.height, true, 12, line.back);
        pair.window.show();
        int differing = 0;
        for (const QString& text : line.texts)
            if (!pair.same(text) && ++differing <= 3)
                ADD_FAILURE() << line.name << ": " << text.toStdString();
        EXPECT_EQ(differing, 0) << line.name << " of " << line.texts.size() << " texts";
    }
}

// A text shown before, left and shown again comes back the same; a new font
// is used at once, not the layout of the old one.
TEST(StatusLabel, AgainAfterOtherTextsAndAfterAFontChange) {
    Pair pair(273, 41, true, 12, QColor(255, 255, 0));
    pair.window.show();
    const QString first = "Angle:30 Power:50 Wind:-3";
    ASSERT_TRUE(pair.same(first));
    for (int angle = 0; angle < 400; ++angle) // more texts than it keeps
        ASSERT_TRUE(pair.same(QString("Angle:%1 Power:50 Wind:-3").arg(angle % 181)));
    EXPECT_TRUE(pair.same(first));
    for (QLabel* label : {pair.plain, static_cast<QLabel*>(pair.status)})
        label->setFont(uifont(8, false));
    EXPECT_TRUE(pair.same(first));
}

// A new text repaints only the glyphs that change; what the screen then
// shows of the line is, pixel for pixel, a plain label with the whole text,
// after every text of a sweep of the barrel and of the power, over width
// changes of the numbers, over lines of other lengths and scripts, and after
// a change of font or colours.
TEST(StatusLabel, ScreenShowsEachNewTextWhole) {
    struct Line {
        const char* name;
        int width;
        QColor back;
        std::vector<QString> texts;
    };
    std::vector<QString> sweep;
    for (int angle : {0, 1, 8, 9, 10, 11, 99, 100, 101, 180, 179, 100, 99, 10, 9, 0})
        sweep.push_back(QString("Angle: %1 Power: 50 Wind:-3").arg(angle));
    for (int power = 100; power >= 0; power -= 9)
        sweep.push_back(QString("Angle: 45 Power: %1 Wind:-3").arg(power));
    for (const char* wind : {"-3", " 7", "-49", " 50", " 0"})
        sweep.push_back(QString("Angle: 45 Power: 1 Wind:%1").arg(wind));
    const Line lines[] = {
        {.name = "aim line", .width = 273, .back = QColor(255, 255, 0), .texts = sweep},
        {.name = "player line",
         .width = 321,
         .back = QColor(255, 255, 128),
         .texts = {"Red: Hitpoints: 100 Score: 0", "Red: Hitpoints: 64 Score: 0",
                   "Blue: Hitpoints: 100 Score: 17", "AVAVA To Wy: Hitpoints:-32768 Score:32767",
                   "AVAVA To Wy: Hitpoints:-32768 Score:3276", "", "W",
                   QString::fromUtf8("Jürgen Ölkers: Hitpoints: 1 Score: 0"),
                   QString::fromUtf8("Red שלום مرحبا: Hitpoints: 7 Score: 0"),
                   QString::fromUtf8("e\u0301 x\u0308 ffi: Hitpoints: 7 Score: 0"),
                   QString(60, 'M'), "Red: Hitpoints: 100 Score: 0"}},
    };
    for (const Line& line : lines) {
        SCOPED_TRACE(line.name);
        Pair pair(line.width, 41, true, 12, line.back);
        pair.window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pair.window));
        const QRect area = pair.status->geometry();
        auto onscreen = [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
            return pair.window.screen()
                ->grabWindow(pair.window.winId(), area.x(), area.y(), area.width(), area.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        auto whole = [&] {
            return pair.plain->grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        int differing = 0;
        auto show = [&](const QString& text) {
            pair.plain->setText(text);
            pair.status->setText(text);
            if (onscreen() != whole() && ++differing <= 3)
                ADD_FAILURE() << "after " << text.toStdString();
        };
        for (const QString& text : line.texts)
            show(text);
        for (QLabel* label : {pair.plain, static_cast<QLabel*>(pair.status)}) {
            label->setFont(uifont(9.75, false));
            QPalette pal = label->palette();
            pal.setColor(QPalette::Window, QColor(0, 0, 128));
            pal.setColor(QPalette::WindowText, Qt::white);
            label->setPalette(pal);
        }
        EXPECT_EQ(onscreen(), whole()) << "after the font and colours changed";
        for (const QString& text : line.texts)
            show(text);
        EXPECT_EQ(differing, 0);
    }
}
