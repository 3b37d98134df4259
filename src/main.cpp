// ordnix: a turn-based artillery game for two to eight players.
#include "ui/gameapp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ordnix");
    ordnix::GameApp game;
    game.start();
    return QApplication::exec();
}
