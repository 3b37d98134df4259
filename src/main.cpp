// ordnix: a turn-based artillery game for two to eight players.
#include "render/iconart.h"
#include "ui/gameapp.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Under X the game sends its repaints through the connection rather
    // than shared memory. A frame repaints a few thousand pixels, and with
    // shared memory every paint first waits for the server to finish reading
    // the last one: that round trip costs more than sending the pixels.
    qputenv("QT_XCB_NO_MITSHM", "1");
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
