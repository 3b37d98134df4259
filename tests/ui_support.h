#pragma once
// Helpers of the window tests: finding and clicking controls, and running the
// event loop until something happens. The game fakes, the clocks and
// newgame() come along.
#include "game_fakes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <functional>

template <class W = QWidget> W* control(const QObject* form, const QString& name) {
    W* w = form ? form->findChild<W*>(name) : nullptr;
    EXPECT_TRUE(w) << "no control " << name.toStdString();
    return w;
}

inline void click(QWidget* w) {
    if (w)
        QTest::mouseClick(w, Qt::LeftButton);
}

// Runs the event loop for up to `ms` milliseconds, looking at `until` about
// every millisecond; returns whether it is true at the end. Windows closed
// meanwhile are deleted, as the main loop would.
inline bool spin(int ms, const std::function<bool()>& until = nullptr) {
    QDeadlineTimer deadline(ms);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if ((until && until()) || deadline.hasExpired())
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return until && until();
}

// A JumpClock pause in real seconds: long enough that spin() sees the
// battlefield's steps one by one.
constexpr double kStepByStep = 0.002;

// Captions in test messages as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
