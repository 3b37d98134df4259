#pragma once
// The objects in the program's object trees: the application object and
// every top-level widget, with all their children. A window or a control
// that a round leaves behind, or a helper object parented to one that
// lives on, shows up here; the heap count (heapbytes.h) sees the rest.
#include <QApplication>
#include <QWidget>

inline long objectsintrees() {
    long n = 1 + QCoreApplication::instance()->findChildren<QObject*>().size();
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (!w->parent()) // a popup or a dialog counts with its owner
            n += 1 + w->findChildren<QObject*>().size();
    return n;
}
