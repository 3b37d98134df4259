// ordnix: a turn-based artillery game for two to eight players.
#include "render/iconart.h"
#include "ui/gameapp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ordnix");
    // Every window carries the game's icon; the desktop file's name lets a
    // desktop match the running game to its menu entry.
    QApplication::setWindowIcon(ordnix::makewindowicon());
    QGuiApplication::setDesktopFileName(QStringLiteral(ORDNIX_APP_ID));
    ordnix::GameApp game;
    game.start();
    return QApplication::exec();
}
