#pragma once
// Helpers of the window tests: a new game, finding and clicking controls, and
// running the event loop until something happens.
#include "game/model.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// A game just set up for the named players ("*" before a name: a computer player).
inline ordnix::Model newgame(const std::vector<std::string>& names) {
    ordnix::Model m;
    ordnix::initweapons(m);
    m.lastplayer = static_cast<int16_t>(names.size() - 1);
    std::array<ordnix::PlayerChoice, 8> choices;
    for (size_t i = 0; i < names.size(); ++i)
        choices[i] = {names[i].substr(names[i].starts_with('*')), names[i].starts_with('*')};
    ordnix::startgame(m, choices);
    return m;
}

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
// every millisecond; returns whether it came true. Windows closed meanwhile
// are deleted, as the main loop would.
inline bool spin(
    int ms, const std::function<bool()>& until = [] { return false; }) {
    QEventLoop loop;
    QDeadlineTimer deadline(ms);
    bool met = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        met = met || until();
        if (met || deadline.hasExpired())
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return met;
}
